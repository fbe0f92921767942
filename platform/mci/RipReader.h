#pragma once
// The sectors of a rip (private to platform/mci): BINARY and plain WAV
// files read at their byte offsets, other files decoded, silence where the
// sheet puts it; file after file without a sample added or lost.

#include <cstdint>
#include <map>
#include <memory>

#include "platform/mci/SectorSource.h"

namespace mci {

struct RipDisc;
class RipDecoder;

class RipReader : public SectorSource {
public:
    RipReader(std::shared_ptr<const RipDisc> disc, std::int32_t from);
    ~RipReader() override;
    RipReader(const RipReader&) = delete;
    RipReader& operator=(const RipReader&) = delete;

    int Read(std::uint8_t* out, int count) override;
    QByteArray FailedFile() const override { return m_failedFile; }

private:
    bool Fill(std::uint8_t* out, std::int64_t samples);
    bool ReadPcm(int source, std::int64_t sample, std::uint8_t* out, std::int64_t samples);
    bool ReadDecoded(int source, std::int64_t sample, std::uint8_t* out, std::int64_t samples);

    std::shared_ptr<const RipDisc> m_disc;
    std::int64_t m_next;            // disc sample
    std::size_t m_segment = 0;      // the segment m_next was last found in
    std::map<int, int> m_fds;       // per source
    std::unique_ptr<RipDecoder> m_decoder;
    int m_decoderSource = -1;
    QByteArray m_failedFile;
};

}  // namespace mci
