#pragma once
// The lirabox binary run by an end-to-end test: a collection file, a settings
// folder of its own, and everything it plays appended to one capture file.

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <cmath>
#include <functional>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/text/Cp932.h"

namespace e2e {

// The descriptor the capture sink writes to in the child.
inline constexpr int kCaptureFd = 3;

inline bool Near(double frequency, double expected)
{
    return std::abs(frequency - expected) < expected * 0.03;
}

// A collection as the editor writes it: CP932 lines ending in CR LF.
inline bool WriteCollection(const QString& path, const QStringList& entries)
{
    QByteArray bytes;
    for (const QString& entry : entries)
        bytes += text::EncodeCp932(entry) + "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Starts program headless, settings under configHome, its audio appended
// to capture. filesink would empty its file at every flushing seek (each
// stop of an entry); an O_APPEND descriptor keeps everything that played.
inline bool StartHeadless(QProcess& player, const QString& program, const QStringList& arguments,
                          QProcessEnvironment env, const QString& configHome, const QString& capture)
{
    const int fd = ::open(QFile::encodeName(capture).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    if (fd < 0)
        return false;
    if (!env.contains("QT_QPA_PLATFORM"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", configHome);
    env.insert("LIRABOX_AUDIO_SINK",
               QStringLiteral("audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! "
                              "fdsink fd=%1 sync=true")
                   .arg(kCaptureFd));
    player.setProcessEnvironment(env);
    player.setChildProcessModifier([fd] { ::dup2(fd, kCaptureFd); });
    player.start(program, arguments);
    ::close(fd);
    return player.waitForStarted();
}

// The player, as StartHeadless starts a program.
inline bool StartPlayer(QProcess& player, const QStringList& arguments, const QProcessEnvironment& env,
                        const QString& configHome, const QString& capture)
{
    return StartHeadless(player, QStringLiteral(LIRABOX_BINARY), arguments, env, configHome, capture);
}

// The player with arguments that are bytes, not text: QProcess would pass
// them through UTF-8, which cannot carry a Shift-JIS file name. A shell
// turns each from printf's octal escapes back into its bytes and then
// becomes the player, so the process is the player's.
inline bool StartPlayerWithBytes(QProcess& player, const QList<QByteArray>& arguments,
                                 const QProcessEnvironment& env, const QString& configHome, const QString& capture)
{
    static const QString kScript = QStringLiteral(
        "program=$1; shift; n=$#; "
        "while [ $n -gt 0 ]; do v=$(printf '%bx' \"$1\"); shift; set -- \"$@\" \"${v%x}\"; n=$((n - 1)); done; "
        "exec \"$program\" \"$@\"");
    QStringList shell{QStringLiteral("-c"), kScript, QStringLiteral("sh"), QStringLiteral(LIRABOX_BINARY)};
    for (const QByteArray& argument : arguments) {
        QString escaped;
        for (const char byte : argument)
            escaped += QStringLiteral("\\0%1").arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
        shell.append(escaped);
    }
    return StartHeadless(player, QStringLiteral("/bin/sh"), shell, env, configHome, capture);
}

// SIGTERM, then the time the player takes to end cleanly (exit status 0);
// -1 when it has not within limitMs (it is then killed).
inline qint64 Terminate(QProcess& player, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
    if (!player.waitForFinished(limitMs)) {
        player.kill();
        player.waitForFinished();
        return -1;
    }
    if (player.exitStatus() != QProcess::NormalExit || player.exitCode() != 0)
        return -1;
    return clock.elapsed();
}

// Waits until done() holds, checking every 100 ms; false when limitMs
// passed first or the player ended.
inline bool WaitWhileRunning(const QProcess& player, const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs || player.state() != QProcess::Running)
            return false;
        QThread::msleep(100);
    }
    return true;
}

// How much sound the capture holds: S16LE stereo at 44100 Hz.
inline qint64 CapturedMs(const QString& capture)
{
    return QFileInfo(capture).size() / 4 * 1000 / 44100;
}

// Waits until the capture has stopped growing for quietMs after some sound,
// the player ended, or limitMs passed.
inline void WaitUntilQuiet(const QProcess& player, const QString& capture, int limitMs, int quietMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer quiet;
    quiet.start();
    qint64 size = 0;
    while (clock.elapsed() < limitMs && player.state() == QProcess::Running) {
        QThread::msleep(100);
        const qint64 now = QFileInfo(capture).size();
        if (now != size) {
            size = now;
            quiet.restart();
        } else if (size > 0 && quiet.elapsed() > quietMs) {
            return;
        }
    }
}

}  // namespace e2e
