#pragma once
// One play of a disc range (private to platform/mci): a read-ahead thread
// takes sectors from a SectorSource and pushes them, a few at a time,
// through appsrc into the audio output. Every member is for the UI thread.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace mci {

class SectorSource;

class CdStream {
public:
    // Plays sectors [from, end) of the reader's disc; end <= from plays nothing.
    CdStream(std::unique_ptr<SectorSource> reader, std::int32_t from, std::int32_t end);
    // Pipeline to NULL (which releases a blocked push), then the thread is
    // joined, then the reader is freed. When NULL is not reached within a
    // few seconds, all three are left to their threads instead.
    ~CdStream();
    CdStream(const CdStream&) = delete;
    CdStream& operator=(const CdStream&) = delete;

    // Starts the thread, waits for preroll and goes to PLAYING. False (and
    // the reason in *error) when the output cannot play.
    bool Start(QString* error);
    void SetPaused(bool paused);
    // Milliseconds played since the range's start; nullopt while unknown.
    std::optional<std::int64_t> PositionMs() const;
    // The stream ran out (end of range or read error) or failed.
    bool Ended() const;
    // A sector before the end could not be read: the disc went away.
    bool ReadFailed() const;
    // Then the file the reader could not read, when it knows it.
    QByteArray FailedFile() const;

    struct Shared;

private:
    static void Feed(Shared& shared);

    std::unique_ptr<Shared> m_shared;
};

}  // namespace mci
