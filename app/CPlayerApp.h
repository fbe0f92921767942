#pragma once
// The application object: options, history, current collection and start-up
// flags, kept for the program's whole life and stored in the settings file.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "platform/ui/WinTypes.h"
#include "player/PlayerState.h"

class CPlayerDlg;
class SettingsStore;

class CPlayerApp : public StateStore {
public:
    CPlayerApp();
    virtual ~CPlayerApp() = default;
    CPlayerApp(const CPlayerApp&) = delete;
    CPlayerApp& operator=(const CPlayerApp&) = delete;

    // Loads the settings, parses the command line and runs the player; always FALSE.
    BOOL InitInstance();

    BOOL LoadSettings();
    BOOL SaveOptions() override;
    BOOL SaveHistory() override;
    BOOL SaveDrive(const QString& letter, const QString& target) override;
    BOOL SavePortSettings() override;
    BOOL ParseCommandLine(const QString& commandLine, QString& path, std::uint32_t& flags);
    // ParseCommandLine on the program's arguments, except that a first
    // argument naming an existing file is taken as the path as it stands.
    BOOL ParseArguments(const QStringList& arguments, QString& path, std::uint32_t& flags);

    // The arguments after the program name; m_lpCmdLine gets them joined.
    void SetArguments(const QStringList& arguments);

    // The text after the program name: arguments joined by one space, an
    // argument with a space in it enclosed in double quotes.
    static QString JoinCommandLine(const QStringList& arguments);

    PlayerState m_state;

    // Called with the player window once it exists, before the command line
    // is read and any message about it is shown.
    std::function<void(CPlayerDlg&)> m_onPlayerCreated;

    QString m_lpCmdLine;
    QStringList m_arguments;  // as the system passed them; empty when only m_lpCmdLine is set
    CPlayerDlg* m_pMainWnd = nullptr;

private:
    BOOL CheckCommandLinePath(QString& path);
    // Writes the store's changes; a failure is told to the user.
    static BOOL Commit(SettingsStore& store);
};
