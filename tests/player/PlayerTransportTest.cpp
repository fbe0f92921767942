// The player playing a collection on fake devices: entry playback, CD runs,
// failures, the transport commands and their enabled states, the play order
// and the progress timer.
#include <QSet>

#include "tests/player/PlayerFixture.h"

namespace {

using namespace playertest;
using PlayerTransportTest = PlayerFixture;

// --- CD runs -----------------------------------------------------------

TEST_F(PlayerTransportTest, ConsecutiveTracksPlayAsOneRun)
{
    const FakeDisc& disc = m_services.AddCdDrive("E:", Disc(10));
    Open({CdEntry("E:", 3), CdEntry("E:", 4), CdEntry("E:", 5)});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(CdCalls("Play"), QStringList{QStringLiteral("Play 1 %1 %2").arg(disc.TrackStart(3)).arg(disc.TrackStart(6))});
    EXPECT_EQ(m_dlg.m_cdRunLeft, 2);
    EXPECT_EQ(m_dlg.m_entryLength, 60'000);

    Seconds(60);
    EXPECT_EQ(m_dlg.m_entryNumber, 2);
    EXPECT_EQ(m_dlg.m_cdRunLeft, 1);
    Seconds(60);
    EXPECT_EQ(m_dlg.m_entryNumber, 3);
    EXPECT_EQ(m_dlg.m_cdRunLeft, 0);
    EXPECT_EQ(CdCalls("Open").size(), 1) << "the run keeps its one device";
    EXPECT_EQ(CdCalls("Play").size(), 1);
    EXPECT_EQ(m_dlg.QueryPosition() / 1000, 0) << "the in-track position starts again at each track";

    Seconds(61);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "idle after the last entry";
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(PlayerTransportTest, RunEndsAtADriveChangeOrTheDiscsEnd)
{
    m_services.AddCdDrive("E:", Disc(10));
    m_services.AddCdDrive("D:", Disc(10));
    const FakeDisc& e = m_services.cd.Disc("E:");
    Open({CdEntry("E:", 3), CdEntry("E:", 4), CdEntry("D:", 5)});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(CdCalls("Play"), QStringList{QStringLiteral("Play 1 %1 %2").arg(e.TrackStart(3)).arg(e.TrackStart(5))});
    EXPECT_EQ(m_dlg.m_cdRunLeft, 1);

    Click(CPlayerDlg::IDC_STOP);
    m_services.cd.ClearCalls();
    Open({CdEntry("E:", 9), CdEntry("E:", 10)});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(CdCalls("Play"), QStringList{QStringLiteral("Play 2 %1 end").arg(e.TrackStart(9))});
    EXPECT_EQ(m_dlg.m_cdTo, 0u);
}

TEST_F(PlayerTransportTest, ShuffleOnPlaysEveryCdEntryAlone)
{
    const FakeDisc& disc = m_services.AddCdDrive("E:", Disc(10));
    m_state.m_flags = kFlagShuffle;
    Open({CdEntry("E:", 3), CdEntry("E:", 4)});
    Click(CPlayerDlg::IDC_PLAY);
    ASSERT_EQ(m_dlg.m_entryNumber, 2) << "two entries shuffle to second, first";
    EXPECT_EQ(m_dlg.m_cdRunLeft, 0);
    Seconds(60);
    EXPECT_EQ(CdCalls("Play"), QStringList({QStringLiteral("Play 1 %1 %2").arg(disc.TrackStart(4)).arg(disc.TrackStart(5)),
                                            QStringLiteral("Play 2 %1 %2").arg(disc.TrackStart(3)).arg(disc.TrackStart(4))}));
}

TEST_F(PlayerTransportTest, TrackAfterALeadInPlaysToItsEnd)
{
    FakeDisc disc = Disc(1, 10'000);
    disc.firstTrackStartMs = 2'000;
    m_services.AddCdDrive("E:", disc);
    Open({CdEntry("E:", 1)});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_dlg.QueryPosition(), 0);
    Seconds(9);
    EXPECT_FALSE(m_dlg.m_entry.isEmpty()) << "still playing its last second";
    EXPECT_EQ(m_dlg.GetDlgItemText(CPlayerDlg::IDC_TIME), "1tk Past 00:00:09");
    Seconds(2);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
}

// A copy of part of a disc, tracks 4 to 7: entries name the disc's numbers,
// a track stops at the next one's start, and a run of the last two plays to
// the end of the disc.
TEST_F(PlayerTransportTest, ADiscBeginningAtTrack4PlaysByItsOwnNumbers)
{
    FakeDisc disc = Disc(4, 10'000);
    disc.firstTrack = 4;
    m_services.AddCdDrive("E:", disc);
    Open({CdEntry("E:", 5), CdEntry("E:", 7), CdEntry("E:", 6), CdEntry("E:", 7)});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(10 + 10 + 20 + 2);
    EXPECT_EQ(CdCalls("Play"), QStringList({QStringLiteral("Play 1 %1 %2").arg(disc.TrackStart(5)).arg(disc.TrackStart(6)),
                                            QStringLiteral("Play 2 %1 end").arg(disc.TrackStart(7)),
                                            QStringLiteral("Play 3 %1 end").arg(disc.TrackStart(6))}));
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "the collection played through";
}

TEST_F(PlayerTransportTest, NextDuringARunReopensFromTheTrackStart)
{
    const FakeDisc& disc = m_services.AddCdDrive("E:", Disc(10));
    Open({CdEntry("E:", 3), CdEntry("E:", 4), CdEntry("E:", 5)});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(10);
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_EQ(CdCalls("Open").size(), 2);
    EXPECT_EQ(CdCalls("Play").last(), QStringLiteral("Play 2 %1 %2").arg(disc.TrackStart(4)).arg(disc.TrackStart(6)));
    EXPECT_EQ(m_dlg.m_cdRunLeft, 1);
    EXPECT_EQ(m_services.cd.OpenDevices().size(), 1u);
}

// --- failures ----------------------------------------------------------

TEST_F(PlayerTransportTest, DriveNotReadyStopsWithItsMessageOrIsSkipped)
{
    m_services.AddCdDrive("E:", Disc(10)).present = false;
    AddFile("/m/b.wav");
    Open({CdEntry("E:", 3), "/m/b.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"CDﾄﾞﾗｲﾌﾞ(E:)の準備ができていません。"});
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
    EXPECT_EQ(Enabled(), "1000001");

    m_services.boxes.Clear();
    m_state.m_skip = 1;
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_EQ(PlayedPaths(), QStringList{"/m/b.wav"});
    EXPECT_TRUE(m_services.cd.OpenDevices().empty()) << "Next closed the device of the failed entry";
}

TEST_F(PlayerTransportTest, MissingFileNamesTheEntryAndLeavesThePlayerIdle)
{
    Open({"/m/gone.mid", "/m/also.mid"});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ﾌｧｲﾙ/m/gone.midが見つかりません。"});
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(m_dlg.m_titleCombo->currentText(), "(停止)");
    EXPECT_EQ(Enabled(), "1000001");
}

TEST_F(PlayerTransportTest, UnplayableFileShowsTheMciMessage)
{
    m_services.media.AddFile("/m/bad.avi", FakeMediaFile::Unplayable());
    m_services.files.Set("/m/bad.avi", platform::kAccessReadWrite);
    Open({"/m/bad.avi"});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"MCI初期化に失敗しました。"});
}

TEST_F(PlayerTransportTest, NoCdDriveIsSaidOncePerPlayWithSkipAndRepeat)
{
    m_state.m_skip = 1;
    m_state.m_flags = kFlagRepeat;
    Open({QStringLiteral("%1 01").arg(kCd), QStringLiteral("%1 02").arg(kCd), QStringLiteral("/m/gone.wav")});
    m_dlg.CheckDlgButton(CPlayerDlg::IDC_REPEAT, true);
    Click(CPlayerDlg::IDC_PLAY);
    for (int i = 0; i < 10; ++i)
        Flush();
    EXPECT_EQ(m_services.boxes.Texts(), QStringList({"有効なCDﾄﾞﾗｲﾌﾞがありません。", "再生できる曲がありません。"}))
        << "a whole pass in which nothing played ends the repeat";
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
    EXPECT_EQ(Enabled(), "1000001");
}

TEST_F(PlayerTransportTest, WithSkipOnAndRepeatOffAFruitlessPassStopsInSilence)
{
    m_state.m_skip = 1;
    for (const QStringList& entries : {QStringList{"/m/gone.mid"}, QStringList{"/m/gone.mid", "/m/also.wav"}}) {
        Open(entries);
        Click(CPlayerDlg::IDC_PLAY);
        for (int i = 0; i < 10; ++i)
            Flush();
        EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << entries.join(", ").toStdString();
        EXPECT_TRUE(m_dlg.m_entry.isEmpty());
        EXPECT_EQ(m_dlg.m_titleCombo->currentText(), "(停止)");
        EXPECT_EQ(Enabled(), "1000001");
    }
}

TEST_F(PlayerTransportTest, NoCdDriveIsSaidAgainOnceSkipIsOff)
{
    AddFile("/m/a.wav", FakeMediaFile::Audio(3'000));
    m_state.m_skip = 1;
    m_state.m_flags = kFlagRepeat;
    Open({QStringLiteral("%1 01").arg(kCd), "/m/a.wav"});
    m_dlg.CheckDlgButton(CPlayerDlg::IDC_REPEAT, true);
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav");
    Seconds(3);
    Flush();
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav") << "the CD entry is skipped again, silently";
    EXPECT_EQ(m_services.boxes.Texts().count("有効なCDﾄﾞﾗｲﾌﾞがありません。"), 1);
    m_state.m_skip = 0;
    Seconds(3);
    Flush();
    EXPECT_EQ(m_services.boxes.Texts().count("有効なCDﾄﾞﾗｲﾌﾞがありません。"), 2);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
}

// --- play order --------------------------------------------------------

TEST_F(PlayerTransportTest, ShuffleOrdersAreSingleCycles)
{
    for (int n = 1; n <= 3; ++n) {
        PlayerState app;
        app.m_entries = QStringList(n, QStringLiteral("/x"));
        CPlayerDlg dlg(app, m_store);
        for (int second = 0; second < 50; ++second) {
            m_services.AdvanceMs(1000);
            dlg.BuildShuffleOrder(dlg.m_shuffleOrder);
            ASSERT_EQ(dlg.m_shuffleOrder.size(), n + 1);
            QList<std::uint32_t> order(dlg.m_shuffleOrder.begin() + 1, dlg.m_shuffleOrder.end());
            if (n == 1) {
                EXPECT_EQ(order, QList<std::uint32_t>{1});
            } else if (n == 2) {
                EXPECT_EQ(order, QList<std::uint32_t>({2, 1}));
            } else {
                EXPECT_TRUE(order == QList<std::uint32_t>({2, 3, 1}) || order == QList<std::uint32_t>({3, 1, 2}));
            }
        }
    }
}

TEST_F(PlayerTransportTest, RandomIndexStaysInRange)
{
    CPlayerDlg::SeedRandom(12345);
    for (int m = 1; m <= 1'000'000; m += (m < 1000 ? 1 : 997)) {
        for (int draw = 0; draw < 40; ++draw) {
            const int r = CPlayerDlg::RandomIndex(m);
            ASSERT_GE(r, 1) << m;
            ASSERT_LE(r, m) << m;
        }
    }
    // Both ends are reached.
    QSet<int> seen;
    for (int draw = 0; draw < 200; ++draw)
        seen.insert(CPlayerDlg::RandomIndex(3));
    EXPECT_EQ(seen, QSet<int>({1, 2, 3}));
}

TEST_F(PlayerTransportTest, RepeatWrapsThroughTheSameShuffleOrder)
{
    QStringList entries;
    for (int i = 1; i <= 3; ++i) {
        entries.append(QStringLiteral("/m/%1.wav").arg(i));
        AddFile(entries.last(), FakeMediaFile::Audio(2'000));
    }
    m_state.m_flags = kFlagShuffle | kFlagRepeat;
    Open(entries);
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(2 * 6);
    const QStringList played = PlayedPaths();
    ASSERT_EQ(played.size(), 7);
    EXPECT_EQ(played.mid(0, 3), played.mid(3, 3));
    EXPECT_EQ(QSet<QString>(played.begin(), played.begin() + 3).size(), 3);
    EXPECT_TRUE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT));
}

TEST_F(PlayerTransportTest, ShorterCollectionUnderAShuffledOrderReadsNothingPastIt)
{
    for (const char* path : {"/m/1.wav", "/m/2.wav", "/m/3.wav", "/m/4.wav"})
        AddFile(path);
    m_state.m_flags = kFlagShuffle;
    Open({"/m/1.wav", "/m/2.wav", "/m/3.wav", "/m/4.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    const int before = PlayedPaths().size();
    m_state.m_entries = {"/m/1.wav"};
    for (int i = 0; i < 4 && !m_dlg.m_entry.isEmpty(); ++i) {
        m_dlg.OnNext();
        Flush();
        EXPECT_TRUE(m_dlg.m_entry.isEmpty() || m_dlg.m_entry == "/m/1.wav") << m_dlg.m_entry.toStdString();
    }
    for (const QString& path : PlayedPaths().mid(before))
        EXPECT_EQ(path, "/m/1.wav") << "only the one entry left can play";
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "the order runs out and the player stops";
}

// --- transport and enabled states --------------------------------------

TEST_F(PlayerTransportTest, EnabledStatesThroughACollection)
{
    for (const char* path : {"/m/1.wav", "/m/2.wav", "/m/3.wav"})
        AddFile(path, FakeMediaFile::Audio(3'000));
    Open({"/m/1.wav", "/m/2.wav", "/m/3.wav"});
    EXPECT_EQ(Enabled(), "1000001");
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(Enabled(), "0111010") << "Play";
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_EQ(Enabled(), "0111110") << "Next to the second";
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_EQ(Enabled(), "0111100") << "Next to the last";
    Click(CPlayerDlg::IDC_PREVIOUS);
    EXPECT_EQ(Enabled(), "0111110") << "Previous";
    Click(CPlayerDlg::IDC_PREVIOUS);
    EXPECT_EQ(Enabled(), "0111010") << "Previous to the first";
    Seconds(3 * 3 + 1);
    EXPECT_EQ(Enabled(), "1000001") << "the end of the collection";
    EXPECT_EQ(PlayedPaths(), QStringList({"/m/1.wav", "/m/2.wav", "/m/3.wav", "/m/2.wav", "/m/1.wav", "/m/2.wav",
                                          "/m/3.wav"}));
}

TEST_F(PlayerTransportTest, OneEntryWithAndWithoutRepeat)
{
    AddFile("/m/1.wav", FakeMediaFile::Audio(2'000));
    Open({"/m/1.wav"});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_FALSE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT));
    Click(CPlayerDlg::IDC_REPEAT);
    EXPECT_TRUE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT)) << "Repeat switched on while playing";
    Seconds(2);
    EXPECT_EQ(PlayedPaths().size(), 2u);
    Click(CPlayerDlg::IDC_REPEAT);
    EXPECT_FALSE(m_dlg.IsControlEnabled(CPlayerDlg::IDC_NEXT)) << "Repeat switched off at the last position";
    Seconds(3);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
}

TEST_F(PlayerTransportTest, PausePlayAndHomeOfAFile)
{
    AddFile("/m/1.mid", FakeMediaFile::Audio(20'000));
    Open({"/m/1.mid"});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(3);
    Click(CPlayerDlg::IDC_HOME);
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying);
    EXPECT_LT(m_dlg.QueryPosition(), 1000);
    Seconds(2);
    Click(CPlayerDlg::IDC_PAUSE);
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePaused);
    Click(CPlayerDlg::IDC_HOME);
    EXPECT_EQ(m_dlg.QueryPosition(), 0);
    EXPECT_NE(m_dlg.QueryMode(), mci::kModePlaying) << "a paused file stays at its start";
    Seconds(2);
    EXPECT_EQ(m_dlg.QueryPosition(), 0);
}

TEST_F(PlayerTransportTest, PauseAndResumeOfACdTrack)
{
    m_services.AddCdDrive("E:", Disc(4));
    Open({CdEntry("E:", 2)});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(5);
    Click(CPlayerDlg::IDC_PAUSE);
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePaused);
    const std::int32_t held = m_dlg.QueryPosition();
    Seconds(3);
    EXPECT_EQ(m_dlg.QueryPosition(), held);
    Click(CPlayerDlg::IDC_PAUSE);
    Seconds(2);
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying);
    EXPECT_GE(m_dlg.QueryPosition(), held + 2000);

    // A device that reads as stopped after a pause restarts from the saved position.
    Click(CPlayerDlg::IDC_PAUSE);
    const std::uint32_t saved = m_dlg.m_pausePos;
    m_services.cd.Stop(m_dlg.m_cdDeviceId);
    m_services.cd.ClearCalls();
    Click(CPlayerDlg::IDC_PAUSE);
    EXPECT_EQ(CdCalls("Play"), QStringList{QStringLiteral("Play %1 %2 %3").arg(m_dlg.m_cdDeviceId).arg(saved).arg(m_dlg.m_cdTo)});
}

TEST_F(PlayerTransportTest, EjectStopsACdButLeavesAMidiPlaying)
{
    m_services.AddCdDrive("E:", Disc(4));
    AddFile("/m/1.mid", FakeMediaFile::Audio(20'000));
    Open({CdEntry("E:", 1), "/m/1.mid"});
    Click(CPlayerDlg::IDC_PLAY);
    Click(CPlayerDlg::IDC_EJECT);
    EXPECT_TRUE(m_services.cd.Disc("E:").doorOpen);
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
    EXPECT_EQ(Enabled(), "1000001");

    Pick(2);
    ASSERT_EQ(m_dlg.QueryMode(), mci::kModePlaying);
    Click(CPlayerDlg::IDC_EJECT);
    EXPECT_FALSE(m_services.cd.Disc("E:").doorOpen) << "the string commands close the open tray";
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying) << "the MIDI file plays on";
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
}

TEST_F(PlayerTransportTest, Picks)
{
    AddFile("/m/song.mid", FakeMediaFile::Audio(20'000));
    AddFile("/n/Song.wav", FakeMediaFile::Audio(20'000));
    AddFile("/m/other.wav", FakeMediaFile::Audio(20'000));
    Open({"/m/song.mid", "/n/Song.wav", "/m/other.wav"});
    Pick(1);
    EXPECT_EQ(Enabled(), "0111010");
    Pick(2);
    EXPECT_EQ(PlayedPaths(), QStringList{"/m/song.mid"}) << "the same base name counts as the entry playing";
    Click(CPlayerDlg::IDC_PAUSE);
    Pick(3);
    EXPECT_EQ(PlayedPaths(), QStringList({"/m/song.mid", "/m/other.wav"})) << "a pick while paused";
    EXPECT_EQ(m_services.media.OpenWindows().size(), 1u);
    Pick(0);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty()) << "the header item stops";
    EXPECT_TRUE(m_services.media.OpenWindows().empty());
}

// --- video placement ----------------------------------------------------

TEST_F(PlayerTransportTest, VideoGoesOntoThePlaceholderOrIntoAWindowOfItsOwn)
{
    AddFile("/m/v.avi", FakeMediaFile::Video(5'000, QSize(320, 240)));
    AddFile("/m/v.mkv", FakeMediaFile::Video(5'000, QSize(320, 240)));
    Open({"/m/v.avi", "/m/v.mkv"});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.media.LastMove(), m_dlg.m_videoRect);
    EXPECT_FALSE(m_dlg.m_animate);
    EXPECT_FALSE(m_dlg.GetDlgItem(CPlayerDlg::IDC_PIC_IDLE)->isVisibleTo(&m_dlg));
    Click(CPlayerDlg::IDC_NEXT);
    EXPECT_EQ(m_services.media.Newest()->Style(), mci::kStyleChild);
    EXPECT_EQ(m_services.media.Requests().filter("MoveTo").size(), 2) << "any file with a picture is placed";

    Click(CPlayerDlg::IDC_STOP);
    m_state.m_aviDispInitMode = 1;
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.media.Newest()->Style(), mci::kStyleSeparate);
    EXPECT_EQ(m_services.media.Newest()->Parent(), nullptr);
}

// --- progress ----------------------------------------------------------

TEST_F(PlayerTransportTest, EightTicksShowTheRingOnceEach)
{
    AddFile("/m/1.mid", FakeMediaFile::Audio(60'000));
    m_state.m_anime = 1;
    Open({"/m/1.mid"});
    Click(CPlayerDlg::IDC_PLAY);
    CPlayerDlg::s_animStep = 0;
    QList<int> shown;
    for (int tick = 0; tick < 9; ++tick) {
        Seconds(1);
        QList<int> visible;
        for (int id = CPlayerDlg::IDC_ANIM_FIRST; id <= CPlayerDlg::IDC_ANIM_LAST; ++id)
            if (m_dlg.GetDlgItem(id)->isVisibleTo(&m_dlg))
                visible.append(id);
        ASSERT_EQ(visible.size(), 1) << tick;
        shown.append(visible.first());
    }
    EXPECT_EQ(shown, QList<int>({1039, 1040, 1041, 1042, 1043, 1044, 1045, 1046, 1039}));
    EXPECT_EQ(m_dlg.GetDlgItemText(CPlayerDlg::IDC_TIME), "1tk Past 00:00:09");
}

TEST_F(PlayerTransportTest, NoRingWithoutAnimeOrWhilePaused)
{
    AddFile("/m/1.mid", FakeMediaFile::Audio(60'000));
    m_state.m_anime = 0;
    Open({"/m/1.mid"});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(3);
    for (int id = CPlayerDlg::IDC_ANIM_FIRST; id <= CPlayerDlg::IDC_ANIM_LAST; ++id)
        EXPECT_FALSE(m_dlg.GetDlgItem(id)->isVisibleTo(&m_dlg));
    m_state.m_anime = 1;
    Click(CPlayerDlg::IDC_PAUSE);
    const int step = CPlayerDlg::s_animStep;
    Seconds(3);
    EXPECT_EQ(CPlayerDlg::s_animStep, step);
}

}  // namespace
