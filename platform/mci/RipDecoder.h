#pragma once
// One compressed file of a rip, decoded by GStreamer to 44.1 kHz stereo
// 16-bit samples from any sample on (private to platform/mci). Used by one
// thread at a time.

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <optional>

namespace mci {

class RipDecoder {
public:
    // Decodes nativePath from `sample` on; nullptr when GStreamer cannot.
    static std::unique_ptr<RipDecoder> Open(const QByteArray& nativePath, std::int64_t sample);
    // The samples the file decodes to, from its duration after preroll.
    static std::optional<std::int64_t> Samples(const QByteArray& nativePath);
    ~RipDecoder();
    RipDecoder(const RipDecoder&) = delete;
    RipDecoder& operator=(const RipDecoder&) = delete;

    // The sample the next Read starts at.
    std::int64_t Next() const { return m_next; }
    // Fills out with `samples` samples (4 bytes each); past the end of the
    // file with silence. False when decoding fails or stalls.
    bool Read(std::uint8_t* out, std::int64_t samples);

private:
    struct Pipeline;

    explicit RipDecoder(std::unique_ptr<Pipeline> pipeline, std::int64_t sample);
    bool Pull();

    std::unique_ptr<Pipeline> m_pipeline;
    std::int64_t m_next = 0;
    QByteArray m_pending;  // decoded, not yet read; m_pending[0] is sample m_next
    bool m_aligned = false;  // the first buffer has been placed
    bool m_ended = false;
};

}  // namespace mci
