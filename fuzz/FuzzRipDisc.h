#pragma once
// Shared by the sheet targets: what every disc laid out from a sheet holds,
// whatever the sheet.

#include "fuzz/FuzzSupport.h"
#include "platform/mci/RipDisc.h"

namespace fuzz {

inline void CheckRipDisc(const mci::RipDisc& disc)
{
    FUZZ_CHECK(!disc.starts.empty() && disc.starts.size() <= 99);
    FUZZ_CHECK(disc.audio.size() == disc.starts.size());
    FUZZ_CHECK(disc.firstTrack >= 1 && disc.firstTrack + int(disc.starts.size()) - 1 <= 99);
    FUZZ_CHECK(disc.starts.front() >= 0);
    for (std::size_t t = 1; t < disc.starts.size(); ++t)
        FUZZ_CHECK(disc.starts[t] > disc.starts[t - 1]);
    FUZZ_CHECK(disc.starts.back() < disc.leadOut);
    FUZZ_CHECK(disc.samples >= 0 && disc.samples <= std::int64_t(disc.leadOut) * mci::kRipSamplesPerSector);
    // The segments cover the data without a hole or an overlap, each within its file.
    std::int64_t at = 0;
    for (const mci::RipSegment& segment : disc.segments) {
        FUZZ_CHECK(segment.discSample == at && segment.samples > 0);
        if (segment.source >= 0) {
            FUZZ_CHECK(std::size_t(segment.source) < disc.sources.size());
            const mci::RipSource& source = disc.sources[std::size_t(segment.source)];
            FUZZ_CHECK(segment.sourceSample >= 0 && segment.sourceSample + segment.samples <= source.samples);
        }
        at += segment.samples;
    }
    FUZZ_CHECK(at == disc.samples);
}

}  // namespace fuzz
