#include "platform/mci/RipReader.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "platform/drives/RealFileAccess.h"
#include "platform/mci/RipDecoder.h"
#include "platform/mci/RipDisc.h"

namespace mci {
namespace {

constexpr int kSamplesPerSector = 588;
constexpr int kSampleBytes = 4;

}  // namespace

RipReader::RipReader(std::shared_ptr<const RipDisc> disc, std::int32_t from)
    : m_disc(std::move(disc)), m_next(std::int64_t(from) * kSamplesPerSector)
{
}

RipReader::~RipReader()
{
    for (const auto& [source, fd] : m_fds)
        ::close(fd);
}

int RipReader::Read(std::uint8_t* out, int count)
{
    for (int i = 0; i < count; ++i)
        if (!Fill(out + std::size_t(i) * kSamplesPerSector * kSampleBytes, kSamplesPerSector))
            return i;
    return count;
}

bool RipReader::Fill(std::uint8_t* out, std::int64_t samples)
{
    const auto& segments = m_disc->segments;
    while (samples > 0) {
        if (m_segment >= segments.size() || segments[m_segment].discSample > m_next
            || segments[m_segment].discSample + segments[m_segment].samples <= m_next) {
            const auto after = std::upper_bound(segments.begin(), segments.end(), m_next,
                                                [](std::int64_t at, const RipSegment& s) { return at < s.discSample; });
            m_segment = std::size_t(after - segments.begin()) - (after == segments.begin() ? 0 : 1);
        }
        // Past the last sample: the rest of the last sector.
        if (m_segment >= segments.size() || m_next >= m_disc->samples) {
            std::memset(out, 0, std::size_t(samples) * kSampleBytes);
            m_next += samples;
            return true;
        }
        const RipSegment& segment = segments[m_segment];
        const std::int64_t offset = m_next - segment.discSample;
        const std::int64_t take = std::min(samples, segment.samples - offset);
        bool ok = true;
        if (segment.source < 0)
            std::memset(out, 0, std::size_t(take) * kSampleBytes);
        else if (m_disc->sources[std::size_t(segment.source)].kind == RipSource::Kind::Decoded)
            ok = ReadDecoded(segment.source, segment.sourceSample + offset, out, take);
        else
            ok = ReadPcm(segment.source, segment.sourceSample + offset, out, take);
        if (!ok) {
            m_failedFile = m_disc->sources[std::size_t(segment.source)].path;
            return false;
        }
        out += take * kSampleBytes;
        samples -= take;
        m_next += take;
    }
    return true;
}

bool RipReader::ReadPcm(int source, std::int64_t sample, std::uint8_t* out, std::int64_t samples)
{
    const RipSource& file = m_disc->sources[std::size_t(source)];
    auto fd = m_fds.find(source);
    if (fd == m_fds.end()) {
        const int opened = drives::OpenRegularFile(file.path);
        if (opened < 0)
            return false;
        fd = m_fds.emplace(source, opened).first;
    }
    const std::size_t bytes = std::size_t(samples) * kSampleBytes;
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t got = ::pread(fd->second, out + done, bytes - done,
                                    file.dataOffset + sample * kSampleBytes + std::int64_t(done));
        // A file cut short since the disc was read ends the play here.
        if (got <= 0)
            return false;
        done += std::size_t(got);
    }
    const bool swap = (file.kind == RipSource::Kind::PcmBigEndian) == (Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
    if (swap)
        for (std::size_t i = 0; i + 1 < bytes; i += 2)
            std::swap(out[i], out[i + 1]);
    return true;
}

bool RipReader::ReadDecoded(int source, std::int64_t sample, std::uint8_t* out, std::int64_t samples)
{
    if (!m_decoder || m_decoderSource != source || m_decoder->Next() != sample) {
        m_decoder.reset();
        m_decoder = RipDecoder::Open(m_disc->sources[std::size_t(source)].path, sample);
        m_decoderSource = m_decoder ? source : -1;
        if (!m_decoder)
            return false;
    }
    return m_decoder->Read(out, samples);
}

}  // namespace mci
