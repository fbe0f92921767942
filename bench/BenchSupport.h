#pragma once
// What the media benchmarks share: the process's CPU time, a status answer
// read as a number, and a headless start with a silent audio output.

#include <QByteArray>
#include <QtGlobal>
#include <cstdint>
#include <sys/resource.h>

#include "platform/mci/Mci.h"

namespace bench {

// User and system CPU seconds of this process so far.
inline double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A status item, 0 when the device does not answer.
inline std::uint32_t Status(mci::CdSystem& cd, mci::DeviceId id, mci::StatusItem item, int track = 0)
{
    return cd.Status(id, item, track).value_or(0);
}

// Before the QApplication: no display, and audio into "fakesink sync=true"
// unless LIRABOX_AUDIO_SINK says otherwise.
inline void UseHeadlessSilentOutput()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LIRABOX_AUDIO_SINK"))
        qputenv("LIRABOX_AUDIO_SINK", "fakesink sync=true");
}

}  // namespace bench
