#pragma once
// A session bus of its own for an end-to-end test: a dbus-daemon that ends
// with the object.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace e2e {

class SessionBus {
public:
    static bool Available() { return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty(); }

    // False when the daemon did not start or say its address.
    bool Start()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead(10'000))
            return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }

    ~SessionBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished();
        }
    }

    // What DBUS_SESSION_BUS_ADDRESS says to a client.
    const QString& Address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

}  // namespace e2e
