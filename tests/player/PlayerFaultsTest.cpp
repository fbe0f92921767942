// The player under faults and timing: devices that stop answering, commands
// racing the end of an entry, the second after an entry ends, and the
// messages of every failure.
#include "tests/player/PlayerFixture.h"

namespace {

using namespace playertest;
using PlayerFaultsTest = PlayerFixture;

// --- failures and their messages -----------------------------------------

struct FailureCase {
    const char* name;
    std::function<void(testsupport::FakeDisc&)> breakDisc;
    const char* message;
};

TEST_F(PlayerFaultsTest, EveryCdFailureHasItsMessageAndLeavesThePlayerIdle)
{
    const std::vector<FailureCase> cases = {
        {"open", [](FakeDisc& d) { d.failOpen = true; }, "CDﾃﾞﾊﾞｲｽのｵｰﾌﾟﾝに失敗しました。"},
        {"ready", [](FakeDisc& d) { d.failReady = true; }, "CDﾃﾞﾊﾞｲｽの初期化に失敗しました。"},
        {"time format", [](FakeDisc& d) { d.failTimeFormat = true; }, "CDﾃﾞﾊﾞｲｽの初期化に失敗しました。"},
        {"play", [](FakeDisc& d) { d.failPlay = true; }, "CDﾃﾞﾊﾞｲｽの初期化に失敗しました。"},
        {"length", [](FakeDisc& d) { d.failLength = true; }, "指定のﾄﾗｯｸがCDに見つかりません。"},
    };
    for (const FailureCase& c : cases) {
        testsupport::TestServices services;
        FakeDisc& disc = services.AddCdDrive("E:", Disc(3));
        c.breakDisc(disc);
        PlayerState app;
        CPlayerDlg dlg(app, m_store);
        app.m_entries = {CdEntry("E:", 3)};
        dlg.Create();
        dlg.m_entryCount = 1;
        dlg.FillTitleList();
        bool idleAtTheBox = false;
        platform::GetServices().messageBox = [&](QWidget* parent, const QString& text, unsigned type) {
            idleAtTheBox = dlg.m_entry.isEmpty() && dlg.IsControlEnabled(CPlayerDlg::IDC_PLAY);
            return services.boxes.Show(parent, text, type);
        };
        dlg.OnPlay();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(services.boxes.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.name;
        EXPECT_TRUE(idleAtTheBox) << c.name << ": the player stops before it says why";
        EXPECT_TRUE(services.cd.OpenDevices().empty()) << c.name;
        dlg.reject();
    }
}

TEST_F(PlayerFaultsTest, UnreadableFileAndEmptyListSayWhy)
{
    m_services.files.Set("/m/locked.wav", platform::kAccessExists);
    Open({"/m/locked.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ﾌｧｲﾙ/m/locked.wavにｱｸｾｽできません。"});
    m_services.boxes.Clear();

    m_state.m_entries.clear();
    m_dlg.m_entryCount = 0;
    m_dlg.FillTitleList();
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ﾘｽﾄが空です。"});
    EXPECT_EQ(Enabled(), "1000001");
}

TEST_F(PlayerFaultsTest, CdEntriesAreReadByTheCollectionsRule)
{
    // A full-width letter names no drive: the first CD drive plays it. A
    // full-width digit lends nothing to the track number.
    m_services.AddCdDrive("D:", Disc(5));
    Open({QStringLiteral("Ｅ:\\ %1 03").arg(kCd), QStringLiteral("%1 1３").arg(kCd)});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(CdCalls("Open"), QStringList{"Open D: -> 1"});
    EXPECT_EQ(m_dlg.m_cdTrack, 3);
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"指定のﾄﾗｯｸがCDに見つかりません。"});
}

// --- a device that stops answering ---------------------------------------

TEST_F(PlayerFaultsTest, DiscTakenOutEndsTheEntryByTheFailureRule)
{
    FakeDisc& disc = m_services.AddCdDrive("E:", Disc(5));
    AddFile("/m/after.wav");
    Open({CdEntry("E:", 1), CdEntry("E:", 2), "/m/after.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(5);
    disc.present = false;
    Seconds(2);
    EXPECT_EQ(m_dlg.m_entryNumber, 1) << "two ticks are not enough to give up";
    Seconds(1);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"CDﾄﾞﾗｲﾌﾞ(E:)の準備ができていません。"});
    EXPECT_EQ(Enabled(), "1000001");
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(PlayerFaultsTest, TrayOpenedByHandWithSkipMovesOnPastTheRun)
{
    FakeDisc& disc = m_services.AddCdDrive("E:", Disc(5));
    AddFile("/m/after.wav");
    m_state.m_skip = 1;
    Open({CdEntry("E:", 1), CdEntry("E:", 2), "/m/after.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(2);
    disc.doorOpen = true;
    Seconds(3);
    Flush();
    // The next CD entry finds the drive not ready and is skipped too.
    EXPECT_EQ(m_dlg.m_entry, "/m/after.wav");
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(PlayerFaultsTest, StreamErrorInAFileEndsItByTheFailureRule)
{
    AddFile("/m/cut.wav", FakeMediaFile::Audio(60'000).ErrorAt(4'000));
    AddFile("/m/b.wav");
    Open({"/m/cut.wav", "/m/b.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(7);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ﾌｧｲﾙ/m/cut.wavにｱｸｾｽできません。"});

    m_services.boxes.Clear();
    m_state.m_skip = 1;
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(7);
    EXPECT_EQ(m_dlg.m_entry, "/m/b.wav");
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
}

// --- at most one device ----------------------------------------------------

TEST_F(PlayerFaultsTest, PickAfterACdStoppedClosesItsDevice)
{
    m_services.AddCdDrive("E:", Disc(3, 5'000));
    AddFile("/m/a.wav");
    Open({CdEntry("E:", 3), "/m/a.wav", CdEntry("E:", 1)});
    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(6'000);  // the track has ended; its tick has not come
    Pick(2);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav");
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
    Pick(3);
    EXPECT_EQ(m_dlg.m_entry, CdEntry("E:", 1));
    EXPECT_EQ(m_services.cd.OpenDevices().size(), 1u);
    EXPECT_TRUE(m_services.media.OpenWindows().empty());
}

// --- commands racing the end of an entry ---------------------------------

TEST_F(PlayerFaultsTest, StopOrNextBeforeThePostedNextRunsWins)
{
    AddFile("/m/a.wav", FakeMediaFile::Audio(2'000));
    AddFile("/m/b.wav");
    AddFile("/m/c.wav");
    Open({"/m/a.wav", "/m/b.wav", "/m/c.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(2'000);
    m_dlg.OnTimer();  // posts Next
    Click(CPlayerDlg::IDC_STOP);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "Stop is not undone by the end's Next";
    EXPECT_EQ(Enabled(), "1000001");

    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(2'000);
    m_dlg.OnTimer();
    m_dlg.OnNext();  // the user's Next, before the posted one runs
    Flush();
    EXPECT_EQ(m_dlg.m_entry, "/m/b.wav") << "no entry is skipped";
    EXPECT_EQ(m_dlg.m_titleCombo->currentIndex(), 2);
}

// --- the second after an entry ends ---------------------------------------

TEST_F(PlayerFaultsTest, PauseHomeAndEjectOnAnEndedEntry)
{
    FakeDisc& disc = m_services.AddCdDrive("E:", Disc(3, 5'000));
    AddFile("/m/a.wav", FakeMediaFile::Audio(3'000));
    Open({CdEntry("E:", 2), "/m/a.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(6'000);
    m_services.cd.ClearCalls();
    Click(CPlayerDlg::IDC_PAUSE);
    EXPECT_TRUE(CdCalls("Play").isEmpty()) << "an ended CD never restarts from the disc's start";
    Seconds(1);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav");

    m_services.AdvanceMs(3'000);
    Click(CPlayerDlg::IDC_HOME);
    Seconds(1);
    Flush();
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "Home on an ended file lets the end go on";

    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(6'000);
    Click(CPlayerDlg::IDC_EJECT);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(Enabled(), "1000001");
    EXPECT_TRUE(disc.doorOpen);
    EXPECT_FALSE(m_dlg.TimerRunning());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(PlayerFaultsTest, EjectOfAPausedCdReturnsToIdle)
{
    m_services.AddCdDrive("E:", Disc(3));
    Open({CdEntry("E:", 1), CdEntry("E:", 2)});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(2);
    Click(CPlayerDlg::IDC_PAUSE);
    Click(CPlayerDlg::IDC_EJECT);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(Enabled(), "1000001");
    EXPECT_EQ(m_dlg.m_titleCombo->currentIndex(), 0);
}

TEST_F(PlayerFaultsTest, EjectWithoutACdSystemDoesNothing)
{
    AddFile("/m/a.wav");
    Open({"/m/a.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    platform::GetServices().cd = nullptr;
    Click(CPlayerDlg::IDC_EJECT);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav");
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
}

TEST_F(PlayerFaultsTest, HomeOnACdPlaysFromTheTrackNotFromThePause)
{
    const FakeDisc& disc = m_services.AddCdDrive("E:", Disc(4));
    Open({CdEntry("E:", 2)});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(7);
    Click(CPlayerDlg::IDC_PAUSE);
    m_services.cd.ClearCalls();
    Click(CPlayerDlg::IDC_HOME);
    EXPECT_EQ(CdCalls("Play"), QStringList{QStringLiteral("Play 1 %1 %2").arg(disc.TrackStart(2)).arg(disc.TrackStart(3))});
}

TEST_F(PlayerFaultsTest, HomeAndPauseWaitWhileAFailedEntryIsSkipped)
{
    m_services.AddCdDrive("E:", Disc(4, 5'000));
    m_services.AddCdDrive("F:", Disc(2)).present = false;
    AddFile("/m/a.wav");
    m_state.m_skip = 1;
    Open({CdEntry("E:", 2), CdEntry("F:", 1), "/m/a.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(5'000);
    m_dlg.OnTimer();
    Flush();  // the end's Next opens F:, which is not ready, and posts the skip's Next
    ASSERT_EQ(m_dlg.m_entry, CdEntry("F:", 1));
    m_services.cd.ClearCalls();
    m_dlg.OnHome();
    m_dlg.OnPause();
    EXPECT_TRUE(CdCalls("Play").isEmpty()) << "nothing plays the track of the entry before";
    Flush();
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav");
}

TEST_F(PlayerFaultsTest, TheNextFileStartsWhenTheStreamEndsNotAtTheNextTick)
{
    AddFile("/m/a.wav", FakeMediaFile::Audio(1'500));
    AddFile("/m/b.wav");
    Open({"/m/a.wav", "/m/b.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    m_services.AdvanceMs(1'000);
    m_dlg.OnTimer();
    m_services.AdvanceMs(500);  // the stream ends half a second before the next tick
    Flush();
    Flush();
    EXPECT_EQ(m_dlg.m_entry, "/m/b.wav");
}

// --- the transport's enabled states in the cases nothing else covers -------

TEST_F(PlayerFaultsTest, NextFollowsRepeatOnlyWhilePlaying)
{
    AddFile("/m/a.wav");
    AddFile("/m/b.wav");
    Open({"/m/a.wav", "/m/b.wav"});
    Pick(2);
    Click(CPlayerDlg::IDC_PAUSE);
    Click(CPlayerDlg::IDC_REPEAT);
    EXPECT_FALSE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT)) << "Repeat does not enable Next while paused";
    Click(CPlayerDlg::IDC_PAUSE);
    Click(CPlayerDlg::IDC_REPEAT);
    Click(CPlayerDlg::IDC_REPEAT);
    EXPECT_TRUE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT)) << "Repeat switched on while playing enables Next";
}

TEST_F(PlayerFaultsTest, PicksSetNextByPositionAndRepeat)
{
    for (const char* path : {"/m/a.wav", "/m/b.wav", "/m/c.wav"})
        AddFile(path);
    Open({"/m/a.wav", "/m/b.wav", "/m/c.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    Pick(3);
    EXPECT_EQ(Enabled(), "0111100") << "a pick of the last entry while playing disables Next";
    Click(CPlayerDlg::IDC_STOP);

    Click(CPlayerDlg::IDC_REPEAT);
    Pick(3);
    EXPECT_EQ(Enabled(), "0111110") << "a pick while idle with Repeat on keeps Next";
    EXPECT_EQ(m_dlg.m_titleCombo->currentIndex(), 3);
    Seconds(6);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav") << "repeat wraps";
    EXPECT_EQ(m_dlg.m_titleCombo->currentIndex(), 1) << "the title list follows the playing entry";
}

TEST_F(PlayerFaultsTest, WithRepeatOnNextStaysEnabledThroughTheLastEntryAndTheWrap)
{
    for (const char* path : {"/m/a.wav", "/m/b.wav", "/m/c.wav"})
        AddFile(path);
    Open({"/m/a.wav", "/m/b.wav", "/m/c.wav"});
    Click(CPlayerDlg::IDC_REPEAT);
    Click(CPlayerDlg::IDC_PLAY);
    for (const char* expected : {"/m/b.wav", "/m/c.wav", "/m/a.wav", "/m/b.wav"}) {
        Click(CPlayerDlg::IDC_NEXT);
        EXPECT_EQ(m_dlg.m_entry, expected);
        EXPECT_TRUE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT)) << "at " << expected;
    }
    // The same at the ends of entries.
    Seconds(12);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav");
    EXPECT_TRUE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT));
}

TEST_F(PlayerFaultsTest, APickWhileIdleWithShuffleOnBuildsANewOrder)
{
    QStringList entries;
    for (int i = 0; i < 6; ++i) {
        entries.append(QStringLiteral("/m/%1.wav").arg(i));
        AddFile(entries.last());
    }
    Open(entries.mid(0, 2));
    Click(CPlayerDlg::IDC_SHUFFLE);
    Click(CPlayerDlg::IDC_PLAY);
    Click(CPlayerDlg::IDC_STOP);
    // The collection grows while idle: the order of the last Play is too short.
    m_state.m_entries = entries;
    m_dlg.m_entryCount = int(entries.size());
    m_dlg.FillTitleList();
    m_services.AdvanceMs(5'000);
    QVector<std::uint32_t> expected;
    m_dlg.BuildShuffleOrder(expected);

    Pick(4);
    EXPECT_EQ(m_dlg.m_entry, "/m/3.wav") << "a pick plays the picked entry";
    EXPECT_EQ(m_dlg.m_shuffleOrder, expected);
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_EQ(m_dlg.m_entry, entries.at(int(expected.at(5)) - 1)) << "Next goes on in the new order";

    // A pick while playing keeps the order, a second later too.
    m_services.AdvanceMs(2'000);
    Pick(2);
    EXPECT_EQ(m_dlg.m_shuffleOrder, expected);
}

TEST_F(PlayerFaultsTest, PauseThenResumeOfAFile)
{
    AddFile("/m/a.wav", FakeMediaFile::Audio(20'000));
    Open({"/m/a.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(3);
    Click(CPlayerDlg::IDC_PAUSE);
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePaused);
    Seconds(3);
    EXPECT_EQ(m_dlg.QueryPosition(), 3'000);
    Click(CPlayerDlg::IDC_PAUSE);
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying);
    Seconds(2);
    EXPECT_EQ(m_dlg.QueryPosition(), 5'000);
}

TEST_F(PlayerFaultsTest, RunEndsAreCountedToTheLastTrackOfTheRun)
{
    struct Case {
        QStringList entries;
        long to;  // -1: to the end of the disc
    };
    m_services.AddCdDrive("E:", Disc(5));
    const FakeDisc& disc = m_services.cd.Disc("E:");
    const std::vector<Case> cases = {
        {{CdEntry("E:", 2), CdEntry("E:", 3), "/m/a.wav"}, disc.TrackStart(4)},
        {{CdEntry("E:", 2), CdEntry("E:", 4)}, disc.TrackStart(3)},
        {{CdEntry("E:", 4), CdEntry("E:", 5)}, -1},
        {{CdEntry("E:", 5)}, -1},
    };
    AddFile("/m/a.wav");
    m_dlg.Create();
    for (const Case& c : cases) {
        m_state.m_entries = c.entries;
        m_dlg.m_entryCount = c.entries.size();
        m_dlg.FillTitleList();
        m_services.cd.ClearCalls();
        Click(CPlayerDlg::IDC_PLAY);
        const QString to = c.to < 0 ? QStringLiteral("end") : QString::number(c.to);
        EXPECT_EQ(CdCalls("Play").value(0).section(QLatin1Char(' '), 3), to) << c.entries.join(QLatin1Char(',')).toStdString();
        Click(CPlayerDlg::IDC_STOP);
    }
}

// --- a collection that shrank under a shuffle order -------------------------

TEST_F(PlayerFaultsTest, NextPastAShrunkCollectionGoesIdle)
{
    const QStringList paths = {"/m/a.wav", "/m/b.wav", "/m/c.wav", "/m/d.wav", "/m/e.wav", "/m/f.wav"};
    for (const QString& path : paths)
        AddFile(path);
    m_state.m_flags = kFlagShuffle;
    Open(paths);
    m_dlg.CheckDlgButton(CPlayerDlg::IDC_SHUFFLE, true);
    Click(CPlayerDlg::IDC_PLAY);
    // Find a position p whose next position names an entry past a collection
    // of p + 2 entries, go there, and shrink the collection under the order.
    int p = 0;
    while (p + 2 < int(paths.size()) && int(m_dlg.m_shuffleOrder[p + 2]) - 1 < p + 2)
        ++p;
    ASSERT_LT(p + 2, int(paths.size())) << "the fixed clock's order has no such position";
    for (int i = 0; i < p; ++i)
        Click(CPlayerDlg::IDC_NEXT);
    m_state.m_entries = paths.mid(0, p + 2);
    m_dlg.m_entryCount = p + 2;
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(Enabled(), "1000001") << "as at the end of the collection";
    EXPECT_TRUE(m_services.media.OpenWindows().empty());
}

}  // namespace
