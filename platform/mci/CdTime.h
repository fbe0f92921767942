#pragma once
// Disc positions: sectors (LSN 0 = start of the program area, 75 a second)
// and the milliseconds the "cdaudio" device speaks.

#include <cstdint>

namespace mci {

inline constexpr int kSectorsPerSecond = 75;

// The one conversion to milliseconds: track starts, lengths and the end of
// every play go through it, so a play ends exactly where the next track starts.
constexpr std::uint32_t LsnToMs(std::int32_t lsn)
{
    return lsn <= 0 ? 0 : static_cast<std::uint32_t>(static_cast<std::int64_t>(lsn) * 1000 / kSectorsPerSecond);
}

// The first sector at or after ms: MsToLsn(LsnToMs(l)) == l.
constexpr std::int32_t MsToLsn(std::uint32_t ms)
{
    return static_cast<std::int32_t>((static_cast<std::int64_t>(ms) * kSectorsPerSecond + 999) / 1000);
}

}  // namespace mci
