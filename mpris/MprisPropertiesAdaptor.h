#pragma once
// org.freedesktop.DBus.Properties of the player's object, in place of the
// one QtDBus answers itself: that one converts a value of the wrong type
// into the property's (the string "yes" turns Shuffle on) and reports
// success. This one reads and writes the other adaptors' properties as
// they are declared, and refuses a value of another type as InvalidArgs.
// PropertiesChanged is the service's to send.

#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QMetaProperty>
#include <QVariantMap>
#include <optional>

class MprisService;

class MprisPropertiesAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.Properties")
    // QtDBus describes the interface itself; a second description would
    // list it twice.
    Q_CLASSINFO("D-Bus Introspection", "")

public:
    explicit MprisPropertiesAdaptor(MprisService* service);

public slots:
    QDBusVariant Get(const QString& interfaceName, const QString& propertyName);
    QVariantMap GetAll(const QString& interfaceName);
    void Set(const QString& interfaceName, const QString& propertyName, const QDBusVariant& value);

private:
    struct Target {
        QDBusAbstractAdaptor* adaptor;
        QMetaProperty property;
    };
    // Every adaptor of the object but this one.
    QList<QDBusAbstractAdaptor*> Others() const;
    // The adaptor that serves the interface; null after an error reply.
    QDBusAbstractAdaptor* Find(const QString& interfaceName);
    // The property of the interface, or of any interface when the name is
    // empty; nothing after an error reply.
    std::optional<Target> Lookup(const QString& interfaceName, const QString& propertyName);

    MprisService* m_service;
};
