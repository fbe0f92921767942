#include "mpris/MprisPropertiesAdaptor.h"

#include <QDBusError>
#include <QMetaProperty>
#include <cmath>
#include <optional>

#include "mpris/MprisService.h"

namespace {

QString InterfaceOf(const QObject* adaptor)
{
    const QMetaObject* meta = adaptor->metaObject();
    const int index = meta->indexOfClassInfo("D-Bus Interface");
    return index < 0 ? QString() : QString::fromLatin1(meta->classInfo(index).value());
}

}  // namespace

MprisPropertiesAdaptor::MprisPropertiesAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service)
{
}

QDBusAbstractAdaptor* MprisPropertiesAdaptor::Find(const QString& interfaceName)
{
    for (QObject* child : m_service->children()) {
        auto* adaptor = qobject_cast<QDBusAbstractAdaptor*>(child);
        if (adaptor && adaptor != this && InterfaceOf(adaptor) == interfaceName)
            return adaptor;
    }
    m_service->sendErrorReply(QDBusError::UnknownInterface, QStringLiteral("No interface %1 here").arg(interfaceName));
    return nullptr;
}

std::optional<QMetaProperty> MprisPropertiesAdaptor::PropertyOf(const QDBusAbstractAdaptor& adaptor,
                                                                 const QString& propertyName)
{
    const QMetaObject* meta = adaptor.metaObject();
    const int index = meta->indexOfProperty(propertyName.toLatin1().constData());
    if (index < meta->propertyOffset()) {
        m_service->sendErrorReply(QDBusError::UnknownProperty, QStringLiteral("No property %1").arg(propertyName));
        return std::nullopt;
    }
    return meta->property(index);
}

QDBusVariant MprisPropertiesAdaptor::Get(const QString& interfaceName, const QString& propertyName)
{
    const QDBusAbstractAdaptor* adaptor = Find(interfaceName);
    const std::optional<QMetaProperty> property = adaptor ? PropertyOf(*adaptor, propertyName) : std::nullopt;
    return property ? QDBusVariant(property->read(adaptor)) : QDBusVariant();
}

QVariantMap MprisPropertiesAdaptor::GetAll(const QString& interfaceName)
{
    const QDBusAbstractAdaptor* adaptor = Find(interfaceName);
    if (!adaptor)
        return {};
    QVariantMap all;
    const QMetaObject* meta = adaptor->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        all.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(adaptor));
    return all;
}

void MprisPropertiesAdaptor::Set(const QString& interfaceName, const QString& propertyName, const QDBusVariant& value)
{
    QDBusAbstractAdaptor* adaptor = Find(interfaceName);
    const std::optional<QMetaProperty> found = adaptor ? PropertyOf(*adaptor, propertyName) : std::nullopt;
    if (!found)
        return;
    const QMetaProperty& property = *found;
    if (!property.isWritable()) {
        m_service->sendErrorReply(QDBusError::PropertyReadOnly, QStringLiteral("%1 is read-only").arg(propertyName));
        return;
    }
    // The writable properties are all of basic types, which arrive as
    // themselves: anything else is a value of another type.
    const QVariant& given = value.variant();
    const bool noNumber = given.metaType() == QMetaType::fromType<double>() && !std::isfinite(given.toDouble());
    if (given.metaType() != property.metaType() || noNumber) {
        m_service->sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("%1 takes a %2, not a %3")
                                                               .arg(propertyName, QLatin1String(property.typeName()),
                                                                    QLatin1String(given.typeName())));
        return;
    }
    property.write(adaptor, given);
}
