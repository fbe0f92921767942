// The player window opening: title list, caption, start-up flags, enabled
// states, time display, the history menu and the template's captions.
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimerEvent>
#include <gtest/gtest.h>

#include "tests/support/MemoryStateStore.h"
#include "platform/Services.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestServices.h"
#include "platform/text/FileText.h"
#include "player/CPlayerDlg.h"

namespace {

// Records the commands that reach the player, posted ones included.
class RecordingPlayer : public CPlayerDlg {
public:
    using CPlayerDlg::CPlayerDlg;
    using CPlayerDlg::OnCommand;
    QList<int> commands;

protected:
    void OnCommand(int id, int code) override
    {
        commands.append(id);
        CPlayerDlg::OnCommand(id, code);
    }
};

class PlayerWindowTest : public testing::Test {
protected:
    QString WriteCollection(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
        return path;
    }

    QStringList Items(const CPlayerDlg& dlg) const
    {
        QStringList items;
        for (int i = 0; i < dlg.m_titleCombo->count(); ++i)
            items.append(dlg.m_titleCombo->itemText(i));
        return items;
    }

    QTemporaryDir m_dir;
    testsupport::TestServices m_services;
    PlayerState m_state;
    testsupport::MemoryStateStore m_store;
};

TEST_F(PlayerWindowTest, NoCollectionLeavesTheBoxesUncheckedAndKeepsTheFlags)
{
    m_state.m_flags = 0x0C;
    RecordingPlayer dlg(m_state, m_store);
    dlg.Create();
    EXPECT_EQ(Items(dlg), QStringList{"ﾘｽﾄがありません"});
    EXPECT_EQ(dlg.m_titleCombo->currentIndex(), 0);
    EXPECT_FALSE(dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE));
    EXPECT_FALSE(dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT));
    EXPECT_EQ(dlg.windowTitle(), "Lirabox");
    EXPECT_EQ(m_state.m_flags, 0x0Cu);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(dlg.commands.isEmpty());
}

TEST_F(PlayerWindowTest, ThreeEntriesWithFlagsCheckMinimiseAndPostPlay)
{
    m_state.m_collectionPath = WriteCollection("three.lst", "/m/a.mid\r\n/m/b.wav\r\nE:\\ CD\xC4\xD7\xAF\xB8 03\r\n");
    m_state.m_flags = 0x0D | 0x20;
    m_services.AddCdDrive("E:");
    RecordingPlayer dlg(m_state, m_store);
    dlg.Create();
    EXPECT_EQ(Items(dlg), QStringList({"(停止)", "a", "b", "E:\\ CDﾄﾗｯｸ 03"}));
    EXPECT_EQ(dlg.m_titleCombo->currentIndex(), 0);
    EXPECT_EQ(dlg.m_entryCount, 3);
    EXPECT_EQ(dlg.windowTitle(), "Lirabox - three");
    EXPECT_TRUE(dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(CPlayerDlg::IDC_REPEAT));
    EXPECT_TRUE(dlg.windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(dlg.commands.isEmpty()) << "Play is posted, not run inside OnInitDialog";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dlg.commands, QList<int>{CPlayerDlg::IDC_PLAY});
}

TEST_F(PlayerWindowTest, EmptyFileShowsNoListButTakesTheCaption)
{
    m_state.m_collectionPath = WriteCollection("empty.lst", "");
    m_state.m_flags = 0x01;
    RecordingPlayer dlg(m_state, m_store);
    dlg.Create();
    EXPECT_EQ(Items(dlg), QStringList{"ﾘｽﾄがありません"});
    EXPECT_EQ(dlg.windowTitle(), "Lirabox - empty");
    EXPECT_EQ(dlg.m_entryCount, 0);
}

TEST_F(PlayerWindowTest, UnopenableFileShowsTheMessageAndAppliesNoFlags)
{
    m_state.m_collectionPath = m_dir.filePath("missing.lst");
    m_state.m_flags = 0x0D;
    RecordingPlayer dlg(m_state, m_store);
    dlg.Create();
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{"ｺﾚｸｼｮﾝﾌｧｲﾙの読み込みｴﾗｰです。"});
    EXPECT_EQ(dlg.m_titleCombo->count(), 0);
    EXPECT_FALSE(dlg.IsDlgButtonChecked(CPlayerDlg::IDC_SHUFFLE));
    EXPECT_EQ(dlg.windowTitle(), "Lirabox");
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(dlg.commands.isEmpty());
}

// Counts the timer events of the whole program while it lives, but for the
// tests' own dialog watchdog.
class TimerEventCounter : public QObject {
public:
    TimerEventCounter() { qApp->installEventFilter(this); }
    ~TimerEventCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && watched->objectName() != QLatin1String("DialogWatchdog"))
            names.append(QString::fromLatin1(watched->metaObject()->className()));
        return false;
    }
    QStringList names;
};

// A jukebox is left open for hours: with nothing playing it does not wake.
TEST_F(PlayerWindowTest, AnIdlePlayerHasNoTimerAndNoTimerEvents)
{
    const QString song = QStringLiteral("/m/a.wav");
    m_services.media.AddFile(song, testsupport::FakeMediaFile::Audio(5'000));
    m_services.files.Set(song, platform::kAccessReadWrite);
    m_state.m_collectionPath = WriteCollection("one.lst", "/m/a.wav\r\n");
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    dlg.show();
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(CPlayerDlg::IDC_PLAY))->click();
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(dlg.TimerRunning());
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(CPlayerDlg::IDC_STOP))->click();
    QCoreApplication::sendPostedEvents();

    const auto run = [](int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    };
    run(200);  // what the clicks left to do once
    TimerEventCounter counter;
    run(2'500);
    EXPECT_LT(counter.names.size(), 2) << counter.names.join(u' ').toStdString();
    QList<QObject*> objects = dlg.findChildren<QObject*>();
    objects.append(&dlg);
    for (QObject* object : objects)
        for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(object))
            ADD_FAILURE() << object->metaObject()->className() << " keeps a timer of " << timer.interval << " ms";
}

TEST_F(PlayerWindowTest, IdleStateAfterOpening)
{
    m_state.m_collectionPath = WriteCollection("one.lst", "/m/a.mid\r\n");
    RecordingPlayer dlg(m_state, m_store);
    dlg.Create();
    for (int id : {CPlayerDlg::IDC_NEXT, CPlayerDlg::IDC_PREVIOUS, CPlayerDlg::IDC_STOP, CPlayerDlg::IDC_PAUSE,
                   CPlayerDlg::IDC_HOME})
        EXPECT_FALSE(dlg.IsControlEnabled(id)) << id;
    for (int id : {int(CPlayerDlg::IDC_PLAY), int(CPlayerDlg::IDC_EJECT), int(CPlayerDlg::IDC_SHUFFLE),
                   int(CPlayerDlg::IDC_REPEAT), int(CPlayerDlg::IDC_SELECT), 1, int(CPlayerDlg::IDC_VOLUME),
                   int(CPlayerDlg::IDC_OPTIONS), 57670})
        EXPECT_TRUE(dlg.IsControlEnabled(id)) << id;
    EXPECT_TRUE(dlg.GetDlgItem(CPlayerDlg::IDC_PIC_IDLE)->isVisibleTo(&dlg));
    for (int id : {CPlayerDlg::IDC_PIC_MIDI, CPlayerDlg::IDC_PIC_CD, CPlayerDlg::IDC_PIC_WAVE, CPlayerDlg::IDC_VIDEO})
        EXPECT_FALSE(dlg.GetDlgItem(id)->isVisibleTo(&dlg)) << id;
    for (int id = CPlayerDlg::IDC_ANIM_FIRST; id <= CPlayerDlg::IDC_ANIM_LAST; ++id)
        EXPECT_FALSE(dlg.GetDlgItem(id)->isVisibleTo(&dlg)) << id;
    EXPECT_EQ(dlg.m_videoRect, dlg.GetDlgItem(CPlayerDlg::IDC_VIDEO)->geometry());
    EXPECT_FALSE(dlg.m_videoRect.isEmpty());
}

TEST_F(PlayerWindowTest, IdleTimeTextOfEachMode)
{
    const std::pair<int, QString> cases[] = {
        {0, "0tk Past 00:00:00"}, {1, "0tk Rest 00:00:00"}, {2, "0/0tk 00:00:00/00:00:00"}, {3, ""}};
    for (const auto& [mode, expected] : cases) {
        CPlayerDlg dlg(m_state, m_store);
        dlg.m_timeDispMode = mode;
        dlg.Create();
        EXPECT_EQ(dlg.GetDlgItemText(CPlayerDlg::IDC_TIME), expected) << mode;
    }
}

TEST_F(PlayerWindowTest, TimeModeButtonCyclesTheIdleTexts)
{
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        qobject_cast<QAbstractButton*>(dlg.GetDlgItem(CPlayerDlg::IDC_TIMEMODE))->click();
        seen.append(dlg.GetDlgItemText(CPlayerDlg::IDC_TIME));
    }
    EXPECT_EQ(seen, QStringList({"0tk Rest 00:00:00", "0/0tk 00:00:00/00:00:00", "0tk Past 00:00:00"}));
    EXPECT_EQ(dlg.m_timeDispMode, 0);
}

TEST_F(PlayerWindowTest, FormatTimeOfTheThreeModes)
{
    CPlayerDlg dlg(m_state, m_store);
    dlg.m_entryNumber = 3;
    dlg.m_entryCount = 12;
    dlg.m_entryLength = 200000;
    QString text;
    dlg.m_timeDispMode = 0;
    dlg.FormatTime(65432, text);
    EXPECT_EQ(text, "3tk Past 00:01:05");
    dlg.m_timeDispMode = 1;
    dlg.FormatTime(65432, text);
    EXPECT_EQ(text, "3tk Rest 00:02:14");
    dlg.m_timeDispMode = 2;
    dlg.m_entryLength = 3725000;
    dlg.m_lenHours = 1;
    dlg.m_lenMinutes = 2;
    dlg.m_lenSeconds = 5;
    dlg.FormatTime(61000, text);
    EXPECT_EQ(text, "3/12tk 00:01:01/01:02:05");
    dlg.m_timeDispMode = 5;
    dlg.FormatTime(0, text);
    EXPECT_EQ(text, "3/12tk 00:01:01/01:02:05") << "another mode leaves the text unchanged";
}

// A name copied from a Windows disk as its Shift-JIS bytes (8B C8, 曲)
// shows as its characters in the caption and the history menu.
TEST_F(PlayerWindowTest, AShiftJisNamedCollectionShowsItsName)
{
    const QString sjis = text::DecodeFileName("\x8B\xC8.lst");
    m_state.m_collectionPath = WriteCollection(sjis, "/m/a.mid\r\n");
    m_state.m_historyList = {m_state.m_collectionPath, text::DecodeFileName("/\x8B\xC8/\xE6\x9B\xB2.lst")};
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    EXPECT_EQ(dlg.windowTitle(), "Lirabox - 曲");
    QStringList texts;
    for (QAction* action : dlg.SystemMenu()->actions())
        texts.append(action->text());
    EXPECT_TRUE(texts.contains("&1 " + m_dir.filePath("曲.lst"))) << texts.join(", ").toStdString();
    EXPECT_TRUE(texts.contains("&2 /曲/曲.lst")) << "a Shift-JIS folder above a UTF-8 name";
}

TEST_F(PlayerWindowTest, HistoryItemsOfTheMenu)
{
    m_state.m_historyList = {"/a/one.lst", "/b/R&B.lst", "/c", "/d", "/e", "/f", "/g"};
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    QStringList texts;
    QList<int> commands;
    for (QAction* action : dlg.SystemMenu()->actions()) {
        if (action->isSeparator())
            continue;
        texts.append(action->text());
        commands.append(action->data().toInt());
    }
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts[0], "ﾊﾞｰｼﾞｮﾝ情報 (&A)...");
    EXPECT_EQ(texts[1], "&1 /a/one.lst");
    EXPECT_EQ(texts[2], "&2 /b/R&&B.lst");
    EXPECT_EQ(texts[5], "&5 /e");
    EXPECT_EQ(commands.mid(1), QList<int>({17, 18, 19, 20, 21}));
}

TEST_F(PlayerWindowTest, SelectionsFromCodeRunNoHandler)
{
    m_state.m_collectionPath = WriteCollection("two.lst", "/m/a.mid\r\n/m/b.mid\r\n");
    RecordingPlayer dlg(m_state, m_store);
    dlg.Create();
    dlg.m_titleCombo->setCurrentIndex(2);
    dlg.CheckDlgButton(CPlayerDlg::IDC_SHUFFLE, true);
    dlg.CheckDlgButton(CPlayerDlg::IDC_REPEAT, true);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(dlg.commands.isEmpty());
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(CPlayerDlg::IDC_REPEAT))->click();
    EXPECT_EQ(dlg.commands, QList<int>{CPlayerDlg::IDC_REPEAT});
}

TEST_F(PlayerWindowTest, EveryCaptionFitsItsControl)
{
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    for (QWidget* child : dlg.findChildren<QWidget*>()) {
        const QString text = ui::CaptionOf(child);
        if (text.isEmpty() || !dlg.rect().contains(child->geometry()))
            continue;
        const QFontMetrics metrics(child->font());
        EXPECT_LE(metrics.horizontalAdvance(text), ui::CaptionRoom(child)) << text.toStdString();
        EXPECT_LE(child->font().pixelSize(), child->height()) << text.toStdString();  // the em box
    }
}

TEST_F(PlayerWindowTest, EveryPictureWasDrawnForItsSizeAtBothDensities)
{
    CPlayerDlg dlg(m_state, m_store);
    int pictures = 0;
    for (const ui::ControlSpec& control : dlg.Template().controls) {
        if (!control.image)
            continue;
        ++pictures;
        const QSize box = ui::ImageBox(control);
        EXPECT_TRUE(QFile::exists(ui::ImageFile(control.image, box))) << control.id;
        EXPECT_TRUE(QFile::exists(ui::ImageFile(control.image, box, 2))) << control.id;
    }
    EXPECT_EQ(pictures, 20);
}

}  // namespace
