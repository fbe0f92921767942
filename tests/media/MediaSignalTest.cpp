// A signal that reaches the UI thread while a file is being opened (SIGTERM
// from a session ending, SIGCHLD of a volume control) must not make the open
// fail: the wait for the pipeline is woken by it, the pipeline is fine.
#include "platform/mci/GstMediaWindow.h"
#include "tests/support/MediaMaker.h"

#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <pthread.h>
#include <thread>

namespace {

void Ignore(int) {}

// Sends SIGUSR1 to a thread every few hundred microseconds while it lives.
class SignalRain {
public:
    explicit SignalRain(pthread_t target) : m_target(target)
    {
        struct sigaction action {};
        action.sa_handler = Ignore;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: interrupted waits return
        sigaction(SIGUSR1, &action, &m_saved);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pthread_kill(m_target, SIGUSR1);
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
        });
    }
    ~SignalRain()
    {
        m_stop = true;
        m_thread.join();
        sigaction(SIGUSR1, &m_saved, nullptr);
    }

private:
    pthread_t m_target;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    struct sigaction m_saved {};
};

TEST(MediaSignal, OpensWhileSignalsKeepInterruptingTheWait)
{
    QTemporaryDir dir;
    const QString midi = dir.filePath(QStringLiteral("tune.mid"));
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::WriteMidiTune(midi, 1000));
    ASSERT_TRUE(testsupport::WriteWavTone(wav, 440, 1000));
    mci::GstMediaFactory factory;
    SignalRain rain(pthread_self());
    for (int i = 0; i < 5; ++i) {
        for (const QString& path : {midi, wav}) {
            auto window = factory.Create(nullptr, mci::kStyleChild, path);
            EXPECT_TRUE(window) << path.toStdString() << " open " << i;
        }
    }
}

}  // namespace
