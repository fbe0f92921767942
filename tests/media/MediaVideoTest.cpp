// Where the picture of a media file goes: into a child of the player, or
// into a window of its own.
#include "platform/mci/GstMediaWindow.h"
#include "res/Strings.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/MediaMaker.h"

#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace testsupport;
using mediatest::Spin;

namespace {

bool IsBlack(QRgb pixel)
{
    return qRed(pixel) < 16 && qGreen(pixel) < 16 && qBlue(pixel) < 16;
}

class MediaVideo : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(WriteAvi(s_dir->filePath(QStringLiteral("movie.avi")), 3000, 660));
        ASSERT_TRUE(WriteWavTone(s_dir->filePath(QStringLiteral("tone.wav")), 440, 3000));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString Path(const char* name) { return s_dir->filePath(QLatin1String(name)); }

    void SetUp() override
    {
        m_parent.resize(640, 480);
        m_parent.show();
    }

    static QTemporaryDir* s_dir;
    QWidget m_parent;
    mci::GstMediaFactory m_factory;
};

QTemporaryDir* MediaVideo::s_dir = nullptr;

TEST_F(MediaVideo, PictureIsScaledIntoTheChildWithItsAspectKept)
{
    auto window = m_factory.Create(&m_parent, mci::kStyleChild, Path("movie.avi"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Destination(), QRect(0, 0, 320, 240));
    QWidget* widget = window->Widget();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &m_parent);
    EXPECT_FALSE(widget->isWindow());

    // Wider than 4:3: the picture is 266 x 200 in the middle, black on both sides.
    const QRect placeholder(20, 30, 400, 200);
    window->MoveTo(placeholder);
    EXPECT_EQ(widget->geometry(), placeholder);
    EXPECT_TRUE(widget->isVisible());
    window->Play();
    Spin(500);
    const QImage shot = widget->grab().toImage();
    ASSERT_EQ(shot.size(), placeholder.size());
    for (int y : {5, 100, 195}) {
        EXPECT_TRUE(IsBlack(shot.pixel(10, y))) << y;
        EXPECT_TRUE(IsBlack(shot.pixel(389, y))) << y;
    }
    int lit = 0;
    for (int y = 0; y < 200; y += 10)
        for (int x = 70; x < 330; x += 10)
            lit += IsBlack(shot.pixel(x, y)) ? 0 : 1;
    EXPECT_GT(lit, 26 * 20 * 3 / 4);
}

TEST_F(MediaVideo, PictureMoves)
{
    auto window = m_factory.Create(&m_parent, mci::kStyleChild, Path("movie.avi"));
    ASSERT_NE(window, nullptr);
    window->MoveTo(QRect(0, 0, 320, 240));
    const QImage first = window->Widget()->grab().toImage();
    window->Play();
    Spin(700);
    EXPECT_NE(window->Widget()->grab().toImage(), first);
}

TEST_F(MediaVideo, DestinationAppliesThePixelAspect)
{
    const QString path = s_dir->filePath(QStringLiteral("wide-pixels.mkv"));
    ASSERT_TRUE(mediatest::WriteWithPipeline(
        QStringLiteral("videotestsrc num-buffers=5 "
                       "! video/x-raw,width=320,height=240,pixel-aspect-ratio=2/1,framerate=25/1 ! jpegenc "
                       "! matroskamux ! filesink name=out"),
        path));
    auto window = m_factory.Create(nullptr, mci::kStyleSeparate, path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Destination(), QRect(0, 0, 640, 240));
    EXPECT_EQ(window->Widget()->size(), QSize(640, 240));
}

TEST_F(MediaVideo, AudioOnlyChildHasNoDestinationAndStaysHidden)
{
    auto window = m_factory.Create(&m_parent, mci::kStyleChild, Path("tone.wav"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Destination().isEmpty());
    ASSERT_NE(window->Widget(), nullptr);
    window->Play();
    Spin(200);
    EXPECT_FALSE(window->Widget()->isVisible());
}

TEST_F(MediaVideo, WindowOfItsOwnShowsNamePositionAndModeAndRefusesToClose)
{
    auto window = m_factory.Create(nullptr, mci::kStyleSeparate, Path("movie.avi"));
    ASSERT_NE(window, nullptr);
    QPointer<QWidget> widget = window->Widget();
    ASSERT_TRUE(widget);
    EXPECT_TRUE(widget->isWindow());
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->size(), QSize(320, 240));
    EXPECT_FALSE(widget->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(widget->windowTitle().contains(QStringLiteral("movie.avi")));
    EXPECT_TRUE(widget->windowTitle().contains(res::Text(res::text::kMediaModeStopped)));

    window->Play();
    Spin(1700);
    const QString title = widget->windowTitle();
    EXPECT_TRUE(title.contains(QStringLiteral("movie.avi"))) << title.toStdString();
    EXPECT_TRUE(title.contains(QStringLiteral("00:01"))) << title.toStdString();
    EXPECT_TRUE(title.contains(res::Text(res::text::kMediaModePlaying))) << title.toStdString();

    EXPECT_FALSE(widget->close());
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(window->Mode(), mci::kModePlaying);

    window.reset();
    EXPECT_FALSE(widget);
}

TEST_F(MediaVideo, ParentGoingFirstLeavesAWindowThatStillAnswers)
{
    auto parent = std::make_unique<QWidget>();
    auto window = m_factory.Create(parent.get(), mci::kStyleChild, Path("movie.avi"));
    ASSERT_NE(window, nullptr);
    window->Play();
    Spin(200);
    parent.reset();
    EXPECT_EQ(window->Widget(), nullptr);
    Spin(200);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    window->Stop();
    EXPECT_EQ(window->Position(), 0);
}

}  // namespace
