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

// One of the adaptor's own properties, not one QObject gives every object.
std::optional<QMetaProperty> OwnProperty(const QDBusAbstractAdaptor& adaptor, const QString& propertyName)
{
    const QMetaObject* meta = adaptor.metaObject();
    const int index = meta->indexOfProperty(propertyName.toLatin1().constData());
    if (index < meta->propertyOffset())
        return std::nullopt;
    return meta->property(index);
}

}  // namespace

MprisPropertiesAdaptor::MprisPropertiesAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service)
{
}

QList<QDBusAbstractAdaptor*> MprisPropertiesAdaptor::Others() const
{
    QList<QDBusAbstractAdaptor*> adaptors;
    for (QObject* child : m_service->children()) {
        auto* adaptor = qobject_cast<QDBusAbstractAdaptor*>(child);
        if (adaptor && adaptor != this)
            adaptors.append(adaptor);
    }
    return adaptors;
}

QDBusAbstractAdaptor* MprisPropertiesAdaptor::Find(const QString& interfaceName)
{
    for (QDBusAbstractAdaptor* adaptor : Others())
        if (InterfaceOf(adaptor) == interfaceName)
            return adaptor;
    m_service->sendErrorReply(QDBusError::UnknownInterface, QStringLiteral("No interface %1 here").arg(interfaceName));
    return nullptr;
}

std::optional<MprisPropertiesAdaptor::Target> MprisPropertiesAdaptor::Lookup(const QString& interfaceName,
                                                                             const QString& propertyName)
{
    // No interface named: the first interface that has the property. No
    // two of ours share a property name.
    const QList<QDBusAbstractAdaptor*> candidates =
        interfaceName.isEmpty() ? Others() : QList<QDBusAbstractAdaptor*>{Find(interfaceName)};
    if (candidates.contains(nullptr))
        return std::nullopt;
    for (QDBusAbstractAdaptor* adaptor : candidates)
        if (const std::optional<QMetaProperty> property = OwnProperty(*adaptor, propertyName))
            return Target{adaptor, *property};
    m_service->sendErrorReply(QDBusError::UnknownProperty, QStringLiteral("No property %1").arg(propertyName));
    return std::nullopt;
}

QDBusVariant MprisPropertiesAdaptor::Get(const QString& interfaceName, const QString& propertyName)
{
    const std::optional<Target> target = Lookup(interfaceName, propertyName);
    return target ? QDBusVariant(target->property.read(target->adaptor)) : QDBusVariant();
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
    const std::optional<Target> target = Lookup(interfaceName, propertyName);
    if (!target)
        return;
    const QMetaProperty& property = target->property;
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
    property.write(target->adaptor, given);
}
