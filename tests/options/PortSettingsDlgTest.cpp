// The settings page of the drive letters, the SoundFont and the audio
// output: what it shows, what OK stores in the settings file and hands to
// the devices, and that Cancel changes nothing.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "app/CPlayerApp.h"
#include "app/SettingsStore.h"
#include "options/CDriveDlg.h"
#include "options/COptionDlg.h"
#include "options/CPortSettingsDlg.h"
#include "player/CPlayerDlg.h"
#include "tests/support/TestServices.h"

namespace {

QString ConfigFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenda/Lirabox.conf");
}

void WriteConfig(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(ConfigFile()).absolutePath());
    QFile file(ConfigFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadConfig()
{
    QFile file(ConfigFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Click(ui::CDialog& dlg, int id)
{
    dlg.Item<QAbstractButton>(id)->click();
}

// Runs act on the modal dialog of type T once it is up.
template <typename T>
void WhenUp(std::function<void(T&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        act(*dlg);
    });
}

QStringList Rows(CPortSettingsDlg& dlg)
{
    QStringList rows;
    auto* list = dlg.Item<QListWidget>(CPortSettingsDlg::IDC_DRIVES);
    for (int i = 0; i < list->count(); ++i)
        rows.append(list->item(i)->text());
    return rows;
}

void SelectRow(CPortSettingsDlg& dlg, int row)
{
    dlg.Item<QListWidget>(CPortSettingsDlg::IDC_DRIVES)->setCurrentRow(row);
}

class PortSettingsTest : public testing::Test {
protected:
    PortSettingsTest()
    {
        WriteConfig("[Drives]\n"
                    "c=/old/win\n"
                    "Q=/discs/a.cue\n"
                    "\n"
                    "[Settings]\n"
                    "; the user's own line\n"
                    "Skip=0\n"
                    "SoundFont=/fonts/old.sf2\n");
        m_app.LoadSettings();
        m_player.Create();
    }
    ~PortSettingsTest() override { QFile::remove(ConfigFile()); }

    testsupport::TestServices m_services;
    CPlayerApp m_app;
    CPlayerDlg m_player{m_app.m_state, m_app};
};

TEST_F(PortSettingsTest, OkStoresExactlyTheChosenValuesAndTheNextEntryPlaysWithThem)
{
    QTemporaryDir folder;
    m_services.dialogs.Answer({folder.path()});
    m_services.media.SetOutputSettings("/fonts/old.sf2", "pulsesink:gone");
    m_app.m_state.m_audioOutput = "pulsesink:gone";
    WhenUp<CPortSettingsDlg>([&](CPortSettingsDlg& dlg) {
        EXPECT_EQ(Rows(dlg), QStringList({"C:  /old/win", "Q:  /discs/a.cue"}));
        EXPECT_EQ(dlg.GetDlgItemText(CPortSettingsDlg::IDC_SOUNDFONT), "/fonts/old.sf2");
        // Q: goes, C: moves to the folder, and the font goes back to the system's.
        SelectRow(dlg, 1);
        Click(dlg, CPortSettingsDlg::IDC_REMOVE);
        SelectRow(dlg, 0);
        WhenUp<CDriveDlg>([&](CDriveDlg& edit) {
            EXPECT_EQ(edit.GetDlgItemText(CDriveDlg::IDC_PLACE), "/old/win");
            EXPECT_FALSE(edit.IsControlEnabled(CDriveDlg::IDC_LETTER)) << "a letter changed stays that letter";
            Click(edit, CDriveDlg::IDC_FOLDER);
            Click(edit, ui::IDOK);
        });
        Click(dlg, CPortSettingsDlg::IDC_CHANGE);
        Click(dlg, CPortSettingsDlg::IDC_SYSTEM_FONT);
        EXPECT_TRUE(dlg.GetDlgItemText(CPortSettingsDlg::IDC_SOUNDFONT).startsWith("(既定: "));
        auto* outputs = dlg.Item<QComboBox>(CPortSettingsDlg::IDC_OUTPUT);
        EXPECT_EQ(outputs->currentText(), "pulsesink:gone (見つかりません)");
        outputs->setCurrentIndex(0);
        Click(dlg, ui::IDOK);
    });
    m_player.OnPortSettings();

    EXPECT_EQ(ReadConfig(), "[Drives]\n"
                            "C=" + folder.path().toUtf8() + "\n"
                            "\n"
                            "[Settings]\n"
                            "; the user's own line\n"
                            "Skip=0\n");
    SettingsStore store;
    EXPECT_EQ(store.ReadGroup("Drives"), (QMap<QString, QString>{{"C", folder.path()}}));
    EXPECT_EQ(m_services.drives.Target("C:"), folder.path());
    EXPECT_EQ(m_services.drives.Target("Q:"), QString());
    EXPECT_EQ(m_services.media.SoundFont(), QString());
    EXPECT_EQ(m_services.media.AudioOutput(), QString());
}

TEST_F(PortSettingsTest, CancelStoresNothingAndChangesNothing)
{
    const QByteArray before = ReadConfig();
    m_services.media.SetOutputSettings("/fonts/old.sf2", "kept");
    WhenUp<CPortSettingsDlg>([&](CPortSettingsDlg& dlg) {
        Click(dlg, CPortSettingsDlg::IDC_REMOVE);
        Click(dlg, CPortSettingsDlg::IDC_SYSTEM_FONT);
        Click(dlg, ui::IDCANCEL);
    });
    m_player.OnPortSettings();
    EXPECT_EQ(ReadConfig(), before);
    EXPECT_EQ(m_app.m_state.m_drives.size(), 2);
    EXPECT_EQ(m_app.m_state.m_soundFont, "/fonts/old.sf2");
    EXPECT_EQ(m_services.media.AudioOutput(), "kept");
}

TEST_F(PortSettingsTest, TheOptionsDialogOpensThePageAndItsCancelKeepsThePage)
{
    WhenUp<COptionDlg>([&](COptionDlg& options) {
        WhenUp<CPortSettingsDlg>([&](CPortSettingsDlg& dlg) {
            Click(dlg, CPortSettingsDlg::IDC_SYSTEM_FONT);
            Click(dlg, ui::IDOK);
        });
        Click(options, COptionDlg::IDC_MORE);
        Click(options, ui::IDCANCEL);
    });
    m_player.OnOptions();
    EXPECT_FALSE(ReadConfig().contains("SoundFont")) << "the page's OK stands whatever the options dialog does";
}

TEST_F(PortSettingsTest, AnAnsweredQuestionIsStoredInDrivesAtOnce)
{
    EXPECT_TRUE(m_app.SaveDrive("E", "/discs/album.cue"));
    SettingsStore store;
    EXPECT_EQ(store.ReadGroup("Drives").value("E"), "/discs/album.cue");
    EXPECT_EQ(store.ReadGroup("Drives").value("c"), "/old/win");
    EXPECT_EQ(store.Read("SoundFont"), "/fonts/old.sf2");
}

CPortSettingsDlg::Sources TwoOutputs()
{
    CPortSettingsDlg::Sources sources;
    sources.outputs = {{"pulsesink:front", "前面"}, {"pulsesink:usb", "USB"}};
    sources.systemSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    sources.checkSoundFont = [](const QString& file, QString* reason) {
        *reason = "not a SoundFont";
        return file.endsWith(".sf2");
    };
    return sources;
}

TEST(PortSettingsDlg, TheOutputsListTheDefaultFirstAndKeepAnUnpluggedChoice)
{
    testsupport::TestServices services;
    for (const QString& chosen : {QString(), QString("pulsesink:usb"), QString("pulsesink:gone")}) {
        SCOPED_TRACE(chosen.toStdString());
        CPortSettingsDlg dlg(nullptr, TwoOutputs());
        dlg.m_audioOutput = chosen;
        dlg.Create();
        auto* outputs = dlg.Item<QComboBox>(CPortSettingsDlg::IDC_OUTPUT);
        EXPECT_EQ(outputs->itemText(0), "既定の出力先");
        EXPECT_EQ(outputs->itemText(1), "前面");
        EXPECT_EQ(outputs->count(), chosen.endsWith("gone") ? 4 : 3);
        Click(dlg, ui::IDOK);
        EXPECT_EQ(dlg.m_audioOutput, chosen);
    }
    CPortSettingsDlg dlg(nullptr, TwoOutputs());
    dlg.Create();
    dlg.Item<QComboBox>(CPortSettingsDlg::IDC_OUTPUT)->setCurrentIndex(2);
    Click(dlg, ui::IDOK);
    EXPECT_EQ(dlg.m_audioOutput, "pulsesink:usb");
}

TEST(PortSettingsDlg, AFontThatDoesNotLoadIsRefusedWithAMessage)
{
    testsupport::TestServices services;
    CPortSettingsDlg dlg(nullptr, TwoOutputs());
    dlg.m_soundFont = "/fonts/good.sf2";
    dlg.Create();
    services.dialogs.Answer({"/fonts/notes.txt"});
    Click(dlg, CPortSettingsDlg::IDC_BROWSE);
    ASSERT_EQ(services.boxes.Texts().size(), 1);
    EXPECT_TRUE(services.boxes.Texts()[0].contains("/fonts/notes.txt"));
    EXPECT_TRUE(services.boxes.Texts()[0].contains("not a SoundFont"));
    EXPECT_EQ(dlg.GetDlgItemText(CPortSettingsDlg::IDC_SOUNDFONT), "/fonts/good.sf2");
    services.dialogs.Answer({"/fonts/better.sf2"});
    Click(dlg, CPortSettingsDlg::IDC_BROWSE);
    Click(dlg, ui::IDOK);
    EXPECT_EQ(dlg.m_soundFont, "/fonts/better.sf2");
    ASSERT_EQ(services.dialogs.Requests().size(), 2u);
    EXPECT_TRUE(services.dialogs.Requests()[0].filter.contains("*.sf3"));
}

TEST(PortSettingsDlg, AnAddedLetterIsOneNotTakenAndTheListShowsItInOrder)
{
    testsupport::TestServices services;
    CPortSettingsDlg::Sources sources = TwoOutputs();
    sources.cdDevices = {"/dev/sr0"};
    CPortSettingsDlg dlg(nullptr, sources);
    dlg.m_drives = {{"Q", "/discs/a.cue"}, {"", ""}};
    dlg.Create();
    WhenUp<CDriveDlg>([&](CDriveDlg& edit) {
        auto* letters = edit.Item<QComboBox>(CDriveDlg::IDC_LETTER);
        EXPECT_EQ(letters->findText("Q:"), -1);
        letters->setCurrentIndex(letters->findText("D:"));
        auto* devices = edit.Item<QComboBox>(CDriveDlg::IDC_DEVICE);
        devices->setCurrentIndex(1);
        emit devices->activated(1);
        Click(edit, ui::IDOK);
    });
    Click(dlg, CPortSettingsDlg::IDC_ADD);
    EXPECT_EQ(Rows(dlg), QStringList({"D:  /dev/sr0", "Q:  /discs/a.cue"}));
    Click(dlg, ui::IDOK);
    EXPECT_EQ(dlg.m_drives, (QMap<QString, QString>{{"D", "/dev/sr0"}, {"Q", "/discs/a.cue"}}));
}

TEST(PortSettingsDlg, EveryCaptionFitsItsControl)
{
    testsupport::TestServices services;
    CDriveDlg question(nullptr, CDriveDlg::Question{"W:", "W:\\MIDI\\曲.mid", QString("/home/me/win")}, {});
    CDriveDlg edit(nullptr, CDriveDlg::Choice{"W:", "/home/me/win", {}}, {"/dev/sr0"});
    CPortSettingsDlg page(nullptr, TwoOutputs());
    COptionDlg options;
    options.m_onMoreSettings = [](QWidget*) {};
    for (ui::CDialog* dlg : std::initializer_list<ui::CDialog*>{&question, &edit, &page, &options}) {
        dlg->Create();
        for (QWidget* child : dlg->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(dlg))
                continue;
            for (const QString& line : ui::CaptionOf(child).split(u'\n', Qt::SkipEmptyParts))
                EXPECT_LE(QFontMetrics(child->font()).horizontalAdvance(line), ui::CaptionRoom(child))
                    << dlg->Template().templateId << " " << line.toStdString();
        }
    }
}

}  // namespace
