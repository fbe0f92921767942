#pragma once
// The application object: options, history, current collection and start-up
// flags, kept for the program's whole life and stored in the settings file.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "platform/ui/WinTypes.h"

class CPlayerDlg;

// Start-up flags of m_flags.
inline constexpr std::uint32_t kFlagPlay = 0x01;
inline constexpr std::uint32_t kFlagShuffle = 0x04;
inline constexpr std::uint32_t kFlagRepeat = 0x08;
inline constexpr std::uint32_t kFlagMinimized = 0x20;

inline constexpr int kHistoryMax = 5;

class CPlayerApp {
public:
    CPlayerApp();
    virtual ~CPlayerApp();
    CPlayerApp(const CPlayerApp&) = delete;
    CPlayerApp& operator=(const CPlayerApp&) = delete;

    // Loads the settings, parses the command line and runs the player; always FALSE.
    BOOL InitInstance();

    BOOL LoadSettings();
    BOOL SaveOptions();
    BOOL SaveHistory();
    void AddToHistory(QString path);
    BOOL ParseCommandLine(const QString& commandLine, QString& path, std::uint32_t& flags);
    // ParseCommandLine on the program's arguments, except that a first
    // argument naming an existing file is taken as the path as it stands.
    BOOL ParseArguments(const QStringList& arguments, QString& path, std::uint32_t& flags);

    // The arguments after the program name; m_lpCmdLine gets them joined.
    void SetArguments(const QStringList& arguments);

    // The text after the program name: arguments joined by one space, an
    // argument with a space in it enclosed in double quotes.
    static QString JoinCommandLine(const QStringList& arguments);

    QStringList m_historyList;
    QStringList m_entries;
    QString m_collectionPath;
    std::uint32_t m_flags = 0;
    int m_timeDispInitMode = 0;
    int m_aviDispInitMode = 0;
    int m_anime = 0;
    int m_filter = 0;
    int m_skip = 0;

    QString m_lpCmdLine;
    QStringList m_arguments;  // as the system passed them; empty when only m_lpCmdLine is set
    CPlayerDlg* m_pMainWnd = nullptr;

private:
    BOOL CheckCommandLinePath(QString& path);

    CPlayerApp* m_previous = nullptr;
};

// The current application object (the last one constructed and still alive).
CPlayerApp* AfxGetApp();
