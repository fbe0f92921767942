// A file whose name on disk is Shift-JIS, as unpacked from an old archive,
// chosen in the editor's open dialog, saved in a collection with its bytes,
// and played from that collection.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/CPlayerApp.h"
#include "editor/CCollectionDlg.h"
#include "platform/drives/RealFileAccess.h"
#include "platform/mci/GstMediaWindow.h"
#include "platform/mci/Mci.h"
#include "platform/text/Cp932.h"
#include "platform/ui/CFileOpenDlg.h"
#include "platform/ui/FileDialog.h"
#include "player/CPlayerDlg.h"
#include "tests/support/FileBytes.h"
#include "tests/support/MediaMaker.h"
#include "tests/support/TestServices.h"

namespace {

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

QListWidgetItem* ItemOf(const QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

TEST(ShiftJisFileDialog, AShiftJisNameIsListedAddedSavedWithItsBytesAndPlayed)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray song = folder + '/' + text::EncodeCp932(QStringLiteral("テスト.mid"));
    const QByteArray album = folder + '/' + text::EncodeCp932(QStringLiteral("曲集"));
    ASSERT_TRUE(testsupport::WriteMidiTune(dir.filePath("made.mid"), 1500));
    ASSERT_EQ(::rename(QFile::encodeName(dir.filePath("made.mid")).constData(), song.constData()), 0);
    ASSERT_EQ(::mkdir(album.constData(), 0755), 0);
    // QTemporaryDir cannot spell these names to remove them.
    const auto removal = qScopeGuard([&] {
        ::unlink(song.constData());
        ::unlink((album + "/inner.mid").constData());
        ::rmdir(album.constData());
    });
    const int inner = ::open((album + "/inner.mid").constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(inner, 0);
    ::close(inner);
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.filePath("notes.txt"), "x"));

    testsupport::TestServices fakes;
    mci::GstMediaFactory media;
    drives::RealFileAccess files(fakes.drives);
    const QString saved = dir.filePath("chosen.lst");
    platform::ScopedServices services(platform::Services{
        &media, &fakes.cd, &fakes.drives, &files, &fakes.clock,
        [&fakes](QWidget* parent, const QString& text, unsigned type) { return fakes.boxes.Show(parent, text, type); },
        [&saved](QWidget* parent, const platform::FileDialogRequest& request) {
            return request.kind == platform::FileDialogRequest::Kind::Open ? platform::ShowFileDialog(parent, request)
                                                                           : QStringList{saved};
        },
        {}});

    CPlayerApp app;
    CCollectionDlg editor;
    editor.Create();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* open = qobject_cast<ui::CFileOpenDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(open, nullptr);
        open->SetFolder(folder);
        QListWidget* list = open->List();
        EXPECT_EQ(Texts(list), QStringList({"..", "曲集", "テスト.mid"})) << "folders first; no .txt under the MIDI filter";
        Q_EMIT list->itemActivated(ItemOf(list, "曲集"));
        EXPECT_EQ(Texts(list), QStringList({"..", "inner.mid"}));
        EXPECT_EQ(open->Folder(), album);
        Q_EMIT list->itemActivated(ItemOf(list, ".."));
        ASSERT_NE(ItemOf(list, "テスト.mid"), nullptr);
        ItemOf(list, "テスト.mid")->setSelected(true);
        shown = true;
        open->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    editor.Item<QAbstractButton>(CCollectionDlg::IDC_ADD_FILES)->click();
    ASSERT_TRUE(shown);
    ASSERT_EQ(editor.RowEntries(), QStringList{dir.filePath("テスト.mid")});
    EXPECT_EQ(editor.m_playList->topLevelItem(0)->text(0), "テスト.mid");
    editor.Item<QAbstractButton>(CCollectionDlg::IDC_SAVE_AS)->click();
    EXPECT_EQ(testsupport::ReadFileBytes(saved), song + "\r\n");

    app.m_state.m_collectionPath = saved;
    CPlayerDlg player(app.m_state, app);
    player.Create();
    player.OnPlay();
    EXPECT_EQ(player.QueryMode(), mci::kModePlaying);
    EXPECT_TRUE(fakes.boxes.Texts().isEmpty()) << fakes.boxes.Texts().join(u'|').toStdString();
    player.OnStop();
}

}  // namespace
