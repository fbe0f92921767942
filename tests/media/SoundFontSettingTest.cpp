// The SoundFont chosen while the program runs: the next MIDI entry sounds
// with it, and a file is checked before it becomes the setting.
#include "platform/mci/AudioSettings.h"
#include "platform/mci/GstMediaWindow.h"
#include "platform/mci/MediaEngine.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/FileBytes.h"
#include "tests/support/MediaMaker.h"
#include "tests/support/SoundFontMaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace testsupport;
using mediatest::WaitUntil;

namespace {

constexpr double kLowHz = 300;
constexpr double kHighHz = 800;

class SoundFontSetting : public testing::Test {
protected:
    QString Path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    // The pitch heard longest while media plays path to its end.
    double DominantHz(mci::MediaFactory& media, const QString& path, const char* captureName)
    {
        AudioCapture capture(Path(captureName));
        {
            auto window = media.Create(nullptr, mci::kStyleChild, path);
            if (!window)
                return 0;
            window->Play();
            if (!WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 20'000))
                return 0;
        }
        const auto tones = capture.Tones();
        const auto longest = std::max_element(tones.begin(), tones.end(), [](const auto& a, const auto& b) {
            return a.lengthMs < b.lengthMs;
        });
        return longest == tones.end() ? 0 : longest->frequencyHz;
    }

    QTemporaryDir m_dir;
};

TEST_F(SoundFontSetting, TheNextMidiEntrySoundsWithTheFontSetMeanwhile)
{
    ASSERT_TRUE(WriteSineSoundFont(Path("low.sf2"), kLowHz));
    ASSERT_TRUE(WriteSineSoundFont(Path("high.sf2"), kHighHz));
    ASSERT_TRUE(WriteMidiTune(Path("tune.mid"), 2000));
    mci::GstMediaFactory factory;
    // As the program holds it: behind the wait for the engine.
    const std::unique_ptr<mci::MediaFactory> media = mci::AfterMediaStarts(factory);

    factory.SetSoundFontSetting(Path("low.sf2"));
    EXPECT_NEAR(DominantHz(*media, Path("tune.mid"), "low.raw"), kLowHz, kLowHz * 0.03);
    factory.SetSoundFontSetting(Path("high.sf2"));
    EXPECT_NEAR(DominantHz(*media, Path("tune.mid"), "high.raw"), kHighHz, kHighHz * 0.03);
    factory.SetSoundFontSetting(Path("low.sf2"));
    EXPECT_NEAR(DominantHz(*media, Path("tune.mid"), "low-again.raw"), kLowHz, kLowHz * 0.03);
}

TEST_F(SoundFontSetting, AMadeFontAndTheSystemsFontPassTheCheck)
{
    ASSERT_TRUE(WriteSineSoundFont(Path("sine.sf2"), kLowHz));
    QString reason = QStringLiteral("unchanged");
    EXPECT_TRUE(mci::CheckSoundFont(Path("sine.sf2"), &reason));
    EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
    EXPECT_TRUE(mci::CheckSoundFont(Path("sine.sf2"), nullptr));

    const QString system = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
    if (!QFile::exists(system))
        GTEST_SKIP() << "timgm6mb-soundfont is not installed";
    EXPECT_TRUE(mci::CheckSoundFont(system, &reason)) << reason.toStdString();
}

TEST_F(SoundFontSetting, WhatIsNoLoadableFontIsRefusedWithAReason)
{
    const QByteArray font = SineSoundFont(kLowHz);
    QByteArray damaged = font;
    damaged.replace("phdr", "xxxx");  // the sizes still agree; the synthesizer refuses it
    ASSERT_TRUE(WriteFileBytes(Path("garbage.sf2"), QByteArray(4096, 'x')));
    ASSERT_TRUE(WriteFileBytes(Path("half.sf2"), font.left(font.size() / 2)));
    ASSERT_TRUE(WriteFileBytes(Path("header.sf2"), font.left(12)));
    ASSERT_TRUE(WriteFileBytes(Path("damaged.sf2"), damaged));
    ASSERT_TRUE(WriteFileBytes(Path("empty.sf2"), {}));
    ASSERT_TRUE(QDir().mkpath(Path("folder.sf2")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.sf2")).constData(), 0600), 0);
    mediatest::FifoRescue rescue(Path("fifo.sf2"), font);

    const struct {
        const char* name;
        const char* reasonHas;
    } kCases[] = {
        {"garbage.sf2", "not a SoundFont"}, {"half.sf2", "cut short"},       {"header.sf2", "cut short"},
        {"damaged.sf2", "synthesizer"},     {"empty.sf2", "not a SoundFont"}, {"folder.sf2", "folder"},
        {"fifo.sf2", "not a regular file"}, {"missing.sf2", "No such file"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        QString reason;
        EXPECT_FALSE(mci::CheckSoundFont(Path(c.name), &reason));
        EXPECT_TRUE(reason.contains(QLatin1String(c.reasonHas))) << reason.toStdString();
    }
    QString reason;
    EXPECT_FALSE(mci::CheckSoundFont({}, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

}  // namespace
