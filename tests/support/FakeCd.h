#pragma once
// "cdaudio" devices without a drive: scripted discs per drive name, positions
// moved by the test's clock, and a record of every request. Devices obey the
// real device's contract: a play stops at its end (or at a data track) with
// the position exactly at its `to` (or at the end of the disc).

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/mci/Mci.h"

namespace testsupport {

class FakeClock;

struct FakeDisc {
    std::vector<long> trackLengthsMs;  // track firstTrack + k is element k
    int firstTrack = 1;                // a copy of part of a disc may begin later
    long firstTrackStartMs = 0;        // where the first track begins on the disc
    std::set<int> dataTracks;
    bool present = true;    // false: an empty drive, never ready
    bool doorOpen = false;  // also set by door commands
    bool busy = false;      // another program holds the drive: every open fails
    // Requests that fail on this drive.
    bool failOpen = false;
    bool failReady = false;
    bool failTimeFormat = false;
    bool failCount = false;
    bool failPosition = false;
    bool failLength = false;
    bool failPlay = false;
    bool failClose = false;  // the device is closed all the same
    QString problem;         // what the device says is wrong with its disc

    long TrackStart(int track) const;  // ms on the disc; track by its number
    int LastTrack() const;
    long DiscLength() const;  // the lead-out's position
};

class FakeCdSystem final : public mci::CdSystem {
public:
    explicit FakeCdSystem(FakeClock& clock);
    ~FakeCdSystem() override;

    // Drives in the order given; the first is the "cdaudio" of the string commands.
    FakeDisc& AddDrive(const QString& driveName, FakeDisc disc = {});
    FakeDisc& Disc(const QString& driveName);
    const FakeDisc& Disc(const QString& driveName) const;

    // Every request, in order: "Open E: -> 1" (or "-> fail"), "Status 1 tracks",
    // "Status 1 position 3", "TimeFormatMs 1", "Play 1 1000 5000" (or "… end"),
    // "Stop 1", "Pause 1", "Resume 1", "Door 1 open", "Close 1", "String open cdaudio".
    const QStringList& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    std::vector<mci::DeviceId> OpenDevices() const;
    QString DriveOf(mci::DeviceId id) const;
    // Pushes a device's position, as a test hook.
    void SetPosition(mci::DeviceId id, long ms);

    std::optional<mci::DeviceId> Open(const QString& driveName) override;
    std::optional<std::uint32_t> Status(mci::DeviceId id, mci::StatusItem item, int track = 0) override;
    bool SetTimeFormatMs(mci::DeviceId id) override;
    bool Play(mci::DeviceId id, std::uint32_t from, std::optional<std::uint32_t> to) override;
    bool Stop(mci::DeviceId id) override;
    bool Pause(mci::DeviceId id) override;
    bool Resume(mci::DeviceId id) override;
    bool SetDoor(mci::DeviceId id, bool open) override;
    bool Close(mci::DeviceId id) override;
    bool SendString(const QString& command, QString* result) override;
    QString DiscProblem(mci::DeviceId id) override;

private:
    struct Device {
        QString drive;
        long mode = mci::kModeStopped;  // stopped, playing or paused
        long position = 0;
        long end = 0;     // the position once the play is over
        long stopAt = 0;  // where the sound stops: end, or a data track's start
    };

    Device* Find(mci::DeviceId id);
    bool Ready(const Device& device) const;
    long Mode(const Device& device) const;
    void Tick(long ms);
    void Record(const QString& call) { m_calls.append(call); }

    FakeClock& m_clock;
    int m_subscription;
    std::vector<std::pair<QString, FakeDisc>> m_drives;
    std::map<mci::DeviceId, Device> m_devices;
    mci::DeviceId m_lastId = 0;
    std::optional<mci::DeviceId> m_stringDevice;
    QStringList m_calls;
};

}  // namespace testsupport
