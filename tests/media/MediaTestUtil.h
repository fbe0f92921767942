#pragma once
// Waiting on real playback from a test: the event loop keeps running, so
// queued frames and title updates arrive as they would in the program.

#include <QCoreApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <functional>
#include <gst/gst.h>

#include "tests/support/MediaMaker.h"
#include <csignal>
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

// Sets an environment variable for a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_saved(qgetenv(name))
    {
        qputenv(name, value);
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

}  // namespace mediatest
