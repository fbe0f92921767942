#include "tests/support/SoundFontMaker.h"

#include "tests/support/FileBytes.h"
#include "tests/support/LittleEndian.h"

#include <cmath>
#include <numbers>

namespace testsupport {

namespace {

// The sample holds kPeriods periods of kPeriodSamples each and loops over
// the whole periods kLoopStart to kLoopEnd; its rate sets the pitch.
constexpr int kPeriodSamples = 100;
constexpr int kPeriods = 21;
constexpr quint32 kLoopStart = 10 * kPeriodSamples;
constexpr quint32 kLoopEnd = 20 * kPeriodSamples;
// Zero samples that must follow every sample in the sample data.
constexpr int kSampleTail = 46;
constexpr int kPrograms = 128;
constexpr quint16 kDrumBank = 128;

// Generator operators.
constexpr quint16 kInstrument = 41;
constexpr quint16 kSampleId = 53;
constexpr quint16 kSampleModes = 54;
constexpr quint16 kScaleTuning = 56;

void PutName(QByteArray& out, const char* name)
{
    QByteArray field(name);
    field.resize(20, '\0');
    out.append(field);
}

QByteArray Chunk(const char* id, const QByteArray& data)
{
    QByteArray chunk(id, 4);
    PutLe32(chunk, quint32(data.size()));
    chunk.append(data);
    if (data.size() % 2)
        chunk.append('\0');
    return chunk;
}

QByteArray List(const char* type, const QByteArray& chunks)
{
    return Chunk("LIST", QByteArray(type, 4) + chunks);
}

QByteArray Info()
{
    QByteArray version;
    PutLe16(version, 2);
    PutLe16(version, 1);
    return List("INFO", Chunk("ifil", version) + Chunk("isng", QByteArray("EMU8000", 8))
                            + Chunk("INAM", QByteArray("Sine", 6)));
}

QByteArray SineSamples()
{
    QByteArray samples;
    for (int n = 0; n < kPeriods * kPeriodSamples; ++n)
        PutLe16(samples, quint16(qint16(std::lround(0.5 * 32767 * std::sin(2 * std::numbers::pi * n / kPeriodSamples)))));
    samples.append(QByteArray(2 * kSampleTail, '\0'));
    return List("sdta", Chunk("smpl", samples));
}

void PutPreset(QByteArray& out, const char* name, quint16 program, quint16 bank, quint16 bag)
{
    PutName(out, name);
    PutLe16(out, program);
    PutLe16(out, bank);
    PutLe16(out, bag);
    PutLe32(out, 0);  // library, genre, morphology
    PutLe32(out, 0);
    PutLe32(out, 0);
}

void PutGenerator(QByteArray& out, quint16 oper, quint16 amount)
{
    PutLe16(out, oper);
    PutLe16(out, amount);
}

// Every preset is one zone naming instrument 0.
QByteArray Presets()
{
    constexpr quint16 kPresets = kPrograms + 1;
    QByteArray headers;
    QByteArray bags;
    QByteArray generators;
    for (quint16 preset = 0; preset < kPresets; ++preset) {
        const bool drums = preset == kPrograms;
        PutPreset(headers, drums ? "Sine Drums" : "Sine", drums ? 0 : preset, drums ? kDrumBank : 0, preset);
        PutLe16(bags, preset);
        PutLe16(bags, 0);
        PutGenerator(generators, kInstrument, 0);
    }
    PutPreset(headers, "EOP", 0, 0, kPresets);
    PutLe16(bags, kPresets);
    PutLe16(bags, 0);
    PutGenerator(generators, 0, 0);
    return Chunk("phdr", headers) + Chunk("pbag", bags) + Chunk("pmod", QByteArray(10, '\0'))
           + Chunk("pgen", generators);
}

QByteArray Instrument(double toneHz)
{
    QByteArray instruments;
    PutName(instruments, "Sine");
    PutLe16(instruments, 0);
    PutName(instruments, "EOI");
    PutLe16(instruments, 1);
    QByteArray bags;
    PutLe16(bags, 0);
    PutLe16(bags, 0);
    PutLe16(bags, 3);
    PutLe16(bags, 0);
    QByteArray generators;
    PutGenerator(generators, kSampleModes, 1);  // loops while the key is held
    PutGenerator(generators, kScaleTuning, 0);  // every key at the sample's own pitch
    PutGenerator(generators, kSampleId, 0);
    PutGenerator(generators, 0, 0);

    QByteArray samples;
    PutName(samples, "Sine");
    PutLe32(samples, 0);
    PutLe32(samples, kPeriods * kPeriodSamples);
    PutLe32(samples, kLoopStart);
    PutLe32(samples, kLoopEnd);
    PutLe32(samples, quint32(std::lround(toneHz * kPeriodSamples)));
    samples.append(char(60));  // original key
    samples.append('\0');      // pitch correction
    PutLe16(samples, 0);         // link
    PutLe16(samples, 1);         // mono
    PutName(samples, "EOS");
    samples.append(QByteArray(26, '\0'));
    return Chunk("inst", instruments) + Chunk("ibag", bags) + Chunk("imod", QByteArray(10, '\0'))
           + Chunk("igen", generators) + Chunk("shdr", samples);
}

}  // namespace

QByteArray SineSoundFont(double toneHz)
{
    const QByteArray body = QByteArray("sfbk") + Info() + SineSamples()
                            + List("pdta", Presets() + Instrument(toneHz));
    QByteArray file("RIFF");
    PutLe32(file, quint32(body.size()));
    return file + body;
}

bool WriteSineSoundFont(const QString& path, double toneHz)
{
    return WriteFileBytes(path, SineSoundFont(toneHz));
}

}  // namespace testsupport
