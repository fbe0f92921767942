#pragma once
// A store for the player's options and history that keeps nothing and counts
// what it was asked to keep; the application's settings file is the real one.
#include <QMap>

#include "player/PlayerState.h"

namespace testsupport {

class MemoryStateStore : public StateStore {
public:
    BOOL SaveOptions() override
    {
        ++optionSaves;
        return TRUE;
    }
    BOOL SaveHistory() override
    {
        ++historySaves;
        return TRUE;
    }

    BOOL SaveDrive(const QString& letter, const QString& target) override
    {
        drives.insert(letter, target);
        return TRUE;
    }
    BOOL SavePortSettings() override
    {
        ++portSaves;
        return TRUE;
    }

    QMap<QString, QString> drives;  // what SaveDrive was given
    int portSaves = 0;
    int optionSaves = 0;
    int historySaves = 0;
};

}  // namespace testsupport
