#include "tests/support/MediaMaker.h"

#include "tests/support/LittleEndian.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <gst/gst.h>
#include <numbers>
#include <vector>

namespace testsupport {

namespace {

QByteArray WavHeader(int sampleRate, int channels, quint32 dataBytes)
{
    QByteArray header("RIFF");
    PutLe32(header, 36 + dataBytes);
    header.append("WAVEfmt ");
    PutLe32(header, 16);
    PutLe16(header, 1);  // PCM
    PutLe16(header, quint16(channels));
    PutLe32(header, quint32(sampleRate));
    PutLe32(header, quint32(sampleRate * channels * 2));
    PutLe16(header, quint16(channels * 2));
    PutLe16(header, 16);
    header.append("data");
    PutLe32(header, dataBytes);
    return header;
}

QByteArray SinePcm(double freqHz, int lengthMs, int sampleRate, int channels, double amplitude)
{
    const qint64 frames = qint64(sampleRate) * lengthMs / 1000;
    QByteArray pcm;
    pcm.reserve(int(frames * channels * 2));
    for (qint64 n = 0; n < frames; ++n) {
        const double x = amplitude * std::sin(2 * std::numbers::pi * freqHz * double(n) / sampleRate);
        const auto sample = qint16(std::lround(std::clamp(x, -1.0, 1.0) * 32767));
        for (int c = 0; c < channels; ++c)
            PutLe16(pcm, quint16(sample));
    }
    return pcm;
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
           && file.flush();
}

// MIDI variable-length quantity.
void PutVarLen(QByteArray& out, quint32 value)
{
    char groups[5];
    int count = 0;
    do {
        groups[count++] = char(value & 0x7F);
        value >>= 7;
    } while (value);
    while (count > 1)
        out.append(char(groups[--count] | 0x80));
    out.append(groups[0]);
}

struct MidiEvent {
    quint32 tick;
    int order;  // note-offs before note-ons at the same tick
    QByteArray bytes;
};

bool InitGstreamer()
{
    return gst_is_initialized() || gst_init_check(nullptr, nullptr, nullptr);
}

}  // namespace

bool WriteWavTone(const QString& path, double freqHz, int lengthMs, int sampleRate, int channels, double amplitude)
{
    if (lengthMs < 0 || sampleRate <= 0 || channels <= 0)
        return false;
    const QByteArray pcm = SinePcm(freqHz, lengthMs, sampleRate, channels, amplitude);
    return WriteAll(path, WavHeader(sampleRate, channels, quint32(pcm.size())) + pcm);
}

bool WriteWavWithLyingHeader(const QString& path, double freqHz, int actualMs, int claimedMs, int sampleRate,
                             int channels)
{
    if (actualMs < 0 || claimedMs < actualMs || sampleRate <= 0 || channels <= 0)
        return false;
    const QByteArray pcm = SinePcm(freqHz, actualMs, sampleRate, channels, 0.5);
    const auto claimedBytes = quint32(qint64(sampleRate) * claimedMs / 1000 * channels * 2);
    return WriteAll(path, WavHeader(sampleRate, channels, claimedBytes) + pcm);
}

bool WriteMidiTune(const QString& path, int lengthMs)
{
    if (lengthMs <= 0)
        return false;
    // 500 ticks per quarter at 500000 us per quarter: one tick is one millisecond.
    constexpr int kEighth = 250;
    constexpr int kBar = 8 * kEighth;
    struct Note {
        int key;  // 0 = rest
        int eighths;
    };
    static constexpr Note kMelody[] = {
        {72, 1}, {76, 1}, {79, 2}, {77, 1}, {76, 1}, {74, 2},  //
        {76, 1}, {77, 1}, {79, 1}, {81, 1}, {79, 4},           //
        {81, 1}, {79, 1}, {77, 1}, {76, 1}, {74, 2}, {71, 2},  //
        {72, 6}, {0, 2},                                       //
    };
    static constexpr int kBass[] = {48, 53, 43, 48};
    static constexpr int kChords[4][3] = {{60, 64, 67}, {60, 65, 69}, {59, 62, 67}, {60, 64, 67}};
    const auto end = quint32(lengthMs);
    std::vector<MidiEvent> events;
    auto addNote = [&](int channel, int key, int velocity, quint32 start, quint32 length) {
        if (start >= end)
            return;
        const quint32 stop = std::min(start + length, end);
        const char on[] = {char(0x90 | channel), char(key), char(velocity)};
        const char off[] = {char(0x80 | channel), char(key), 0};
        events.push_back({start, 1, QByteArray(on, 3)});
        events.push_back({stop, 0, QByteArray(off, 3)});
    };
    for (quint32 loopStart = 0; loopStart < end; loopStart += 4 * kBar) {
        quint32 at = loopStart;
        for (const Note& note : kMelody) {
            const quint32 length = quint32(note.eighths * kEighth);
            if (note.key)
                addNote(0, note.key, 100, at, length - 20);
            at += length;
        }
        for (int bar = 0; bar < 4; ++bar) {
            const quint32 barStart = loopStart + quint32(bar * kBar);
            addNote(1, kBass[bar], 90, barStart, kBar - 30);
            for (int key : kChords[bar])
                addNote(2, key, 70, barStart, kBar - 30);
            for (int eighth = 0; eighth < 8; ++eighth) {
                const quint32 at = barStart + quint32(eighth * kEighth);
                addNote(9, 42, 60, at, 100);  // closed hi-hat
                if (eighth % 4 == 0)
                    addNote(9, 36, 100, at, 100);  // bass drum
                if (eighth % 4 == 2)
                    addNote(9, 38, 90, at, 100);  // snare
            }
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    QByteArray track;
    track.append(QByteArray::fromHex("00FF510307A120"));  // tempo 500000 us per quarter
    track.append(QByteArray::fromHex("00C000"));          // channel 1: acoustic grand piano
    track.append(QByteArray::fromHex("00C120"));          // channel 2: acoustic bass
    track.append(QByteArray::fromHex("00C230"));          // channel 3: string ensemble
    quint32 now = 0;
    for (const MidiEvent& event : events) {
        PutVarLen(track, event.tick - now);
        track.append(event.bytes);
        now = event.tick;
    }
    PutVarLen(track, end - now);
    track.append(QByteArray::fromHex("FF2F00"));

    QByteArray file("MThd");
    file.append(QByteArray::fromHex("00000006" "0000" "0001" "01F4"));  // format 0, one track, 500 ticks per quarter
    file.append("MTrk");
    char length[4];
    qToBigEndian(quint32(track.size()), length);
    file.append(length, 4);
    file.append(track);
    return WriteAll(path, file);
}

bool WriteAvi(const QString& path, int lengthMs, double toneHz)
{
    if (lengthMs <= 0 || !InitGstreamer())
        return false;
    const int frames = std::max(1, lengthMs / 40);
    const int audioBuffers = std::max(1, lengthMs / 10);  // 441 samples each
    const QString description =
        QStringLiteral(
            "videotestsrc pattern=ball background-color=0xff2050c0 num-buffers=%1 "
            "! video/x-raw,format=I420,width=320,height=240,framerate=25/1 ! jpegenc ! queue ! avimux name=mux "
            "! filesink name=out "
            "audiotestsrc wave=sine freq=%2 volume=0.5 samplesperbuffer=441 num-buffers=%3 "
            "! audio/x-raw,format=S16LE,rate=44100,channels=2 ! queue ! mux.")
            .arg(frames)
            .arg(toneHz, 0, 'f', 3)
            .arg(audioBuffers);
    return WriteWithPipeline(description, path);
}

bool WriteWithPipeline(const QString& description, const QString& path, const QString& inputPath)
{
    if (!InitGstreamer())
        return false;
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!pipeline || error) {
        g_clear_error(&error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    for (const auto& [name, location] : {std::pair{"out", path}, std::pair{"in", inputPath}}) {
        if (location.isEmpty())
            continue;
        if (GstElement* element = gst_bin_get_by_name(GST_BIN(pipeline), name)) {
            g_object_set(element, "location", QFile::encodeName(location).constData(), nullptr);
            gst_object_unref(element);
        }
    }
    bool ok = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (ok) {
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        if (message)
            gst_message_unref(message);
        gst_object_unref(bus);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok && QFile(path).size() > 0;
}

}  // namespace testsupport
