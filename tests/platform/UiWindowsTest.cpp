// The windows the platform layer opens by itself: the help window, the file
// dialog's filter list and where a message box appears.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/ui/CFileOpenDlg.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"

namespace {

// Runs f on the modal window that the next call opens, then closes it.
template <typename F>
void WhenModal(F f)
{
    QTimer::singleShot(0, [f] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            f(modal);
            modal->close();
        }
    });
}

TEST(HelpWindow, FitsTheAvailableAreaOfItsScreen)
{
    QWidget asker;
    asker.setGeometry(500, 400, 200, 100);
    asker.show();
    ui::ShowHelp(&asker);
    QWidget* help = ui::HelpWindow();
    ASSERT_NE(help, nullptr);
    const QRect area = asker.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(help->frameGeometry()))
        << help->frameGeometry().x() << "," << help->frameGeometry().y() << " " << help->frameGeometry().width()
        << "x" << help->frameGeometry().height() << " on " << area.width() << "x" << area.height();
    EXPECT_GT(help->height(), area.height() / 2);
    ui::CloseHelp();
}

TEST(HelpWindow, EscapeClosesIt)
{
    QWidget asker;
    asker.show();
    ui::ShowHelp(&asker, ui::HelpPage::Cd);
    QPointer<QWidget> help = ui::HelpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(help.isNull());
    EXPECT_EQ(ui::HelpWindow(), nullptr);
}

TEST(FileDialogFilters, ListShowsTheDescriptionsAndKeepsThePatterns)
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Save;
    request.filter = QStringLiteral("MIDIﾌｧｲﾙ(*.mid)|*.mid|その他(*.*)|*.*||");
    QStringList shown;
    QStringList applied;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->testOption(QFileDialog::HideNameFilterDetails));
        if (auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < combo->count(); ++i)
                shown.append(combo->itemText(i));
        if (auto* model = dialog->findChild<QFileSystemModel*>())
            applied = model->nameFilters();
    });
    EXPECT_TRUE(platform::ShowFileDialog(nullptr, request).isEmpty());
    EXPECT_EQ(shown, (QStringList{QStringLiteral("MIDIﾌｧｲﾙ(*.mid)"), QStringLiteral("その他(*.*)")}));
    // The files listed are still chosen by the patterns, without regard to case.
    EXPECT_EQ(applied, QStringList{QStringLiteral("*.[mM][iI][dD]")});
}

// The open dialog lists the folder itself: descriptions in the type list,
// files by the chosen type's patterns without regard to case, folders always.
TEST(FileDialogFilters, TheOpenDialogListsFilesOfTheChosenTypeAndEveryFolder)
{
    QTemporaryDir dir;
    for (const char* name : {"a.MID", "b.mid", "c.txt", ".hidden.mid"})
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir(QStringLiteral("sub.txt"));
    const QStringList filters = platform::ToQtFilters(QStringLiteral("MIDIﾌｧｲﾙ(*.mid)|*.mid|その他(*.*)|*.*||"));
    ui::CFileOpenDlg dialog(nullptr, filters, true);
    dialog.SetFolder(QFile::encodeName(dir.path()));
    const auto listed = [&dialog] {
        QStringList texts;
        for (int row = 0; row < dialog.List()->count(); ++row)
            texts.append(dialog.List()->item(row)->text());
        return texts;
    };
    auto* types = dialog.findChild<QComboBox*>();
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(0), QStringLiteral("MIDIﾌｧｲﾙ(*.mid)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("その他(*.*)"));
    EXPECT_EQ(listed(), QStringList({"..", "sub.txt", "a.MID", "b.mid"}));
    types->setCurrentIndex(1);
    EXPECT_EQ(listed(), QStringList({"..", "sub.txt", "a.MID", "b.mid", "c.txt"}));

    dialog.List()->item(2)->setSelected(true);
    dialog.List()->item(4)->setSelected(true);
    dialog.accept();
    EXPECT_EQ(dialog.SelectedFiles(), QStringList({dir.filePath("a.MID"), dir.filePath("c.txt")}));
}

// Where the box's centre lands when it is raised with `asker`.
QPoint BoxCentre(QWidget* asker)
{
    QPoint centre;
    WhenModal([&centre](QWidget* modal) {
        if (qobject_cast<QMessageBox*>(modal))
            centre = modal->frameGeometry().center();
    });
    platform::ShowMessageBox(asker, QStringLiteral("CDが使用できません。"), platform::MB_OK);
    return centre;
}

TEST(MessageBoxPlacement, OpensOverTheWindowThatRaisedIt)
{
    QWidget owner;
    owner.setGeometry(420, 260, 300, 200);
    owner.show();
    // A dialog still setting itself up is not on screen yet: the box goes
    // over its owner, not at the corner where the unshown dialog sits.
    QDialog unshown(&owner);
    unshown.resize(280, 170);
    for (QWidget* asker : {static_cast<QWidget*>(&owner), static_cast<QWidget*>(&unshown)}) {
        const QPoint centre = BoxCentre(asker);
        EXPECT_TRUE(owner.frameGeometry().contains(centre))
            << asker->metaObject()->className() << " " << centre.x() << "," << centre.y();
    }
}

}  // namespace
