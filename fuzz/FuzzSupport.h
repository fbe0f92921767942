#pragma once
// Shared by the fuzz targets: a failed property aborts, so libFuzzer keeps
// the input as a crash.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

namespace fuzz {

// A folder of our own for files the targets write, on tmpfs when there is one.
inline QString ScratchFolder(const char* name)
{
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString path = base + QStringLiteral("/lirabox-fuzz-%1-%2").arg(QLatin1String(name)).arg(::getpid());
    QDir().mkpath(path);
    return path;
}

}  // namespace fuzz
