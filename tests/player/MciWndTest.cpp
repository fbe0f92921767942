// CMciWnd: one object for the player's life, one media window per file.
#include "platform/Services.h"
#include "player/CMciWnd.h"
#include "tests/support/FakeMedia.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

platform::Services MediaServices(FakeMediaFactory& factory)
{
    platform::Services services;
    services.media = &factory;
    return services;
}

class MciWnd : public testing::Test {
protected:
    MciWnd()
    {
        m_factory.AddFile(QStringLiteral("/m/a.wav"), FakeMediaFile::Audio(3000));
        m_factory.AddFile(QStringLiteral("/m/b.mid"), FakeMediaFile::Audio(4000));
        m_factory.AddFile(QStringLiteral("/m/v.avi"), FakeMediaFile::Video(5000, QSize(320, 240)));
        m_factory.AddFile(QStringLiteral("/m/bad.wav"), FakeMediaFile::Unplayable());
    }

    FakeClock m_clock;
    FakeMediaFactory m_factory{m_clock};
    platform::ScopedServices m_services{MediaServices(m_factory)};
    QWidget m_parent;
};

void ExpectNoWindow(CMciWnd& wnd)
{
    EXPECT_FALSE(wnd.IsOpen());
    EXPECT_EQ(wnd.Widget(), nullptr);
    EXPECT_EQ(wnd.GetLength(), 0);
    EXPECT_EQ(wnd.GetMode(), 0);
    EXPECT_EQ(wnd.GetPosition(), 0);
    EXPECT_TRUE(wnd.GetDest().isNull());
    wnd.SetTimeFormatMs();
    wnd.Play();
    wnd.Pause();
    wnd.Resume();
    wnd.SeekToStart();
    wnd.Stop();
    wnd.MoveWindow(QRect(0, 0, 10, 10));
    wnd.Close();
    EXPECT_EQ(wnd.CloseMciDevice(), FALSE);
}

TEST_F(MciWnd, WithoutAWindowRequestsDoNothingAndAnswerZero)
{
    CMciWnd wnd;
    ExpectNoWindow(wnd);
    EXPECT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/bad.wav")), FALSE);
    ExpectNoWindow(wnd);
    EXPECT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/missing.wav")), FALSE);
    ExpectNoWindow(wnd);
    EXPECT_TRUE(m_factory.Requests().isEmpty());
}

TEST_F(MciWnd, CreateFailsWithoutAMediaFactory)
{
    platform::ScopedServices none{platform::Services{}};
    CMciWnd wnd;
    EXPECT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/a.wav")), FALSE);
    ExpectNoWindow(wnd);
}

TEST_F(MciWnd, RequestsReachTheWindowOfTheFile)
{
    CMciWnd wnd;
    ASSERT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/v.avi")), TRUE);
    EXPECT_TRUE(wnd.IsOpen());
    EXPECT_EQ(m_factory.Creations().back().parent, &m_parent);
    EXPECT_EQ(m_factory.Creations().back().style, mci::kStyleChild);
    EXPECT_EQ(wnd.Widget(), m_factory.Newest()->Widget());
    EXPECT_EQ(wnd.GetLength(), 5000);
    EXPECT_EQ(wnd.GetDest(), QRect(0, 0, 320, 240));
    EXPECT_EQ(wnd.GetMode(), mci::kModeStopped);

    wnd.Play();
    m_clock.Advance(1200);
    EXPECT_EQ(wnd.GetMode(), mci::kModePlaying);
    EXPECT_EQ(wnd.GetPosition(), 1200);
    wnd.Pause();
    EXPECT_EQ(wnd.GetMode(), mci::kModePaused);
    wnd.Resume();
    wnd.SeekToStart();
    EXPECT_EQ(wnd.GetPosition(), 0);
    wnd.MoveWindow(QRect(5, 6, 70, 80));
    EXPECT_EQ(wnd.Widget()->geometry(), QRect(5, 6, 70, 80));
    wnd.Stop();
    EXPECT_EQ(wnd.GetMode(), mci::kModeStopped);
    wnd.Close();
    ExpectNoWindow(wnd);
    EXPECT_EQ(m_factory.Requests(),
              QStringList({"Play /m/v.avi", "Pause /m/v.avi", "Resume /m/v.avi", "SeekToStart /m/v.avi",
                           "MoveTo /m/v.avi", "Stop /m/v.avi", "Close /m/v.avi"}));
}

TEST_F(MciWnd, CreateCloseAndCreateAgainAnyNumberOfTimes)
{
    const QString kFiles[] = {QStringLiteral("/m/a.wav"), QStringLiteral("/m/b.mid"), QStringLiteral("/m/v.avi")};
    CMciWnd wnd;
    for (int i = 0; i < 30; ++i) {
        const QString& path = kFiles[i % 3];
        ASSERT_EQ(wnd.Create(i % 2 ? nullptr : &m_parent, mci::kStyleChild, path), TRUE) << i;
        EXPECT_EQ(m_factory.OpenWindows().size(), 1u);
        wnd.Play();
        wnd.Stop();
        wnd.Close();
        EXPECT_TRUE(m_factory.OpenWindows().empty());
        EXPECT_EQ(m_factory.Requests().back(), QStringLiteral("Close ") + path);
    }
    EXPECT_EQ(m_factory.Creations().size(), 30u);
}

TEST_F(MciWnd, CreatingOverAnOpenWindowClosesItFirstAndTheDestructorClosesTheLast)
{
    {
        CMciWnd wnd;
        ASSERT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/a.wav")), TRUE);
        ASSERT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/b.mid")), TRUE);
        EXPECT_EQ(m_factory.OpenWindows().size(), 1u);
        EXPECT_EQ(m_factory.Requests(), QStringList({"Close /m/a.wav"}));
        // A failing create leaves nothing open either.
        EXPECT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/bad.wav")), FALSE);
        EXPECT_TRUE(m_factory.OpenWindows().empty());
        ASSERT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/a.wav")), TRUE);
    }
    EXPECT_TRUE(m_factory.OpenWindows().empty());
    EXPECT_EQ(m_factory.Requests().back(), QStringLiteral("Close /m/a.wav"));
}

TEST_F(MciWnd, WindowDestroyedWithItsParentClosesTheDevice)
{
    CMciWnd wnd;
    auto parent = std::make_unique<QWidget>();
    ASSERT_EQ(wnd.Create(parent.get(), mci::kStyleChild, QStringLiteral("/m/v.avi")), TRUE);
    wnd.Play();
    parent.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(wnd.IsOpen());
    EXPECT_TRUE(m_factory.OpenWindows().empty());
}

TEST_F(MciWnd, LateNoticeOfADestroyedWindowLeavesTheNextWindowOpen)
{
    CMciWnd wnd;
    auto parent = std::make_unique<QWidget>();
    ASSERT_EQ(wnd.Create(parent.get(), mci::kStyleChild, QStringLiteral("/m/v.avi")), TRUE);
    parent.reset();
    ASSERT_EQ(wnd.Create(&m_parent, mci::kStyleChild, QStringLiteral("/m/a.wav")), TRUE);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(wnd.IsOpen());
    EXPECT_EQ(m_factory.OpenWindows().size(), 1u);
}

}  // namespace
