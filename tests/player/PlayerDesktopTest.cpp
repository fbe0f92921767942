// What the player and its dialogs do on the desktop around them: the manual
// opens at the asking window's page, "Volume..." explains a missing mixer, and
// the version box has a plain caption.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "tests/support/MemoryStateStore.h"
#include "editor/CCollectionDlg.h"
#include "options/CDriveDlg.h"
#include "options/COptionDlg.h"
#include "options/CPortSettingsDlg.h"
#include "platform/ui/Help.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"
#include "tests/support/TestServices.h"

namespace {

constexpr int kHelpButton = 57670;

void Click(ui::CDialog& dlg, int id)
{
    dlg.Item<QAbstractButton>(id)->click();
    QCoreApplication::sendPostedEvents();
}

QString HelpSource()
{
    auto* browser = qobject_cast<QTextBrowser*>(ui::HelpWindow());
    return browser ? browser->source().toString() : QString();
}

// PATH set to a folder of our own for the lifetime of the object.
class ScopedPath {
public:
    ScopedPath() : m_saved(qgetenv("PATH")) { qputenv("PATH", m_dir.path().toLocal8Bit()); }
    ~ScopedPath() { qputenv("PATH", m_saved); }
    QString Dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

class PlayerDesktopTest : public testing::Test {
protected:
    ~PlayerDesktopTest() override
    {
        ui::CloseHelp();
    }

    testsupport::TestServices m_services;
    PlayerState m_state;
    testsupport::MemoryStateStore m_store;
};

TEST_F(PlayerDesktopTest, HelpOpensAtThePageOfTheWindowThatAsked)
{
    const struct {
        const char* window;
        std::function<ui::CDialog*()> make;
        ui::HelpPage page;
    } cases[] = {
        {"player", [this] { return new CPlayerDlg(m_state, m_store); }, ui::HelpPage::Player},
        {"editor", [] { return new CCollectionDlg; }, ui::HelpPage::Collection},
        {"options", [] { return new COptionDlg; }, ui::HelpPage::Options},
        {"drive", [] { return new CDriveDlg(nullptr, CDriveDlg::Question{"C:", "C:\\a.mid", {}}, {}); },
         ui::HelpPage::Windows},
        {"settings", [] { return new CPortSettingsDlg(nullptr, {}); }, ui::HelpPage::Windows},
    };
    for (const auto& c : cases) {
        std::unique_ptr<ui::CDialog> dlg(c.make());
        dlg->Create();
        Click(*dlg, kHelpButton);
        ASSERT_NE(ui::HelpWindow(), nullptr) << c.window;
        EXPECT_EQ(ui::HelpWindow()->parentWidget(), dlg.get()) << c.window;
        EXPECT_EQ(HelpSource(), ui::HelpPageUrl(c.page)) << c.window;
        ui::CloseHelp();
    }
}

TEST_F(PlayerDesktopTest, HelpAskedAgainReturnsToTheWindowsPage)
{
    CCollectionDlg dlg;
    dlg.Create();
    Click(dlg, kHelpButton);
    auto* browser = qobject_cast<QTextBrowser*>(ui::HelpWindow());
    ASSERT_NE(browser, nullptr);
    browser->setSource(QUrl(ui::HelpPageUrl(ui::HelpPage::Contents)));
    Click(dlg, kHelpButton);
    EXPECT_EQ(ui::HelpWindow(), browser);
    EXPECT_EQ(HelpSource(), ui::HelpPageUrl(ui::HelpPage::Collection));
}

TEST_F(PlayerDesktopTest, EveryHelpPageExists)
{
    for (const ui::HelpPage page : {ui::HelpPage::Contents, ui::HelpPage::Player, ui::HelpPage::Collection,
                                    ui::HelpPage::Cd, ui::HelpPage::Options, ui::HelpPage::Windows}) {
        const QString url = ui::HelpPageUrl(page);
        EXPECT_TRUE(QFile::exists(url.mid(3))) << url.toStdString();
    }
}

TEST_F(PlayerDesktopTest, VolumeWithoutAnyMixerNamesTheProgramsTriedAndTheSetting)
{
    const QString expected = res::Text(res::text::kVolumeControlMissing);
    const struct {
        const char* configured;
        QString tried;
    } cases[] = {
        {"", QStringLiteral("pavucontrol, pavucontrol-qt, gnome-control-center")},
        {"my-mixer --sink 1", QStringLiteral("my-mixer, pavucontrol, pavucontrol-qt, gnome-control-center")},
    };
    ScopedPath emptyPath;
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    for (const auto& c : cases) {
        m_state.m_volumeControl = QString::fromUtf8(c.configured);
        m_services.boxes.Clear();
        Click(dlg, CPlayerDlg::IDC_VOLUME);
        EXPECT_EQ(m_services.boxes.Texts(), QStringList{expected.arg(c.tried)}) << c.configured;
        EXPECT_TRUE(m_services.boxes.Texts().value(0).contains(QLatin1String("VolumeControl")));
    }
}

TEST_F(PlayerDesktopTest, VolumeStartsTheFirstMixerFoundWithoutAWord)
{
    ScopedPath path;
    const QString marker = QDir(path.Dir()).filePath(QStringLiteral("started"));
    const QString mixer = QDir(path.Dir()).filePath(QStringLiteral("pavucontrol-qt"));
    QFile script(mixer);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(marker).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    Click(dlg, CPlayerDlg::IDC_VOLUME);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    for (int i = 0; i < 100 && !QFile::exists(marker); ++i)
        QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(PlayerDesktopTest, VersionBoxCaptionHasNoAccessKey)
{
    CPlayerDlg dlg(m_state, m_store);
    dlg.Create();
    QString caption;
    QTimer::singleShot(0, [&caption] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            caption = box->windowTitle();
            box->close();
        }
    });
    dlg.OnSysCommand(CPlayerDlg::IDM_ABOUTBOX);
    EXPECT_EQ(caption, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
}

}  // namespace
