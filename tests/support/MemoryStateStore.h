#pragma once
// A store for the player's options and history that keeps nothing and counts
// what it was asked to keep; the application's settings file is the real one.
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

    int optionSaves = 0;
    int historySaves = 0;
};

}  // namespace testsupport
