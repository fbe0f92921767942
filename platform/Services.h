#pragma once
// The platform services the program's logic reaches: one object, filled by
// main with the real implementations and by a test fixture with fakes.

#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <optional>

class QWidget;

namespace mci {
class MediaFactory;
class CdSystem;
}
namespace drives {
class DriveMap;
}

namespace platform {

// _access modes of the C run-time.
inline constexpr int kAccessExists = 0;
inline constexpr int kAccessWrite = 2;
inline constexpr int kAccessRead = 4;
inline constexpr int kAccessReadWrite = 6;

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // As _access on the path after drive-letter resolution.
    virtual bool Access(const QString& path, int mode) const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since the epoch, as time(nullptr).
    virtual std::time_t Now() const = 0;
};

// Message box types and results, with the values of the Windows API.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using MessageBoxHandler = std::function<int(QWidget* parent, const QString& text, unsigned type)>;

struct FileDialogRequest {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString filter;       // "desc|pattern|...||" as the string table holds it
    QString defaultExt;   // without the dot, empty for none
    QString initialName;  // file name or path shown at start
    bool multiSelect = false;
};
// The chosen paths in the dialog's order; empty when the user cancelled.
using FileDialogHandler = std::function<QStringList(QWidget* parent, const FileDialogRequest& request)>;

// The one place that holds what a missing drive of an entry held, looked
// for near the collection (its path) and in the usual places; nothing when
// none or several do.
using DriveFinder = std::function<std::optional<QString>(const QString& entry, const QString& collectionPath)>;

struct Services {
    mci::MediaFactory* media = nullptr;
    mci::CdSystem* cd = nullptr;
    drives::DriveMap* drives = nullptr;
    FileAccess* files = nullptr;
    Clock* clock = nullptr;
    MessageBoxHandler messageBox;
    FileDialogHandler fileDialog;
    DriveFinder findDrive;
};

Services& GetServices();

// Replaces the services for the lifetime of the guard (tests, main).
class ScopedServices {
public:
    explicit ScopedServices(Services services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services m_saved;
};

}  // namespace platform
