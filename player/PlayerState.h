#pragma once
// What the player works on and keeps between runs: the collection, its path,
// the start-up flags, the options and the history. The application owns one,
// fills it from the settings file and the command line, and hands it to the
// player, which changes it as the user does.

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "platform/ui/WinTypes.h"

// Start-up flags of m_flags.
inline constexpr std::uint32_t kFlagPlay = 0x01;
inline constexpr std::uint32_t kFlagShuffle = 0x04;
inline constexpr std::uint32_t kFlagRepeat = 0x08;
inline constexpr std::uint32_t kFlagMinimized = 0x20;

inline constexpr int kHistoryMax = 5;

struct PlayerState {
    QStringList m_historyList;
    QStringList m_entries;
    QString m_collectionPath;
    std::uint32_t m_flags = 0;
    int m_timeDispInitMode = 0;
    int m_aviDispInitMode = 0;
    int m_anime = 0;
    int m_filter = 0;
    int m_skip = 0;
    // The command the volume button runs, as the user wrote it; empty for
    // the first mixer found.
    QString m_volumeControl;
    // The settings of this port that the settings page edits: the [Drives]
    // group (letter "C" -> folder, disc image or device), the SoundFont file
    // (empty: the system's) and the audio output's id (empty: the default).
    QMap<QString, QString> m_drives;
    QString m_soundFont;
    QString m_audioOutput;

    // Puts path at the head of the history: an entry for the same file moves
    // there, a full history drops its oldest. An empty path is ignored.
    void AddToHistory(QString path);
};

// Where the options and the history are kept between runs.
class StateStore {
public:
    // Each reports a failure to the user and returns FALSE.
    virtual BOOL SaveOptions() = 0;
    virtual BOOL SaveHistory() = 0;
    // One letter of [Drives] ("C"), as the user placed a missing drive.
    virtual BOOL SaveDrive(const QString& letter, const QString& target) = 0;
    // m_drives as the whole [Drives] group, m_soundFont and m_audioOutput.
    virtual BOOL SavePortSettings() = 0;

protected:
    ~StateStore() = default;
};
