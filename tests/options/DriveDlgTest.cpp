// A collection made on Windows names drives this computer does not have:
// the player asks where each one is, once, stores the answer and plays on.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "options/CDriveDlg.h"
#include "res/Strings.h"
#include "tests/player/PlayerFixture.h"

namespace {

using playertest::CdEntry;
using playertest::Disc;

// The entries of the collection, on drives C: and E: that nothing maps.
const QString kMidi = QStringLiteral("C:\\MIDI\\曲.mid");
const QString kWave = QStringLiteral("C:\\WAVE\\効果音.wav");
const QString kOther = QStringLiteral("/m/other.wav");

class DriveDlgTest : public playertest::PlayerFixture {
protected:
    DriveDlgTest()
    {
        // The folder the Windows disk was copied to.
        QDir(m_win.path()).mkpath(QStringLiteral("MIDI"));
        QDir(m_win.path()).mkpath(QStringLiteral("WAVE"));
        Touch(QStringLiteral("MIDI/曲.mid"));
        Touch(QStringLiteral("WAVE/効果音.wav"));
        for (const QString& entry : {kMidi, kWave})
            m_services.files.Set(entry, platform::kAccessReadWrite);
        m_services.media.AddFile(Under(QStringLiteral("MIDI/曲.mid")), testsupport::FakeMediaFile::Audio(2'000));
        m_services.media.AddFile(Under(QStringLiteral("WAVE/効果音.wav")), testsupport::FakeMediaFile::Audio(2'000));
        AddFile(kOther);
    }

    void Touch(const QString& relative)
    {
        QFile file(Under(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString Under(const QString& relative) const { return m_win.path() + QLatin1Char('/') + relative; }

    // Runs act on each drive question as it opens, with the number of the
    // question (0, 1, …); act must end it.
    void OnQuestions(std::function<void(CDriveDlg&, int)> act)
    {
        m_act = std::move(act);
        WatchForQuestion();
    }
    void WatchForQuestion()
    {
        QTimer::singleShot(0, &m_dlg, [this] {
            auto* dlg = qobject_cast<CDriveDlg*>(QApplication::activeModalWidget());
            if (!dlg) {
                if (m_watching)
                    WatchForQuestion();
                return;
            }
            m_act(*dlg, m_asked++);
            WatchForQuestion();
        });
    }
    void StopWatching() { m_watching = false; }

    static void Press(CDriveDlg& dlg, int id) { dlg.Item<QAbstractButton>(id)->click(); }
    // Enter, as the user confirms what the question shows.
    static void Enter(CDriveDlg& dlg)
    {
        QWidget* focus = dlg.focusWidget() ? dlg.focusWidget() : &dlg;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
    }

    ~DriveDlgTest() override { StopWatching(); }

    QTemporaryDir m_win;
    std::function<void(CDriveDlg&, int)> m_act;
    int m_asked = 0;
    bool m_watching = true;
};

TEST_F(DriveDlgTest, OneEnterTakesTheProposedFolderStoresItAndPlaysOnWithoutAskingAgain)
{
    m_services.proposals.insert(kMidi, m_win.path());
    QString shownEntry;
    OnQuestions([&](CDriveDlg& dlg, int) {
        shownEntry = dlg.GetDlgItemText(CDriveDlg::IDC_ENTRY);
        EXPECT_EQ(dlg.GetDlgItemText(CDriveDlg::IDC_PLACE), m_win.path());
        EXPECT_TRUE(dlg.GetDlgItemText(CDriveDlg::IDC_MESSAGE).contains(QStringLiteral("C:")));
        EXPECT_TRUE(dlg.GetDlgItem(CDriveDlg::IDC_FOUND)->isVisibleTo(&dlg));
        Enter(dlg);
    });
    Open({kMidi, kWave});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(shownEntry, kMidi);
    EXPECT_EQ(m_asked, 1);
    EXPECT_EQ(m_store.drives, (QMap<QString, QString>{{"C", m_win.path()}}));
    EXPECT_EQ(m_state.m_drives.value("C"), m_win.path());
    Seconds(3);
    EXPECT_EQ(PlayedPaths(), QStringList({Under("MIDI/曲.mid"), Under("WAVE/効果音.wav")}));
    EXPECT_EQ(m_asked, 1) << "the second entry on C: is not asked about";
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << m_services.boxes.Texts().join('|').toStdString();

    // Known from now on, through a new Play too.
    Click(CPlayerDlg::IDC_STOP);
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_asked, 1);
}

TEST_F(DriveDlgTest, AFolderChosenByHandIsTheDrive)
{
    m_services.dialogs.Answer({m_win.path()});
    OnQuestions([&](CDriveDlg& dlg, int) {
        EXPECT_FALSE(dlg.IsControlEnabled(ui::IDOK)) << "nothing to take before a place is chosen";
        EXPECT_FALSE(dlg.GetDlgItem(CDriveDlg::IDC_FOUND)->isVisibleTo(&dlg));
        Press(dlg, CDriveDlg::IDC_FOLDER);
        EXPECT_EQ(dlg.GetDlgItemText(CDriveDlg::IDC_PLACE), m_win.path());
        Press(dlg, ui::IDOK);
    });
    Open({kWave});
    Click(CPlayerDlg::IDC_PLAY);
    ASSERT_EQ(m_services.dialogs.Requests().size(), 1u);
    EXPECT_EQ(m_services.dialogs.Requests()[0].kind, platform::FileDialogRequest::Kind::Folder);
    EXPECT_EQ(m_store.drives.value("C"), m_win.path());
    EXPECT_EQ(PlayedPaths(), QStringList{Under("WAVE/効果音.wav")});
}

TEST_F(DriveDlgTest, ADiscImageChosenForACdTrackPlaysAsTheDrive)
{
    m_services.cd.AddDrive("E:", Disc(4));
    const QString image = m_win.path() + QStringLiteral("/album.cue");
    m_services.dialogs.Answer({image});
    OnQuestions([&](CDriveDlg& dlg, int) {
        Press(dlg, CDriveDlg::IDC_IMAGE);
        Press(dlg, ui::IDOK);
    });
    Open({CdEntry("E:", 3)});
    Click(CPlayerDlg::IDC_PLAY);
    ASSERT_EQ(m_services.dialogs.Requests().size(), 1u);
    EXPECT_TRUE(m_services.dialogs.Requests()[0].filter.contains("*.cue"));
    EXPECT_EQ(m_store.drives.value("E"), image);
    EXPECT_EQ(m_services.drives.Target("E:"), image);
    EXPECT_EQ(CdCalls("Open").size(), 1) << m_services.cd.Calls().join('|').toStdString();
    EXPECT_EQ(m_dlg.QueryMode(), mci::kModePlaying);
}

TEST_F(DriveDlgTest, SkipFailsTheEntryAsBeforeAndIsNotAskedAgainThisRun)
{
    m_services.files.Remove(kMidi);  // as it is on a drive that is nowhere
    OnQuestions([&](CDriveDlg& dlg, int) { Press(dlg, CDriveDlg::IDC_SKIP); });
    Open({kMidi, kOther});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{res::FormatStr(120, kMidi)});
    EXPECT_TRUE(m_store.drives.isEmpty());
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_asked, 1);
    EXPECT_EQ(m_services.boxes.Texts().size(), 2);
}

TEST_F(DriveDlgTest, CancelStopsWithoutAMessageAndTheNextPlayAsksAgain)
{
    OnQuestions([&](CDriveDlg& dlg, int) { Press(dlg, ui::IDCANCEL); });
    Open({kMidi, kOther});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    EXPECT_TRUE(PlayedPaths().isEmpty());
    EXPECT_EQ(Enabled(), "1000001") << "idle";
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_asked, 2);
}

TEST_F(DriveDlgTest, WithSkipShuffleAndRepeatEachLetterIsAskedOncePerPlay)
{
    m_state.m_skip = 1;
    m_services.cd.AddDrive("E:", Disc(4));
    QStringList asked;
    OnQuestions([&](CDriveDlg& dlg, int) {
        asked.append(dlg.m_drive);
        Press(dlg, CDriveDlg::IDC_SKIP);
    });
    Open({kMidi, kWave, CdEntry("E:", 1), CdEntry("E:", 2)});
    m_dlg.CheckDlgButton(CPlayerDlg::IDC_SHUFFLE, true);
    m_dlg.CheckDlgButton(CPlayerDlg::IDC_REPEAT, true);
    Click(CPlayerDlg::IDC_PLAY);
    for (int i = 0; i < 20; ++i)
        Flush();
    asked.sort();
    EXPECT_EQ(asked, QStringList({"C:", "E:"}));
    EXPECT_TRUE(m_services.boxes.Texts().size() <= 1) << m_services.boxes.Texts().join('|').toStdString();
}

TEST_F(DriveDlgTest, AMoveWhileTheQuestionIsOpenWins)
{
    // A media key's Stop arrives while the user looks at the question.
    OnQuestions([&](CDriveDlg& dlg, int) {
        m_dlg.OnStop();
        m_services.dialogs.Answer({m_win.path()});
        Press(dlg, CDriveDlg::IDC_FOLDER);
        Press(dlg, ui::IDOK);
    });
    Open({kWave});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_TRUE(PlayedPaths().isEmpty()) << "the Stop is not undone by the answer";
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << m_services.boxes.Texts().join('|').toStdString();
    EXPECT_EQ(Enabled(), "1000001");
}

TEST_F(DriveDlgTest, ANextWhileTheQuestionIsOpenDoesNotAskAboutTheSameLetterAgain)
{
    OnQuestions([&](CDriveDlg& dlg, int number) {
        if (number == 0)
            m_dlg.OnNext();
        Press(dlg, ui::IDCANCEL);
    });
    Open({kMidi, kWave, kOther});
    Click(CPlayerDlg::IDC_PLAY);
    EXPECT_EQ(m_asked, 1);
}

TEST_F(DriveDlgTest, DrivesWithAPlaceAndEntriesWithoutALetterAreNeverAskedAbout)
{
    m_services.MapDrive("C:", m_win.path());
    OnQuestions([&](CDriveDlg& dlg, int) { Press(dlg, ui::IDCANCEL); });
    Open({kMidi, kOther});
    Click(CPlayerDlg::IDC_PLAY);
    Seconds(3);
    EXPECT_EQ(m_asked, 0);
    EXPECT_TRUE(m_services.proposalRequests.isEmpty());
    EXPECT_EQ(PlayedPaths(), QStringList({Under("MIDI/曲.mid"), kOther}));
}

TEST(DriveDlg, EditingOffersTheFreeLettersAndACdDevice)
{
    testsupport::TestServices services;
    CDriveDlg dlg(nullptr, CDriveDlg::Choice{QString(), QString(), {"C:", "D:"}}, {"/dev/sr0", "/dev/sr1"});
    dlg.Create();
    auto* letters = dlg.Item<QComboBox>(CDriveDlg::IDC_LETTER);
    EXPECT_EQ(letters->findText("C:"), -1);
    EXPECT_EQ(letters->findText("D:"), -1);
    EXPECT_EQ(letters->count(), 24);
    EXPECT_FALSE(dlg.GetDlgItem(CDriveDlg::IDC_SKIP)->isVisibleTo(&dlg));
    letters->setCurrentIndex(letters->findText("R:"));
    auto* devices = dlg.Item<QComboBox>(CDriveDlg::IDC_DEVICE);
    devices->setCurrentIndex(2);
    emit devices->activated(2);
    EXPECT_EQ(dlg.GetDlgItemText(CDriveDlg::IDC_PLACE), "/dev/sr1");
    dlg.Item<QAbstractButton>(ui::IDOK)->click();
    EXPECT_EQ(dlg.result(), ui::IDOK);
    EXPECT_EQ(dlg.m_drive, "R:");
    EXPECT_EQ(dlg.m_target, "/dev/sr1");
}

}  // namespace
