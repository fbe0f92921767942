#pragma once
// A display of its own for the end-to-end tests that look at windows, with
// the X tools run against it.

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>

namespace e2e {

// Needs Xvfb, xwininfo and xprop (xdotool to click).
class XServer {
public:
    static bool Available(const QStringList& tools)
    {
        for (const QString& tool : tools)
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return false;
        return true;
    }

    bool Start()
    {
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp"});
        if (!m_server.waitForStarted() || !m_server.waitForReadyRead(10'000))
            return false;
        m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readLine().trimmed());
        return true;
    }

    ~XServer()
    {
        m_server.terminate();
        m_server.waitForFinished();
    }

    const QString& Display() const { return m_display; }

    QString Run(const QString& program, const QStringList& arguments) const
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        tool.setProcessEnvironment(env);
        tool.start(program, arguments);
        tool.waitForFinished(10'000);
        return QString::fromLocal8Bit(tool.readAllStandardOutput());
    }

    // The id of the top-level window with this caption, waiting up to waitMs.
    QString WaitForWindow(const QString& caption, int waitMs) const
    {
        QElapsedTimer clock;
        clock.start();
        do {
            for (const QString& line : Run(QStringLiteral("xwininfo"), {"-root", "-tree"}).split(u'\n'))
                if (line.contains(QLatin1Char('"') + caption + QLatin1Char('"')))
                    return line.trimmed().section(u' ', 0, 0);
            QThread::msleep(200);
        } while (clock.elapsed() < waitMs);
        return {};
    }

private:
    QProcess m_server;
    QString m_display;
};

}  // namespace e2e
