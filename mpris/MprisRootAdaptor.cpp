#include "mpris/MprisRootAdaptor.h"

#include "mpris/MprisService.h"

MprisRootAdaptor::MprisRootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), m_service(service)
{
}

QString MprisRootAdaptor::Identity() const
{
    return QStringLiteral("Lirabox");
}

QString MprisRootAdaptor::DesktopEntry() const
{
    return QStringLiteral("lirabox");
}

QStringList MprisRootAdaptor::SupportedUriSchemes() const
{
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const
{
    // The collection type of the desktop file, then MIDI, WAV and AVI under
    // the names file managers give them.
    return {QStringLiteral("application/x-lirabox-collection"),
            QStringLiteral("audio/midi"),
            QStringLiteral("audio/x-midi"),
            QStringLiteral("audio/x-wav"),
            QStringLiteral("audio/wav"),
            QStringLiteral("audio/vnd.wave"),
            QStringLiteral("video/x-msvideo"),
            QStringLiteral("video/avi"),
            QStringLiteral("video/vnd.avi")};
}

void MprisRootAdaptor::Raise()
{
    m_service->Raise();
}

void MprisRootAdaptor::Quit()
{
    m_service->Quit();
}
