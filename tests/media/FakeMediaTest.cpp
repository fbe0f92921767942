// The fake media windows keep the contract of the real ones, so that tests
// of the player can trust them.
#include "tests/support/FakeMedia.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class FakeMedia : public testing::Test {
protected:
    void SetUp() override
    {
        m_factory.AddFile(QStringLiteral("/m/a.wav"), FakeMediaFile::Audio(3000));
        m_factory.AddFile(QStringLiteral("/m/v.avi"), FakeMediaFile::Video(5000, QSize(320, 240)));
        m_factory.AddFile(QStringLiteral("/m/bad.mid"), FakeMediaFile::Unplayable());
        m_factory.AddFile(QStringLiteral("/m/broken.wav"), FakeMediaFile::Audio(4000).ErrorAt(1500));
    }

    FakeClock m_clock;
    FakeMediaFactory m_factory{m_clock};
};

TEST_F(FakeMedia, ClockMovesOnlyPlayingWindowsAndTheEndStandsAtTheLength)
{
    auto window = m_factory.Create(nullptr, mci::kStyleChild, QStringLiteral("/m/a.wav"));
    ASSERT_NE(window, nullptr);
    m_clock.Advance(500);
    EXPECT_EQ(window->Position(), 0);
    window->Play();
    m_clock.Advance(1000);
    EXPECT_EQ(window->Position(), 1000);
    window->Pause();
    m_clock.Advance(1000);
    EXPECT_EQ(window->Position(), 1000);
    EXPECT_EQ(window->Mode(), mci::kModePaused);
    window->Resume();
    m_clock.Advance(5000);
    EXPECT_EQ(window->Mode(), mci::kModeStopped);
    EXPECT_EQ(window->Position(), 3000);
    window->Play();
    EXPECT_EQ(window->Position(), 0);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
}

TEST_F(FakeMedia, ScriptedErrorEndsTheFileAtItsLength)
{
    auto window = m_factory.Create(nullptr, mci::kStyleChild, QStringLiteral("/m/broken.wav"));
    ASSERT_NE(window, nullptr);
    window->Play();
    m_clock.Advance(1400);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    m_clock.Advance(200);
    EXPECT_EQ(window->Mode(), mci::kModeStopped);
    EXPECT_EQ(window->Position(), 4000);
}

TEST_F(FakeMedia, UnknownAndFailingFilesDoNotOpenAndEveryCreationIsRecorded)
{
    QWidget parent;
    EXPECT_EQ(m_factory.Create(&parent, mci::kStyleChild, QStringLiteral("/m/none.wav")), nullptr);
    EXPECT_EQ(m_factory.Create(&parent, mci::kStyleChild, QStringLiteral("/m/bad.mid")), nullptr);
    auto video = m_factory.Create(nullptr, mci::kStyleSeparate, QStringLiteral("/m/v.avi"));
    ASSERT_NE(video, nullptr);
    ASSERT_EQ(m_factory.Creations().size(), 3u);
    EXPECT_EQ(m_factory.Creations()[0].parent, &parent);
    EXPECT_FALSE(m_factory.Creations()[1].opened);
    EXPECT_TRUE(m_factory.Creations()[2].opened);
    EXPECT_EQ(m_factory.Creations()[2].style, mci::kStyleSeparate);
    EXPECT_EQ(video->Destination(), QRect(0, 0, 320, 240));
    EXPECT_TRUE(video->Widget()->isWindow());
    EXPECT_EQ(m_factory.Newest(), video.get());
    video.reset();
    EXPECT_EQ(m_factory.Newest(), nullptr);
}

TEST_F(FakeMedia, RequestsAreRecordedInOrder)
{
    QWidget parent;
    auto window = m_factory.Create(&parent, mci::kStyleChild, QStringLiteral("/m/v.avi"));
    ASSERT_NE(window, nullptr);
    window->MoveTo(QRect(1, 2, 30, 40));
    window->Play();
    window->Stop();
    window->SeekToStart();
    window.reset();
    EXPECT_EQ(m_factory.Requests(),
              QStringList({"MoveTo /m/v.avi", "Play /m/v.avi", "Stop /m/v.avi", "SeekToStart /m/v.avi",
                           "Close /m/v.avi"}));
    EXPECT_EQ(m_factory.LastMove(), QRect(1, 2, 30, 40));
}

}  // namespace
