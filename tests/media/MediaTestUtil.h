#pragma once
// Waiting on real playback from a test: the event loop keeps running, so
// queued frames and title updates arrive as they would in the program.

#include <QCoreApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryFile>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <functional>
#include <gst/gst.h>

#include "tests/support/MediaMaker.h"
#include <csignal>
#include <cstdio>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace mediatest {

inline void Spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

// True once done() holds; false when limitMs passed first.
inline bool WaitUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

using testsupport::WriteWithPipeline;

// Stands ready to feed a FIFO: whenever, after afterMs, some reader waits on
// it (something opened it that never should have), writes bytes into it and
// closes it, so that the reader goes on and the test fails on what it got
// instead of hanging.
class FifoRescue {
public:
    FifoRescue(const QString& fifo, QByteArray bytes, int afterMs = 10000)
        : m_thread([this, path = QFile::encodeName(fifo), bytes = std::move(bytes), afterMs] {
              // A reader that leaves early makes the write fail, not kill us.
              sigset_t pipe;
              sigemptyset(&pipe);
              sigaddset(&pipe, SIGPIPE);
              pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
              std::unique_lock lock(m_mutex);
              if (m_cancel.wait_for(lock, std::chrono::milliseconds(afterMs), [this] { return m_done; }))
                  return;
              do {
                  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);  // fails with no reader
                  if (fd >= 0) {
                      ::fcntl(fd, F_SETFL, 0);
                      [[maybe_unused]] const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
                      ::close(fd);
                  }
              } while (!m_cancel.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_done; }));
          })
    {
    }
    ~FifoRescue()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_cancel.notify_all();
        m_thread.join();
    }
    FifoRescue(const FifoRescue&) = delete;
    FifoRescue& operator=(const FifoRescue&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_cancel;
    bool m_done = false;
    std::thread m_thread;
};

// Sets an environment variable for a scope, or unsets it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : ScopedEnv(name) { qputenv(name, value); }
    explicit ScopedEnv(const char* name)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_saved(qgetenv(name))
    {
        qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_saved;
};

// Everything written to fd 2 while it lives, lines starting with "lirabox:".
class StderrLines {
public:
    StderrLines()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    QStringList Take()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
        m_file.seek(0);
        const QStringList lines = QString::fromLocal8Bit(m_file.readAll()).split(QLatin1Char('\n'));
        return lines.filter(QRegularExpression(QStringLiteral("^lirabox:")));
    }
    ~StderrLines()
    {
        if (m_saved >= 0)
            Take();
    }
    StderrLines(const StderrLines&) = delete;
    StderrLines& operator=(const StderrLines&) = delete;

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

}  // namespace mediatest
