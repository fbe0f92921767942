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
    // Collections only, as the desktop file and the command line take them:
    // the files they name play from within a collection.
    return {QStringLiteral("application/x-lirabox-collection")};
}

void MprisRootAdaptor::Raise()
{
    m_service->Raise();
}

void MprisRootAdaptor::Quit()
{
    m_service->Quit();
}
