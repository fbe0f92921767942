// Switching collections from the history, the editor's result, the options
// command, and what two lifetimes of the application keep.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/CPlayerApp.h"
#include "editor/CCollectionDlg.h"
#include "options/COptionDlg.h"
#include "player/CPlayerDlg.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestServices.h"

namespace {

using testsupport::FakeMediaFile;

QString ConfigFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenda/Lirabox.conf");
}

QStringList StoredHistory()
{
    QSettings raw(ConfigFile(), QSettings::IniFormat);
    QStringList history;
    for (int i = 1; i <= 5; ++i)
        if (raw.contains(QStringLiteral("Settings/History%1").arg(i)))
            history.append(raw.value(QStringLiteral("Settings/History%1").arg(i)).toString());
    return history;
}

// Runs f on the modal dialog that the next call opens, once it is up.
template <typename F>
void WhenModal(F f)
{
    QTimer::singleShot(0, [f] {
        if (auto* dialog = qobject_cast<ui::CDialog*>(QApplication::activeModalWidget()))
            f(dialog);
    });
}

class PlayerHistoryTest : public testing::Test {
protected:
    PlayerHistoryTest() { QFile::remove(ConfigFile()); }
    ~PlayerHistoryTest() override { QFile::remove(ConfigFile()); }

    QString WriteList(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
        m_services.files.Set(path, platform::kAccessReadWrite);
        return path;
    }

    void Start(const QString& current = {})
    {
        m_app.m_state.m_collectionPath = current;
        m_dlg.Create();
    }

    void PlayFile(const QString& path)
    {
        m_services.media.AddFile(path, FakeMediaFile::Audio(60'000));
        m_services.files.Set(path, platform::kAccessReadWrite);
        m_app.m_state.m_entries = {path};
        m_dlg.m_entryCount = 1;
        m_dlg.FillTitleList();
        m_dlg.OnPlay();
    }

    QStringList MenuHistory() const
    {
        QStringList texts;
        for (QAction* action : m_dlg.SystemMenu()->actions())
            if (action->data().toInt() >= CPlayerDlg::IDM_HISTORY_FIRST)
                texts.append(action->text());
        return texts;
    }

    QTemporaryDir m_dir;
    testsupport::TestServices m_services;
    CPlayerApp m_app;
    CPlayerDlg m_dlg{m_app.m_state, m_app};
};

TEST_F(PlayerHistoryTest, CurrentCollectionInOtherLetterCaseDoesNothing)
{
    m_services.MapDrive("C:", m_dir.path());
    WriteList("Lists.lst", "/m/x.wav\r\n");  // opened at start through the drive letter
    m_services.files.Set("C:\\LISTS.LST", platform::kAccessReadWrite);
    m_app.m_state.m_historyList = {"/other.lst", "C:\\LISTS.LST"};
    Start("c:\\lists.lst");
    PlayFile("/m/x.wav");
    m_dlg.OnSysCommand(18);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying) << "no stop";
    EXPECT_EQ(m_app.m_state.m_collectionPath, "c:\\lists.lst");
}

TEST_F(PlayerHistoryTest, PosixPathsInOtherCaseAreTwoCollections)
{
    const QString upper = WriteList("A.lst", "/m/1.wav\r\n/m/2.wav\r\n");
    const QString lower = WriteList("a.lst", "/m/1.wav\r\n");
    m_app.m_state.m_historyList = {upper};
    Start(lower);
    m_dlg.OnSysCommand(17);
    EXPECT_EQ(m_app.m_state.m_collectionPath, upper);
    EXPECT_EQ(m_dlg.m_entryCount, 2);
    EXPECT_EQ(m_dlg.windowTitle(), "Lirabox-A");
    EXPECT_EQ(m_app.m_state.m_historyList.first(), upper);
    EXPECT_EQ(MenuHistory().first(), "&1 " + upper);
}

TEST_F(PlayerHistoryTest, BusyDevicesAskBeforeSwitching)
{
    const QString other = WriteList("other.lst", "/m/9.wav\r\n");
    testsupport::FakeDisc disc;
    disc.trackLengthsMs = {60'000, 60'000};
    m_services.AddCdDrive("E:", disc);
    m_app.m_state.m_historyList = {other};
    Start();
    m_app.m_state.m_entries = {"E:\\ CDﾄﾗｯｸ 01"};
    m_dlg.m_entryCount = 1;
    m_dlg.OnPlay();
    m_dlg.OnPause();
    // A drive that pauses by stopping reads as stopped: still busy.
    m_services.cd.Stop(m_dlg.m_cdDeviceId);
    m_services.boxes.Answer(platform::IDNO);
    m_dlg.OnSysCommand(17);
    EXPECT_EQ(m_services.boxes.Texts(),
              QStringList{"再生中のｺﾚｸｼｮﾝﾌｧｲﾙを停止して新しいｺﾚｸｼｮﾝﾌｧｲﾙにしますか？"});
    EXPECT_TRUE(m_app.m_state.m_collectionPath.isEmpty());
    EXPECT_EQ(m_services.cd.OpenDevices().size(), 1u) << "No keeps everything";

    m_services.boxes.Clear();
    m_dlg.OnSysCommand(17);  // answered Yes
    EXPECT_EQ(m_app.m_state.m_collectionPath, other);
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());

    m_services.boxes.Clear();
    m_app.m_state.m_historyList.append(WriteList("third.lst", ""));
    m_dlg.RebuildHistoryMenu();
    m_dlg.OnSysCommand(18);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << "idle: no question";
    EXPECT_EQ(m_dlg.m_titleCombo->itemText(0), "ﾘｽﾄがありません");
    EXPECT_EQ(m_dlg.m_entryCount, 0);
}

TEST_F(PlayerHistoryTest, DeletedHistoryFileLeavesTheHistoryOnYes)
{
    const QString kept = WriteList("kept.lst", "/m/1.wav\r\n");
    m_app.m_state.m_historyList = {"/gone/a.lst", kept, "/gone/b.lst"};
    m_app.SaveHistory();
    Start(kept);
    m_dlg.OnSysCommand(17);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ｺﾚｸｼｮﾝﾌｧｲﾙが見つかりません。履歴から削除しますか？"});
    EXPECT_EQ(m_app.m_state.m_historyList, QStringList({kept, "/gone/b.lst"}));
    EXPECT_EQ(MenuHistory(), QStringList({"&1 " + kept, "&2 /gone/b.lst"}));
    EXPECT_EQ(StoredHistory(), QStringList({kept, "/gone/b.lst"}));
    EXPECT_EQ(m_app.m_state.m_collectionPath, kept) << "the current collection stays";

    m_app.m_state.m_historyList = {"/gone/only.lst"};
    m_dlg.OnSysCommand(17);
    EXPECT_TRUE(m_app.m_state.m_historyList.isEmpty());
    EXPECT_TRUE(MenuHistory().isEmpty());
    EXPECT_TRUE(StoredHistory().isEmpty());
}

TEST_F(PlayerHistoryTest, UnreadableHistoryFileKeepsTheOldCollectionButTakesThePath)
{
    const QString current = WriteList("current.lst", "/m/1.wav\r\n");
    // Listed as readable, but a directory: it cannot be opened as a file.
    const QString folder = m_dir.filePath("folder.lst");
    QDir().mkpath(folder);
    m_services.files.Set(folder, platform::kAccessReadWrite);
    m_app.m_state.m_historyList = {folder, current};
    Start(current);
    m_app.m_state.m_entries = {"/m/1.wav"};
    m_dlg.OnSysCommand(17);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ｺﾚｸｼｮﾝﾌｧｲﾙの読み込みｴﾗｰです。"});
    EXPECT_EQ(m_app.m_state.m_collectionPath, folder);
    EXPECT_EQ(m_app.m_state.m_entries, QStringList{"/m/1.wav"});
    EXPECT_EQ(m_app.m_state.m_historyList.first(), folder) << "history unchanged";
}

TEST_F(PlayerHistoryTest, EditorOkOnAnUntitledCollection)
{
    m_app.m_state.m_historyList = {"/h/one.lst"};
    Start();
    m_app.m_state.m_entries = {"/m/1.wav", "/m/2.wav"};
    WhenModal([](ui::CDialog* editor) { editor->EndDialog(ui::IDOK); });
    m_dlg.OnEditCollection();
    EXPECT_EQ(m_dlg.windowTitle(), "Lirabox-No Collection");
    EXPECT_EQ(m_app.m_state.m_historyList, QStringList{"/h/one.lst"});
    EXPECT_EQ(StoredHistory(), QStringList{"/h/one.lst"}) << "saved all the same";
    EXPECT_EQ(m_dlg.m_titleCombo->count(), 3);
}

// The editor reads the collection the player reads (here through a drive
// letter); one it cannot read leaves the player's entries as they were.
TEST_F(PlayerHistoryTest, TheEditorOpensThePlayersCollectionAndAFailedReadReplacesNothing)
{
    m_services.MapDrive("C:", m_dir.path());
    const QString native = WriteList("Lists.lst", "/m/1.wav\r\n/m/2.wav\r\n");
    Start("C:\\LISTS.LST");
    ASSERT_EQ(m_app.m_state.m_entries, QStringList({"/m/1.wav", "/m/2.wav"}));

    int rows = -1;
    WhenModal([&rows](ui::CDialog* editor) {
        rows = static_cast<CCollectionDlg*>(editor)->m_playList->topLevelItemCount();
        qobject_cast<QAbstractButton*>(editor->GetDlgItem(ui::IDOK))->click();
    });
    m_dlg.OnEditCollection();
    EXPECT_EQ(rows, 2);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_EQ(m_app.m_state.m_entries, QStringList({"/m/1.wav", "/m/2.wav"}));

    ASSERT_TRUE(QFile::remove(native));
    m_dlg.OnEditCollection();
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ｺﾚｸｼｮﾝﾌｧｲﾙが開けません。"});
    EXPECT_EQ(m_app.m_state.m_entries, QStringList({"/m/1.wav", "/m/2.wav"}));
    EXPECT_EQ(m_dlg.m_entryCount, 2);
    EXPECT_EQ(m_app.m_state.m_collectionPath, "C:\\LISTS.LST");
}

TEST_F(PlayerHistoryTest, EditorIsViewOnlyWhileAFilePlays)
{
    Start();
    PlayFile("/m/x.wav");
    bool viewOnly = false;
    WhenModal([&viewOnly](ui::CDialog* editor) {
        viewOnly = !editor->IsControlEnabled(6) && !editor->IsControlEnabled(7) && !editor->IsControlEnabled(11);
        editor->EndDialog(ui::IDOK);
    });
    m_dlg.OnEditCollection();
    EXPECT_TRUE(viewOnly);
    EXPECT_EQ(m_app.m_state.m_entries, QStringList{"/m/x.wav"});
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying);
}

TEST_F(PlayerHistoryTest, OptionsOkWritesAllFiveAndCancelNothing)
{
    m_app.m_state.m_timeDispInitMode = 7;
    m_app.m_state.m_anime = 1;
    m_app.m_state.m_aviDispInitMode = 3;
    Start();
    WhenModal([](ui::CDialog* dlg) { dlg->EndDialog(ui::IDCANCEL); });
    m_dlg.OnOptions();
    EXPECT_FALSE(QFile::exists(ConfigFile()));

    WhenModal([](ui::CDialog* dlg) { qobject_cast<QAbstractButton*>(dlg->GetDlgItem(1))->click(); });
    m_dlg.OnOptions();
    QSettings raw(ConfigFile(), QSettings::IniFormat);
    raw.beginGroup("Settings");
    EXPECT_EQ(raw.childKeys().size(), 5);
    EXPECT_EQ(raw.value("TimeDispInitMode").toString(), "7") << "out of range, handed back unchanged";
    EXPECT_EQ(raw.value("AviDispInitMode").toString(), "1");
    EXPECT_EQ(m_dlg.m_timeDispMode, 0) << "the running player keeps its mode";
}

TEST_F(PlayerHistoryTest, AnimationSwitchedOffHidesTheRingAtOnce)
{
    m_app.m_state.m_anime = 1;
    Start();
    PlayFile("/m/x.mid");
    m_services.AdvanceMs(1000);
    m_dlg.OnTimer();
    ASSERT_TRUE(m_dlg.GetDlgItem(CPlayerDlg::IDC_ANIM_FIRST + (CPlayerDlg::s_animStep + 7) % 8)->isVisibleTo(&m_dlg));
    WhenModal([](ui::CDialog* dlg) {
        dlg->CheckDlgButton(1051, false);
        qobject_cast<QAbstractButton*>(dlg->GetDlgItem(1))->click();
    });
    m_dlg.OnOptions();
    for (int id = CPlayerDlg::IDC_ANIM_FIRST; id <= CPlayerDlg::IDC_ANIM_LAST; ++id)
        EXPECT_FALSE(m_dlg.GetDlgItem(id)->isVisibleTo(&m_dlg)) << id;
    EXPECT_EQ(m_app.m_state.m_anime, 0);
}

TEST(ApplicationLifetimes, HistoryAndOptionsSurviveARestart)
{
    QFile::remove(ConfigFile());
    QTemporaryDir dir;
    const QString path = dir.filePath("mine.lst");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "/m/1.wav\r\n"));
    {
        testsupport::TestServices services;
        services.files.Set(path, platform::kAccessReadWrite);
        CPlayerApp app;
        app.LoadSettings();
        app.m_state.m_skip = 1;
        app.SaveOptions();
        CPlayerDlg dlg(app.m_state, app);
        dlg.Create();
        WhenModal([](ui::CDialog* editor) { editor->EndDialog(ui::IDOK); });
        app.m_state.m_collectionPath = path;
        dlg.OnEditCollection();
    }
    CPlayerApp second;
    second.LoadSettings();
    ASSERT_FALSE(second.m_state.m_historyList.isEmpty());
    EXPECT_EQ(second.m_state.m_historyList.first(), path);
    EXPECT_EQ(second.m_state.m_skip, 1);
    QFile::remove(ConfigFile());
}

}  // namespace
