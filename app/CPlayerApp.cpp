#include "app/CPlayerApp.h"

#include <QDir>
#include <climits>
#include <unistd.h>

#include "app/CommandLine.h"
#include "app/SettingsStore.h"
#include "platform/Services.h"
#include "platform/text/FileText.h"
#include "platform/text/MbString.h"
#include "platform/text/PathSplit.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"

namespace {

struct OptionValue {
    const char* name;
    int PlayerState::*field;
    int defaultValue;
};

// In the order they are written.
constexpr OptionValue kOptions[] = {
    {"TimeDispInitMode", &PlayerState::m_timeDispInitMode, 0},
    {"AviDispInitMode", &PlayerState::m_aviDispInitMode, 0},
    {"Anime", &PlayerState::m_anime, 1},
    {"Filter", &PlayerState::m_filter, 0},
    {"Skip", &PlayerState::m_skip, 0},
};

const QString kDrivesGroup = QStringLiteral("Drives");

QString HistoryName(int number)
{
    return QStringLiteral("History%1").arg(number);
}

void WriteOptions(const PlayerState& state, SettingsStore& store)
{
    for (const OptionValue& option : kOptions)
        store.Write(QLatin1String(option.name), QString::number(state.*option.field));
}

void WriteDefaults(SettingsStore& store)
{
    for (const OptionValue& option : kOptions)
        store.Write(QLatin1String(option.name), QString::number(option.defaultValue));
}

// A path relative to the working folder made absolute, so that the history
// keeps a path that opens from anywhere; drive-letter and absolute paths as
// they are. Lexical: "." and ".." components are taken out as written.
QString AbsoluteCollectionPath(const QString& path)
{
    const bool drive = path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() && path.at(0).unicode() < 0x80;
    if (path.isEmpty() || path.startsWith(u'/') || path.startsWith(u'\\') || drive)
        return path;
    char folder[PATH_MAX];
    if (!::getcwd(folder, sizeof folder))
        return path;
    return QDir::cleanPath(text::DecodeFileName(folder) + u'/' + path);
}

}  // namespace

CPlayerApp::CPlayerApp() = default;

BOOL CPlayerApp::InitInstance()
{
    LoadSettings();
    CPlayerDlg dlg(m_state, *this);
    dlg.m_timeDispMode = m_state.m_timeDispInitMode;
    m_pMainWnd = &dlg;
    if (m_onPlayerCreated)
        m_onPlayerCreated(dlg);
    if (!m_arguments.isEmpty())
        ParseArguments(m_arguments, m_state.m_collectionPath, m_state.m_flags);
    else if (!m_lpCmdLine.isEmpty())
        ParseCommandLine(m_lpCmdLine, m_state.m_collectionPath, m_state.m_flags);
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

BOOL CPlayerApp::LoadSettings()
{
    SettingsStore store;
    if (!store.KeyExists()) {
        // First start: create the group with the defaults, no history.
        WriteDefaults(store);
        if (!store.Commit())
            return FALSE;  // neither opened nor created: the fields keep their initial values
        for (const OptionValue& option : kOptions)
            m_state.*option.field = option.defaultValue;
        return TRUE;
    }
    const auto readNumber = [&store](const OptionValue& option) {
        const std::optional<QString> value = store.Read(QLatin1String(option.name));
        return value ? text::Atoi(*value) : option.defaultValue;
    };
    // Read order: the four display options, the history, then Skip.
    for (int i = 0; i < 4; ++i)
        m_state.*kOptions[i].field = readNumber(kOptions[i]);
    for (int i = 1; i <= kHistoryMax; ++i)
        if (const std::optional<QString> path = store.Read(HistoryName(i)))
            m_state.m_historyList.append(*path);
    m_state.m_skip = readNumber(kOptions[4]);
    m_state.m_volumeControl = store.Read(QStringLiteral("VolumeControl")).value_or(QString());
    m_state.m_soundFont = store.Read(QStringLiteral("SoundFont")).value_or(QString());
    m_state.m_audioOutput = store.Read(QStringLiteral("AudioOutput")).value_or(QString());
    m_state.m_drives = store.ReadGroup(kDrivesGroup);
    return TRUE;
}

BOOL CPlayerApp::SaveOptions()
{
    SettingsStore store;
    WriteOptions(m_state, store);
    return Commit(store);
}

BOOL CPlayerApp::SaveHistory()
{
    SettingsStore store;
    const int n = qMin<int>(m_state.m_historyList.size(), kHistoryMax);
    for (int i = 1; i <= n; ++i)
        store.Write(HistoryName(i), m_state.m_historyList.at(i - 1));
    for (int i = n + 1; i <= kHistoryMax; ++i)
        store.Remove(HistoryName(i));
    return Commit(store);
}

BOOL CPlayerApp::SaveDrive(const QString& letter, const QString& target)
{
    SettingsStore store;
    store.WriteIn(kDrivesGroup, letter, target);
    m_state.m_drives.insert(letter, target);
    return Commit(store);
}

BOOL CPlayerApp::SavePortSettings()
{
    SettingsStore store;
    const QMap<QString, QString> before = store.ReadGroup(kDrivesGroup);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!m_state.m_drives.contains(it.key()))
            store.RemoveIn(kDrivesGroup, it.key());
    for (auto it = m_state.m_drives.cbegin(); it != m_state.m_drives.cend(); ++it)
        if (before.value(it.key()) != it.value() || !before.contains(it.key()))
            store.WriteIn(kDrivesGroup, it.key(), it.value());
    const auto writeOrRemove = [&store](const QString& name, const QString& value) {
        if (value.isEmpty())
            store.Remove(name);
        else
            store.Write(name, value);
    };
    writeOrRemove(QStringLiteral("SoundFont"), m_state.m_soundFont);
    writeOrRemove(QStringLiteral("AudioOutput"), m_state.m_audioOutput);
    return Commit(store);
}

BOOL CPlayerApp::Commit(SettingsStore& store)
{
    if (!store.Commit()) {
        platform::AfxMessageBox(res::Text(res::text::kRegistryWriteError), platform::MB_OK);
        return FALSE;
    }
    return TRUE;
}

void CPlayerApp::SetArguments(const QStringList& arguments)
{
    m_arguments = arguments;
    m_lpCmdLine = JoinCommandLine(arguments);
}

QString CPlayerApp::JoinCommandLine(const QStringList& arguments)
{
    return ::JoinCommandLine(arguments);
}

BOOL CPlayerApp::ParseCommandLine(const QString& commandLine, QString& path, std::uint32_t& flags)
{
    CommandLineParts parts = SplitCommandLine(commandLine);
    flags = parts.flags;
    path = std::move(parts.path);
    return CheckCommandLinePath(path);
}

BOOL CPlayerApp::ParseArguments(const QStringList& arguments, QString& path, std::uint32_t& flags)
{
    const platform::FileAccess* files = platform::GetServices().files;
    CommandLineParts parts = SplitArguments(arguments, [files](const QString& argument) {
        return files && files->Access(argument, platform::kAccessExists);
    });
    flags = parts.flags;
    path = std::move(parts.path);
    return CheckCommandLinePath(path);
}

BOOL CPlayerApp::CheckCommandLinePath(QString& path)
{
    const platform::FileAccess* files = platform::GetServices().files;
    if (!files || !files->Access(path, platform::kAccessExists)) {
        path.clear();
        platform::AfxMessageBox(res::Text(res::text::kCommandLineNotFound), platform::MB_OK);
        return FALSE;
    }
    if (!files->Access(path, platform::kAccessReadWrite)) {
        path.clear();
        platform::AfxMessageBox(res::Text(res::text::kCommandLineNoAccess), platform::MB_OK);
        return FALSE;
    }
    path = AbsoluteCollectionPath(path);
    return TRUE;
}
