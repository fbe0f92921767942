#pragma once
// The real "cdaudio" device family: drives of the drive map (device nodes
// or disc images) through libcdio, played through GStreamer.

#include <map>
#include <memory>

#include "platform/mci/Mci.h"

namespace drives {
class DriveMap;
}

namespace mci {

class CdDevice;

class RealCdSystem : public CdSystem {
public:
    // drives: where drive names lead; it must outlive this object.
    explicit RealCdSystem(drives::DriveMap& drives);
    ~RealCdSystem() override;
    RealCdSystem(const RealCdSystem&) = delete;
    RealCdSystem& operator=(const RealCdSystem&) = delete;

    // driveName "X:" of a CD drive of the drive map.
    std::optional<DeviceId> Open(const QString& driveName) override;
    std::optional<std::uint32_t> Status(DeviceId id, StatusItem item, int track = 0) override;
    bool SetTimeFormatMs(DeviceId id) override;
    bool Play(DeviceId id, std::uint32_t from, std::optional<std::uint32_t> to) override;
    bool Stop(DeviceId id) override;
    bool Pause(DeviceId id) override;
    bool Resume(DeviceId id) override;
    bool SetDoor(DeviceId id, bool open) override;
    bool Close(DeviceId id) override;
    // "cdaudio" is the first CD drive of the drive map.
    bool SendString(const QString& command, QString* result) override;
    QString DiscProblem(DeviceId id) override;

private:
    CdDevice* Find(DeviceId id) const;

    drives::DriveMap& m_drives;
    std::map<DeviceId, std::unique_ptr<CdDevice>> m_devices;
    DeviceId m_lastId = 0;
    std::optional<DeviceId> m_stringDevice;  // opened by "open cdaudio"
};

}  // namespace mci
