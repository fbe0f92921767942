// The dialogs' pictures come from PNGs drawn at build time: found by size,
// scaled when a size has no rendering, and read without Qt's image plug-ins
// (which would bring the SVG library back into the player).
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

#include "platform/ui/CDialog.h"

namespace {

bool MapsImagePlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("imageformats");
}

QImage Rendering(const char* name, QSize size)
{
    QImageReader reader(ui::ImageFile(name, size), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// The share of a pixmap's pixels that are not fully transparent.
double Covered(const QImage& image)
{
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) != 0;
    return double(covered) / (image.width() * image.height());
}

TEST(DialogPictures, ARenderedSizeIsTheRenderingItselfAndNoPlugInIsLoaded)
{
    const QSize box(68, 41);
    ASSERT_TRUE(QFile::exists(ui::ImageFile(":/icons/151-midi", box)));
    const QPixmap pixmap = ui::LoadImage(":/icons/151-midi", box);
    EXPECT_EQ(pixmap.size(), box);
    EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32), Rendering(":/icons/151-midi", box));
    const QIcon icon = ui::LoadIcon(":/icons/128-app");
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    EXPECT_FALSE(MapsImagePlugins());
}

TEST(DialogPictures, ASizeWithoutRenderingIsScaledFromOneAndCentred)
{
    const QSize box(90, 41);
    ASSERT_FALSE(QFile::exists(ui::ImageFile(":/icons/151-midi", box)));
    const QPixmap pixmap = ui::LoadImage(":/icons/151-midi", box);
    ASSERT_EQ(pixmap.size(), box);
    // The 90:54 picture fills the height; the sides stay clear.
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(image.pixel(0, 20)), 0);
    EXPECT_EQ(qAlpha(image.pixel(89, 20)), 0);
    // As much of it drawn as of the rendering, in a box a third wider.
    const double rendered = Covered(Rendering(":/icons/151-midi", QSize(68, 41)));
    EXPECT_NEAR(Covered(image), rendered * 68 / 90, rendered * 0.1);
    EXPECT_FALSE(MapsImagePlugins());
}

TEST(DialogPictures, AnUnknownPictureIsAnEmptyPictureOfTheSize)
{
    const QPixmap pixmap = ui::LoadImage(":/icons/no-such-picture", QSize(20, 10));
    EXPECT_EQ(pixmap.size(), QSize(20, 10));
    EXPECT_EQ(Covered(pixmap.toImage().convertToFormat(QImage::Format_ARGB32)), 0.0);
}

}  // namespace
