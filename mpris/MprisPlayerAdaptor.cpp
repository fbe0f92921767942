#include "mpris/MprisPlayerAdaptor.h"

#include "mpris/MprisService.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), m_service(service)
{
}

QString MprisPlayerAdaptor::PlaybackStatus() const
{
    return m_service->PlaybackStatus();
}

QString MprisPlayerAdaptor::LoopStatus() const
{
    return m_service->LoopStatus();
}

void MprisPlayerAdaptor::SetLoopStatus(const QString& status)
{
    m_service->SetLoopStatus(status);
}

double MprisPlayerAdaptor::Volume() const
{
    return m_service->Volume();
}

void MprisPlayerAdaptor::SetVolume(double level)
{
    m_service->SetVolume(level);
}

bool MprisPlayerAdaptor::Shuffle() const
{
    return m_service->Shuffle();
}

void MprisPlayerAdaptor::SetShuffle(bool on)
{
    m_service->SetShuffle(on);
}

QVariantMap MprisPlayerAdaptor::Metadata() const
{
    return m_service->Metadata();
}

qlonglong MprisPlayerAdaptor::Position() const
{
    return m_service->Position();
}

bool MprisPlayerAdaptor::CanGoNext() const
{
    return m_service->CanGoNext();
}

bool MprisPlayerAdaptor::CanGoPrevious() const
{
    return m_service->CanGoPrevious();
}

bool MprisPlayerAdaptor::CanPlay() const
{
    return m_service->CanPlay();
}

bool MprisPlayerAdaptor::CanPause() const
{
    return m_service->CanPause();
}

void MprisPlayerAdaptor::Play()
{
    m_service->Play();
}

void MprisPlayerAdaptor::Pause()
{
    m_service->Pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_service->PlayPause();
}

void MprisPlayerAdaptor::Stop()
{
    m_service->Stop();
}

void MprisPlayerAdaptor::Next()
{
    m_service->Next();
}

void MprisPlayerAdaptor::Previous()
{
    m_service->Previous();
}

void MprisPlayerAdaptor::OpenUri(const QString& uri)
{
    m_service->OpenUri(uri);
}
