// The audio output chosen while the program runs: what the device monitor
// lists, which device the next pipeline plays on, and what happens when the
// device is gone or LIRABOX_AUDIO_SINK says otherwise.
#include "platform/mci/AudioSettings.h"
#include "platform/mci/GstAudioOutput.h"
#include "platform/mci/GstMediaWindow.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/FakeAudioDevices.h"
#include "tests/support/MediaMaker.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace testsupport;
using mediatest::WaitUntil;

namespace {

const QString kFirst = QStringLiteral("テスト出力 1");
const QString kSecond = QStringLiteral("テスト出力 2");
const QString kAlsa = QStringLiteral("テスト出力 ALSA");

class AudioOutputChoice : public testing::Test {
protected:
    void TearDown() override { mci::SetAudioOutput({}); }

    QString Path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    // The id the monitor gives the device named name; empty when it is not listed.
    static QString IdOf(const QString& name)
    {
        const QList<mci::AudioOutputChoice> outputs = mci::ListAudioOutputs();
        const auto it = std::find_if(outputs.begin(), outputs.end(),
                                     [&](const mci::AudioOutputChoice& output) { return output.name == name; });
        return it == outputs.end() ? QString() : it->id;
    }

    void PlayThrough(const QString& path)
    {
        auto window = m_factory.Create(nullptr, mci::kStyleChild, path);
        ASSERT_NE(window, nullptr) << path.toStdString();
        window->Play();
        ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 20'000));
    }

    static std::vector<double> FrequenciesOf(const QString& capture)
    {
        std::vector<double> frequencies;
        for (const AudioCapture::Tone& tone : AudioCapture::TonesOfFile(capture))
            frequencies.push_back(std::round(tone.frequencyHz));
        return frequencies;
    }

    // The factory of a new pipeline's output, unreferenced again.
    static std::string OutputFactory()
    {
        GstElement* output = mci::MakeAudioOutput(nullptr);
        if (!output)
            return "<none>";
        gst_object_ref_sink(output);
        GstElementFactory* factory = gst_element_get_factory(output);
        std::string name = factory ? GST_OBJECT_NAME(factory) : "<no factory>";
        gst_object_unref(output);
        return name;
    }

    QTemporaryDir m_dir;
    mci::GstMediaFactory m_factory;
    FakeAudioDevices m_devices{{{kFirst, Path("first.raw"), {}},
                                {kSecond, Path("second.raw"), {}},
                                {kAlsa, {}, "lirabox_test_card"}}};
    mediatest::ScopedEnv m_noSink{"LIRABOX_AUDIO_SINK"};
};

TEST_F(AudioOutputChoice, TheMonitorsOutputsAreListedWithIdsThatTellThemApartAndStay)
{
    const QList<mci::AudioOutputChoice> outputs = mci::ListAudioOutputs();
    QStringList names;
    for (const mci::AudioOutputChoice& output : outputs)
        names.append(output.name);
    const qsizetype first = names.indexOf(kFirst);
    ASSERT_GE(first, 0);
    EXPECT_EQ(names.indexOf(kSecond), first + 1);
    EXPECT_EQ(names.indexOf(kAlsa), first + 2);

    // A sink with a device property is known by it, any other by its name.
    EXPECT_EQ(IdOf(kAlsa), QStringLiteral("alsasink:lirabox_test_card"));
    EXPECT_EQ(IdOf(kFirst), QStringLiteral("bin:") + kFirst);
    EXPECT_NE(IdOf(kFirst), IdOf(kSecond));
    EXPECT_EQ(IdOf(kSecond), outputs[first + 1].id);
}

TEST_F(AudioOutputChoice, TheNextPipelinePlaysOnTheChosenDevice)
{
    ASSERT_TRUE(WriteWavTone(Path("a.wav"), 440, 400));
    ASSERT_TRUE(WriteWavTone(Path("b.wav"), 660, 400));
    const QString first = IdOf(kFirst);
    const QString second = IdOf(kSecond);
    ASSERT_FALSE(first.isEmpty());

    mci::SetAudioOutput(second);
    EXPECT_EQ(mci::CurrentAudioOutput(), second);
    PlayThrough(Path("a.wav"));
    mci::SetAudioOutput(first);
    PlayThrough(Path("b.wav"));

    EXPECT_EQ(FrequenciesOf(Path("second.raw")), std::vector<double>{440});
    EXPECT_EQ(FrequenciesOf(Path("first.raw")), std::vector<double>{660});
    mci::SetAudioOutput({});
    EXPECT_EQ(OutputFactory(), "autoaudiosink");
}

TEST_F(AudioOutputChoice, ADeviceThatIsGoneGivesTheDefaultOutputSaidOnce)
{
    const QString first = IdOf(kFirst);
    ASSERT_FALSE(first.isEmpty());
    m_devices.Replace({{kSecond, Path("second.raw"), {}}});
    mediatest::StderrLines stderrLines;
    mci::SetAudioOutput(first);
    EXPECT_EQ(OutputFactory(), "autoaudiosink");
    EXPECT_EQ(OutputFactory(), "autoaudiosink");
    const QStringList lines = stderrLines.Take();
    ASSERT_EQ(lines.size(), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].contains(first)) << lines[0].toStdString();

    // Plugged in again and chosen again, it plays.
    m_devices.Replace({{kFirst, Path("first.raw"), {}}});
    mci::SetAudioOutput(first);
    ASSERT_TRUE(WriteWavTone(Path("a.wav"), 440, 400));
    PlayThrough(Path("a.wav"));
    EXPECT_EQ(FrequenciesOf(Path("first.raw")), std::vector<double>{440});
}

TEST_F(AudioOutputChoice, TheEnvironmentsSinkWinsOverTheChoice)
{
    ASSERT_TRUE(WriteWavTone(Path("a.wav"), 440, 400));
    mci::SetAudioOutput(IdOf(kFirst));
    {
        AudioCapture capture(Path("env.raw"));
        PlayThrough(Path("a.wav"));
        EXPECT_EQ(FrequenciesOf(Path("env.raw")), std::vector<double>{440});
    }
    EXPECT_EQ(QFileInfo(Path("first.raw")).size(), 0);
}

TEST_F(AudioOutputChoice, ADevicesOwnSinkWritesInLargeBlocks)
{
    mci::SetAudioOutput(IdOf(kAlsa));
    GstElement* output = mci::MakeAudioOutput(nullptr);
    ASSERT_NE(output, nullptr);
    gst_object_ref_sink(output);
    mci::UseLargeDeviceBlocks(output);
    gchar* device = nullptr;
    gint64 bufferUs = 0;
    gint64 blockUs = 0;
    g_object_get(output, "device", &device, "buffer-time", &bufferUs, "latency-time", &blockUs, nullptr);
    EXPECT_STREQ(device, "lirabox_test_card");
    EXPECT_EQ(bufferUs, 200'000);
    EXPECT_EQ(blockUs, 40'000);
    g_free(device);
    gst_object_unref(output);
}

}  // namespace
