// SIGINT and SIGTERM end the program through ui::RequestQuit: every open
// dialog is cancelled innermost first, then the main window, and nothing
// opens afterwards.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/ui/CDialog.h"
#include "platform/ui/CFileOpenDlg.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Quit.h"

namespace {

constexpr ui::ControlSpec kControls[] = {
    {1, ui::ControlKind::DefPushButton, "OK", 10, 10, 50, 14},
};
const ui::DialogSpec kTemplate{900, "Test", 120, 60, kControls};

// A dialog that logs its cancel and runs `inside` once it is open.
class LoggingDialog : public ui::CDialog {
public:
    LoggingDialog(QString name, QStringList& log, std::function<void()> inside, QWidget* parent = nullptr)
        : CDialog(kTemplate, parent), m_name(std::move(name)), m_log(log), m_inside(std::move(inside))
    {
    }

    bool m_refuseCancel = false;

protected:
    BOOL OnInitDialog() override
    {
        m_log.append(m_name + QStringLiteral(" init"));
        if (m_inside)
            QTimer::singleShot(0, this, m_inside);
        return TRUE;
    }
    void OnCancel() override
    {
        m_log.append(m_name + QStringLiteral(" cancel"));
        if (!m_refuseCancel)
            CDialog::OnCancel();
    }

private:
    QString m_name;
    QStringList& m_log;
    std::function<void()> m_inside;
};

class QuitTest : public testing::Test {
public:
    void SetUp() override { m_scope.emplace(platform::Services{}); }
    void TearDown() override { ui::ClearQuitRequest(); }

    // Requests the quit once a widget of type T is the innermost dialog.
    template <typename T>
    static void QuitWhenOpen(QDialog* mainWindow)
    {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, mainWindow] {
            QWidget* modal = QApplication::activeModalWidget();
            if (dynamic_cast<T*>(modal) && modal != mainWindow) {
                poll->deleteLater();
                ui::RequestQuit(mainWindow);
            }
        });
        poll->start(10);
    }

    std::optional<platform::ScopedServices> m_scope;
    QStringList m_log;
};

TEST_F(QuitTest, AMessageBoxGivesItsCancelAnswerThenTheMainWindowIsCancelled)
{
    int answer = 0;
    LoggingDialog* mainWindow = nullptr;
    LoggingDialog main(QStringLiteral("main"), m_log, [&] {
        answer = platform::AfxMessageBox(QStringLiteral("question"), platform::MB_OKCANCEL, mainWindow);
        m_log.append(QStringLiteral("box returned"));
    });
    mainWindow = &main;
    QuitWhenOpen<QMessageBox>(&main);

    EXPECT_EQ(main.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(answer, platform::IDCANCEL);
    EXPECT_EQ(m_log.join(u',').toStdString(), "main init,box returned,main cancel");
}

TEST_F(QuitTest, NestedDialogsAreCancelledInnermostFirstAndAFileDialogGivesNoFile)
{
    QStringList files{QStringLiteral("untouched")};
    int inner = 0;
    LoggingDialog* mainWindow = nullptr;
    LoggingDialog main(QStringLiteral("main"), m_log, [&] {
        LoggingDialog editor(QStringLiteral("editor"), m_log, [&] {
            files = platform::AfxFileDialog(mainWindow, platform::FileDialogRequest{});
            m_log.append(QStringLiteral("file dialog returned"));
        }, mainWindow);
        inner = editor.DoModal();
    });
    mainWindow = &main;
    QuitWhenOpen<ui::CFileOpenDlg>(&main);

    EXPECT_EQ(main.DoModal(), ui::IDCANCEL);
    EXPECT_TRUE(files.isEmpty());
    EXPECT_EQ(inner, ui::IDCANCEL);
    EXPECT_EQ(m_log.join(u',').toStdString(), "main init,editor init,file dialog returned,editor cancel,main cancel");
}

TEST_F(QuitTest, AfterTheRequestNothingOpensAndEveryBoxGivesItsCancelAnswer)
{
    int shown = 0;
    platform::GetServices().messageBox = [&shown](QWidget*, const QString&, unsigned) { return ++shown, platform::IDYES; };
    platform::GetServices().fileDialog = [&shown](QWidget*, const platform::FileDialogRequest&) {
        ++shown;
        return QStringList{QStringLiteral("/a.mid")};
    };
    ui::RequestQuit(nullptr);

    EXPECT_EQ(platform::AfxMessageBox(QStringLiteral("t"), platform::MB_OK), platform::IDOK);
    EXPECT_EQ(platform::AfxMessageBox(QStringLiteral("t"), platform::MB_YESNO | platform::MB_ICONQUESTION),
              platform::IDNO);
    EXPECT_EQ(platform::AfxMessageBox(QStringLiteral("t"), platform::MB_YESNOCANCEL), platform::IDCANCEL);
    EXPECT_EQ(platform::AfxMessageBox(QStringLiteral("t"), platform::MB_OKCANCEL), platform::IDCANCEL);
    EXPECT_TRUE(platform::AfxFileDialog(nullptr, platform::FileDialogRequest{}).isEmpty());
    LoggingDialog dialog(QStringLiteral("late"), m_log, {});
    EXPECT_EQ(dialog.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(m_log.isEmpty()) << m_log.join(u',').toStdString();
}

// Leaving every event loop is for good, so this runs in a process of its own.
TEST(QuitDeathTest, ADialogThatRefusesToEndIsLeftWithTheMainWindowAfterAWhile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::ScopedServices scope(platform::Services{});
            QStringList log;
            LoggingDialog* mainWindow = nullptr;
            LoggingDialog main(QStringLiteral("main"), log, [&] {
                LoggingDialog stubborn(QStringLiteral("stubborn"), log, {}, mainWindow);
                stubborn.m_refuseCancel = true;
                stubborn.DoModal();
                log.append(QStringLiteral("stubborn returned"));
            });
            mainWindow = &main;
            QuitTest::QuitWhenOpen<LoggingDialog>(&main);
            // Left well within this, or the process fails.
            QTimer::singleShot(5000, [] { std::_Exit(2); });
            main.DoModal();
            const bool left = log.contains(QStringLiteral("stubborn cancel"))
                              && log.endsWith(QStringLiteral("stubborn returned"));
            std::exit(left ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
