#include "platform/mci/TocLayout.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "platform/mci/TocFile.h"

namespace mci {
namespace {

constexpr std::int64_t kSampleBytes = 4;

std::int64_t SectorsOf(std::int64_t units, std::int64_t unitsPerSector)
{
    return (units + unitsPerSector - 1) / unitsPerSector;
}

class Layout {
public:
    Layout(const TocFile& toc, const TocFileProbe& probe) : m_toc(toc), m_probe(probe) {}
    std::optional<RipDisc> Build();

private:
    bool Track(const TocTrack& track);
    std::optional<std::int64_t> AudioPiece(const TocPiece& piece);
    std::optional<std::int64_t> DataPiece(const TocPiece& piece);
    std::optional<RipSource> AudioSource(const TocPiece& piece);
    int SourceIndex(const RipSource& source);
    void Place(std::int64_t samples, int source, std::int64_t sourceSample);
    void EndData();

    const TocFile& m_toc;
    const TocFileProbe& m_probe;
    RipDisc m_disc;
    std::map<std::tuple<QByteArray, RipSource::Kind, std::int64_t>, int> m_sources;
    std::int64_t m_at = 0;  // the disc sample the next piece begins at
    std::optional<std::int64_t> m_dataEnd;
};

int Layout::SourceIndex(const RipSource& source)
{
    const auto [it, added] =
        m_sources.emplace(std::make_tuple(source.path, source.kind, source.dataOffset), int(m_disc.sources.size()));
    if (added)
        m_disc.sources.push_back(source);
    return it->second;
}

void Layout::Place(std::int64_t samples, int source, std::int64_t sourceSample)
{
    auto& segments = m_disc.segments;
    if (samples > 0 && source < 0 && !segments.empty() && segments.back().source < 0)
        segments.back().samples += samples;
    else if (samples > 0)
        segments.push_back({m_at, samples, source, sourceSample});
    m_at += samples;
}

// The disc's data ends here, at the first sample a file lacks.
void Layout::EndData()
{
    if (!m_dataEnd)
        m_dataEnd = m_at;
}

// The samples of a file piece after its byte offset, in the byte order SWAP
// asks for.
std::optional<RipSource> Layout::AudioSource(const TocPiece& piece)
{
    std::optional<RipSource> source;
    if (piece.kind == TocPiece::Kind::AudioFile) {
        if (m_probe.audio)
            source = m_probe.audio(piece.name);
    } else if (const auto data = m_probe.data ? m_probe.data(piece.name) : std::nullopt) {
        source = RipSource{data->path, RipSource::Kind::PcmBigEndian, 0, data->bytes / kSampleBytes};
    }
    if (!source)
        return std::nullopt;
    if (source->kind == RipSource::Kind::Decoded)
        return piece.swap || piece.byteOffset != 0 ? std::nullopt : source;
    if (piece.swap)
        source->kind = source->kind == RipSource::Kind::Pcm ? RipSource::Kind::PcmBigEndian : RipSource::Kind::Pcm;
    const std::int64_t bytes = source->samples * kSampleBytes;
    if (piece.byteOffset > bytes)
        return std::nullopt;
    source->dataOffset += piece.byteOffset;
    source->samples = (bytes - piece.byteOffset) / kSampleBytes;
    return source;
}

// Places a piece of an audio track; its length in samples.
std::optional<std::int64_t> Layout::AudioPiece(const TocPiece& piece)
{
    if (piece.kind == TocPiece::Kind::Silence) {
        Place(piece.length, -1, 0);
        return piece.length;
    }
    const auto source = AudioSource(piece);
    if (!source)
        return std::nullopt;
    // A start at or past the end of the data, without a length: nothing to take.
    const std::int64_t available = std::max<std::int64_t>(0, source->samples - piece.start);
    if (piece.length == 0 && available == 0)
        return std::nullopt;
    const std::int64_t length = piece.length != 0 ? piece.length : available;
    const std::int64_t held = std::min(length, available);
    Place(held, SourceIndex(*source), piece.start);
    if (held < length) {
        EndData();
        Place(length - held, -1, 0);
    }
    return length;
}

// The bytes of a piece of a data track.
std::optional<std::int64_t> Layout::DataPiece(const TocPiece& piece)
{
    if (piece.kind == TocPiece::Kind::Silence)
        return piece.length;
    if (piece.kind != TocPiece::Kind::DataFile)
        return std::nullopt;
    const auto file = m_probe.data ? m_probe.data(piece.name) : std::nullopt;
    if (!file || piece.byteOffset >= file->bytes)
        return std::nullopt;
    return piece.length != 0 ? piece.length : file->bytes - piece.byteOffset;
}

bool Layout::Track(const TocTrack& track)
{
    const std::int64_t begin = m_at;
    const std::int64_t unitsPerSector = track.UnitsPerSector();
    const std::int64_t maxUnits = (kRipMaxSectors - begin / kRipSamplesPerSector) * unitsPerSector;
    std::vector<std::int64_t> ends;  // units of the track after each piece
    std::int64_t units = 0;
    for (const TocPiece& piece : track.pieces) {
        const auto length = track.audio ? AudioPiece(piece) : DataPiece(piece);
        if (!length || *length > maxUnits - units)
            return false;
        units += *length;
        ends.push_back(units);
    }
    const std::int64_t sectors = SectorsOf(units, unitsPerSector);
    std::int64_t start = 0;
    if (track.startSectors)
        start = *track.startSectors;
    else if (track.startAfterPieces && *track.startAfterPieces > 0)
        start = SectorsOf(ends[*track.startAfterPieces - 1], unitsPerSector);
    if (sectors == 0 || start >= sectors)
        return false;
    // The rest of the last sector is silence, and so is a data track.
    m_at = begin + (track.audio ? units : 0);
    Place(begin + sectors * kRipSamplesPerSector - m_at, -1, 0);
    m_disc.starts.push_back(std::int32_t(begin / kRipSamplesPerSector + start));
    m_disc.audio.push_back(track.audio);
    return true;
}

std::optional<RipDisc> Layout::Build()
{
    for (const TocTrack& track : m_toc.tracks)
        if (!Track(track))
            return std::nullopt;
    if (m_disc.starts.empty())
        return std::nullopt;
    m_disc.leadOut = std::int32_t(m_at / kRipSamplesPerSector);
    m_disc.samples = m_dataEnd.value_or(m_at);
    // Nothing past the end of the data.
    auto& segments = m_disc.segments;
    while (!segments.empty() && segments.back().discSample >= m_disc.samples)
        segments.pop_back();
    if (!segments.empty())
        segments.back().samples = std::min(segments.back().samples, m_disc.samples - segments.back().discSample);
    return std::move(m_disc);
}

}  // namespace

std::optional<RipDisc> LayOutToc(const TocFile& toc, const TocFileProbe& probe)
{
    return Layout(toc, probe).Build();
}

}  // namespace mci
