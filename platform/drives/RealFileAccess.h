#pragma once
// _access on the paths of entries, through the drive map.

#include "platform/Services.h"

namespace drives {

class DriveMap;

class RealFileAccess : public platform::FileAccess {
public:
    explicit RealFileAccess(const DriveMap& map) : m_map(map) {}
    bool Access(const QString& path, int mode) const override;

private:
    const DriveMap& m_map;
};

}  // namespace drives
