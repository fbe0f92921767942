#include "platform/mci/CueLayout.h"

#include <map>
#include <vector>

#include "platform/mci/CueSheet.h"
#include "platform/mci/RipDisc.h"

namespace mci {
namespace {

class Layout {
public:
    Layout(const CueSheet& sheet, RipDisc& disc) : m_sheet(sheet), m_disc(disc) {}
    bool Build();

private:
    bool IndexInFile(const CueIndex& index) const;
    std::int64_t DiscSample(int file, std::int64_t sample) const;
    void AddSilence(int file, std::int64_t sample, std::int64_t frames);

    const CueSheet& m_sheet;
    RipDisc& m_disc;
    std::vector<std::int64_t> m_fileStart;
    std::vector<std::map<std::int64_t, std::int64_t>> m_silence;  // per file: sample -> samples of silence
};

bool Layout::IndexInFile(const CueIndex& index) const
{
    return index.frame * kRipSamplesPerSector < m_disc.sources[std::size_t(index.file)].samples;
}

void Layout::AddSilence(int file, std::int64_t sample, std::int64_t frames)
{
    if (frames > 0)
        m_silence[std::size_t(file)][sample] += frames * kRipSamplesPerSector;
}

std::int64_t Layout::DiscSample(int file, std::int64_t sample) const
{
    std::int64_t at = m_fileStart[std::size_t(file)] + sample;
    const auto& silence = m_silence[std::size_t(file)];
    for (auto it = silence.begin(); it != silence.end() && it->first <= sample; ++it)
        at += it->second;
    return at;
}

bool Layout::Build()
{
    const std::size_t files = m_sheet.files.size();
    const auto& tracks = m_sheet.tracks;
    if (files == 0 || tracks.empty() || m_disc.sources.size() != files)
        return false;
    m_silence.resize(files);
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        for (const CueIndex& index : tracks[t].indexes)
            if (!IndexInFile(index))
                return false;
        const CueIndex& first = tracks[t].indexes.front();
        // A track's PREGAP comes before its first index, after the POSTGAP
        // of the track before; the last POSTGAP closes the disc.
        const std::int64_t postgap = t > 0 ? tracks[t - 1].postgapFrames : 0;
        AddSilence(first.file, first.frame * kRipSamplesPerSector, postgap + tracks[t].pregapFrames);
    }
    AddSilence(int(files) - 1, m_disc.sources.back().samples, tracks.back().postgapFrames);

    std::int64_t at = 0;
    for (std::size_t f = 0; f < files; ++f) {
        m_fileStart.push_back(at);
        std::int64_t cursor = 0;
        auto addFile = [&](std::int64_t end) {
            if (end > cursor)
                m_disc.segments.push_back({at, end - cursor, int(f), cursor});
            at += end - cursor;
            cursor = end;
        };
        for (const auto& [sample, silence] : m_silence[f]) {
            addFile(sample);
            m_disc.segments.push_back({at, silence, -1, 0});
            at += silence;
        }
        addFile(m_disc.sources[f].samples);
    }
    if (at > kRipMaxSectors * kRipSamplesPerSector)
        return false;
    m_disc.samples = at;
    m_disc.leadOut = std::int32_t((at + kRipSamplesPerSector - 1) / kRipSamplesPerSector);

    // Every index after the one before it on the disc; every track starting
    // in a sector of its own, before the end.
    std::int64_t previous = -1;
    for (const CueTrack& track : tracks) {
        for (const CueIndex& index : track.indexes) {
            const std::int64_t sample = DiscSample(index.file, index.frame * kRipSamplesPerSector);
            if (sample <= previous)
                return false;
            previous = sample;
        }
        const std::int64_t start = DiscSample(track.Start().file, track.Start().frame * kRipSamplesPerSector);
        const auto sector = std::int32_t((start + kRipSamplesPerSector - 1) / kRipSamplesPerSector);
        if ((!m_disc.starts.empty() && sector <= m_disc.starts.back()) || sector >= m_disc.leadOut)
            return false;
        m_disc.starts.push_back(sector);
        m_disc.audio.push_back(track.audio);
    }
    m_disc.firstTrack = tracks.front().number;
    return true;
}

}  // namespace

bool LayOutCueSheet(const CueSheet& sheet, RipDisc& disc)
{
    return Layout(sheet, disc).Build();
}

}  // namespace mci
