// A media file whose name on disk is Shift-JIS, as unpacked from an old
// archive, named in a collection by its characters: found and played.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/drives/DriveMap.h"
#include "platform/mci/GstMediaWindow.h"
#include "platform/mci/Mci.h"
#include "platform/text/Cp932.h"
#include "platform/text/FileText.h"
#include "tests/support/MediaMaker.h"

namespace {

TEST(NativeName, ShiftJisFileNameResolvesAndOpens)
{
    QTemporaryDir dir;
    const QString made = dir.filePath("made.wav");
    ASSERT_TRUE(testsupport::WriteWavTone(made, 440, 600));
    const QByteArray nativeName = QFile::encodeName(dir.path()) + '/' + text::EncodeCp932(QStringLiteral("音楽.wav"));
    ASSERT_EQ(::rename(QFile::encodeName(made).constData(), nativeName.constData()), 0);

    const drives::DriveMap map = drives::DriveMap::Build({}, {}, {});
    const QString resolved = map.ResolvePath(dir.filePath(QStringLiteral("音楽.wav")));
    EXPECT_EQ(text::EncodeFileName(resolved), nativeName) << "the resolved name keeps the bytes on disk";

    mci::GstMediaFactory factory;
    std::unique_ptr<mci::MediaWindow> window = factory.Create(nullptr, mci::kStyleChild, resolved);
    ASSERT_NE(window, nullptr);
    EXPECT_NEAR(window->Length(), 600, 15);
    window.reset();
    ::unlink(nativeName.constData());  // QDir cannot spell this name to remove it
}

TEST(NativeName, FileNamesRoundTripThroughText)
{
    const QByteArray names[] = {"plain.wav", "\xe9\x9f\xb3.wav", "\x89\xb9\x8a\x79.wav", "\xff\xfe\x80"};
    for (const QByteArray& name : names)
        EXPECT_EQ(text::EncodeFileName(text::DecodeFileName(name)), name) << name.toHex().constData();
}

}  // namespace
