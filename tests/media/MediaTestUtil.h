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

// Runs a gst-launch style pipeline ending in "filesink name=out" that writes
// path, up to its end of stream.
inline bool WriteWithPipeline(const QString& description, const QString& path)
{
    if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr))
        return false;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    if (!pipeline)
        return false;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    bool ok = out != nullptr;
    if (out) {
        g_object_set(out, "location", QFile::encodeName(path).constData(), nullptr);
        gst_object_unref(out);
        ok = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }
    if (ok) {
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* message =
            gst_bus_timed_pop_filtered(bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        if (message)
            gst_message_unref(message);
        gst_object_unref(bus);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

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
