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

CPlayerApp* s_current = nullptr;

struct OptionValue {
    const char* name;
    int CPlayerApp::*field;
    int defaultValue;
};

// In the order they are written.
constexpr OptionValue kOptions[] = {
    {"TimeDispInitMode", &CPlayerApp::m_timeDispInitMode, 0},
    {"AviDispInitMode", &CPlayerApp::m_aviDispInitMode, 0},
    {"Anime", &CPlayerApp::m_anime, 1},
    {"Filter", &CPlayerApp::m_filter, 0},
    {"Skip", &CPlayerApp::m_skip, 0},
};

QString HistoryName(int number)
{
    return QStringLiteral("History%1").arg(number);
}

void WriteOptions(const CPlayerApp& app, SettingsStore& store)
{
    for (const OptionValue& option : kOptions)
        store.Write(QLatin1String(option.name), QString::number(app.*option.field));
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

CPlayerApp* AfxGetApp()
{
    return s_current;
}

CPlayerApp::CPlayerApp() : m_previous(s_current)
{
    s_current = this;
}

CPlayerApp::~CPlayerApp()
{
    if (s_current == this)
        s_current = m_previous;
}

BOOL CPlayerApp::InitInstance()
{
    LoadSettings();
    CPlayerDlg dlg;
    dlg.m_timeDispMode = m_timeDispInitMode;
    m_pMainWnd = &dlg;
    if (!m_arguments.isEmpty())
        ParseArguments(m_arguments, m_collectionPath, m_flags);
    else if (!m_lpCmdLine.isEmpty())
        ParseCommandLine(m_lpCmdLine, m_collectionPath, m_flags);
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
            this->*option.field = option.defaultValue;
        return TRUE;
    }
    const auto readNumber = [&store](const OptionValue& option) {
        const std::optional<QString> value = store.Read(QLatin1String(option.name));
        return value ? text::Atoi(*value) : option.defaultValue;
    };
    // Read order: the four display options, the history, then Skip.
    for (int i = 0; i < 4; ++i)
        this->*kOptions[i].field = readNumber(kOptions[i]);
    for (int i = 1; i <= kHistoryMax; ++i)
        if (const std::optional<QString> path = store.Read(HistoryName(i)))
            m_historyList.append(*path);
    m_skip = readNumber(kOptions[4]);
    return TRUE;
}

BOOL CPlayerApp::SaveOptions()
{
    SettingsStore store;
    WriteOptions(*this, store);
    if (!store.Commit()) {
        platform::AfxMessageBox(res::Text(res::text::kRegistryWriteError), platform::MB_OK);
        return FALSE;
    }
    return TRUE;
}

BOOL CPlayerApp::SaveHistory()
{
    SettingsStore store;
    const int n = qMin<int>(m_historyList.size(), kHistoryMax);
    for (int i = 1; i <= n; ++i)
        store.Write(HistoryName(i), m_historyList.at(i - 1));
    for (int i = n + 1; i <= kHistoryMax; ++i)
        store.Remove(HistoryName(i));
    if (!store.Commit()) {
        platform::AfxMessageBox(res::Text(res::text::kRegistryWriteError), platform::MB_OK);
        return FALSE;
    }
    return TRUE;
}

void CPlayerApp::AddToHistory(QString path)
{
    if (path.isEmpty())
        return;
    const int n = qMin<int>(m_historyList.size(), kHistoryMax);
    bool removed = false;
    for (int i = 0; i < n; ++i) {
        if (text::SamePath(path, m_historyList.at(i))) {
            m_historyList.removeAt(i);
            removed = true;
            break;
        }
    }
    if (!removed && n == kHistoryMax)
        m_historyList.removeLast();
    m_historyList.prepend(path);
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
