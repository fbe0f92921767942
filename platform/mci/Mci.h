#pragma once
// The MCI vocabulary the player speaks: modes, milliseconds, 16-bit device
// ids and the "cdaudio" device family. Implemented over GStreamer and libcdio
// in this folder and by the fakes of tests/support.

#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace mci {

inline constexpr long kModeNotOpen = 0;
inline constexpr long kModeNotReady = 524;  // CD drive without a disc
inline constexpr long kModeStopped = 525;
inline constexpr long kModePlaying = 526;
inline constexpr long kModePaused = 529;
inline constexpr long kModeOpen = 530;  // CD tray open

// MCIWnd style sets the player uses.
inline constexpr unsigned kStyleChild = 0x5F0B;     // child of the player, no autosize
inline constexpr unsigned kStyleSeparate = 0x5F72;  // top-level, caption shows name, position, mode

using DeviceId = std::uint16_t;

// One opened media file: what MCIWnd answers for its device.
// Once the stream has ended (its end, a streaming or a read error) the
// window reports kModeStopped and a position of at least Length().
class MediaWindow {
public:
    virtual ~MediaWindow() = default;
    virtual long Length() = 0;    // ms, fixed at open; 24 h when the file does not tell
    virtual long Position() = 0;  // ms
    virtual long Mode() = 0;      // kModeStopped, kModePlaying or kModePaused
    // The stream ended by an error rather than by its end (it then also
    // reads as ended, as above).
    virtual bool Failed() = 0;
    virtual void Play() = 0;      // from the current position; from the start after the end
    virtual void Pause() = 0;     // only while playing
    virtual void Resume() = 0;    // only while paused
    // Back to the start in the same mode; a window past its end stands stopped.
    virtual void SeekToStart() = 0;
    virtual void Stop() = 0;      // stopped at the start
    // The picture's size at (0, 0); empty when the file has no picture.
    virtual QRect Destination() = 0;
    // Places the window on a rectangle of its parent, without repainting.
    virtual void MoveTo(const QRect& rect) = 0;
    // The window: a child of the parent given at creation, or top-level.
    virtual QWidget* Widget() = 0;
    // Called on the UI thread, soon after the stream ends or fails, so the
    // next entry need not wait for the next look at the position.
    virtual void SetEndHandler(std::function<void()> onEnd) = 0;
};

class MediaFactory {
public:
    virtual ~MediaFactory() = default;
    // Opens the file synchronously; nullptr when it cannot be played.
    virtual std::unique_ptr<MediaWindow> Create(QWidget* parent, unsigned style, const QString& path) = 0;
    // What every file opened from now on plays with: the text of the setting
    // "SoundFont" (empty: the system's font) and the id of the audio output
    // (empty: the system's default output).
    virtual void SetOutputSettings(const QString& soundFont, const QString& audioOutput) = 0;
    // The level of everything the engine plays, files and CD tracks alike,
    // from 0 (silent) to 1 (as recorded): at once for what plays now and for
    // all that opens later. Kept for the run, never stored; 1 at start.
    virtual void SetVolume(double level) = 0;
    virtual double Volume() const = 0;
};

enum class StatusItem : int { Length = 1, Position = 2, NumberOfTracks = 3, Mode = 4, Ready = 7, TrackType = 0x4001 };

// What the track type item answers for a track.
inline constexpr std::uint32_t kCdTrackAudio = 1088;
inline constexpr std::uint32_t kCdTrackOther = 1089;

// The "cdaudio" device family, addressed by device id as MCI addresses it.
// Times are milliseconds on the disc; track 0 means "no track".
class CdSystem {
public:
    virtual ~CdSystem() = default;
    virtual std::optional<DeviceId> Open(const QString& driveName) = 0;
    virtual std::optional<std::uint32_t> Status(DeviceId id, StatusItem item, int track = 0) = 0;
    virtual bool SetTimeFormatMs(DeviceId id) = 0;
    virtual bool Play(DeviceId id, std::uint32_t from, std::optional<std::uint32_t> to) = 0;
    virtual bool Stop(DeviceId id) = 0;
    virtual bool Pause(DeviceId id) = 0;
    virtual bool Resume(DeviceId id) = 0;
    virtual bool SetDoor(DeviceId id, bool open) = 0;
    virtual bool Close(DeviceId id) = 0;
    // The string form, as mciSendString: "open cdaudio", "status cdaudio mode"...
    // A trailing "notify" or "wait" is ignored. False for anything it does not know.
    virtual bool SendString(const QString& command, QString* result) = 0;
    // Why an open device's disc cannot be read, or stopped being read while
    // it played, naming the file: for the log. Empty when all is well or
    // the device cannot tell (a drive says only that it has no disc).
    virtual QString DiscProblem(DeviceId id) = 0;
};

}  // namespace mci
