#pragma once
// One opened "cdaudio" device (private to platform/mci): a drive's target,
// a device node or a disc image, with its table of contents and its play.
// Times are milliseconds on the disc. For the UI thread; the play's reader
// thread shares the CdIo_t under m_cdioMutex.

#include <QString>
#include <cdio/cdio.h>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace mci {

class CdStream;
struct RipDisc;

class CdDevice {
public:
    // nullptr when a device of this process holds the same target (MCI opens
    // without sharing). Succeeds on an empty drive or an open tray.
    static std::unique_ptr<CdDevice> Open(const QString& target);
    ~CdDevice();
    CdDevice(const CdDevice&) = delete;
    CdDevice& operator=(const CdDevice&) = delete;

    bool Ready();
    long Mode();
    std::optional<int> TrackCount();
    std::optional<std::uint32_t> TrackStart(int track);
    std::optional<std::uint32_t> TrackLength(int track);
    std::optional<std::uint32_t> DiscLength();
    std::optional<std::uint32_t> Position();
    std::optional<bool> TrackIsAudio(int track);
    // Why a disc image cannot be read, or stopped being read while it
    // played: a sentence that names the file. Empty for a drive, and while
    // the image reads.
    QString Problem() const;

    // Plays from `from` to `to` (the end of the disc without one) as one
    // stream; stops short of a data track and of the lead-out. When the
    // stream has ended, the position reads `to` (or the lead-out's).
    bool Play(std::uint32_t from, std::optional<std::uint32_t> to);
    bool Stop();
    bool Pause();
    bool Resume();
    bool SetDoor(bool open);

private:
    struct Toc {
        int first = 0;                    // number of the first track
        std::vector<std::int32_t> start;  // per track, from the first
        std::vector<bool> audio;
        std::int32_t leadOut = 0;
        std::int32_t readableEnd = 0;     // past the last sector there is data for
        std::int32_t StartOf(std::size_t index) const;  // clamped to readableEnd
    };

    CdDevice(QString target, QString key, bool image);
    bool LoadDisc();
    bool LoadRip();
    void DropDisc();
    bool TrayOpen();
    std::optional<std::size_t> IndexOf(int track) const;
    std::uint32_t StreamPosition() const;
    void CheckImageData();
    // What is wrong with the image (empty: nothing), after its name.
    void SetImageProblem(const QString& problem);
    // The play's data could not be read from file (empty: the file libcdio reads).
    void Lose(const QString& file);
    QString DataFile() const;
    void EndStream();
    void SettleStream();

    const QString m_target;
    const QString m_key;  // canonical path: the exclusive-open table's key
    const bool m_image;
    std::mutex m_cdioMutex;
    CdIo_t* m_cdio = nullptr;
    std::optional<Toc> m_toc;
    std::shared_ptr<const RipDisc> m_rip;  // a cue sheet's files instead of m_cdio
    std::unique_ptr<CdStream> m_stream;
    bool m_paused = false;
    std::uint32_t m_position = 0;  // while no stream plays
    // The last play ended at a read error: the drive answers as one without
    // a disc until a play succeeds again.
    bool m_lost = false;
    std::uint32_t m_playStart = 0;
    std::uint32_t m_playEnd = 0;
    QString m_imageProblem;
    QString m_lostProblem;  // while m_lost
};

}  // namespace mci
