// The collection editor's file commands: collection files opened and saved
// without losing what they held, whatever their encoding, path or folder.
#include "tests/editor/CollectionDlgFixture.h"

namespace {

using namespace editortest;

TEST_F(CollectionDlgTest, SavingAnUntitledCollectionAsksForANameAndAddsLst)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"C:\\MIDI\\ソ.mid", kCd03};
    dlg.Create();
    m_services.dialogs.Answer({PathOf("mine")});
    Click(dlg, CCollectionDlg::IDC_SAVE);

    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, Kind::Save);
    EXPECT_EQ(Requests()[0].filter, "ｺﾚｸｼｮﾝ(*.lst)|*.lst||");
    EXPECT_EQ(Requests()[0].defaultExt, "lst");
    EXPECT_EQ(Requests()[0].initialName, "新しいｺﾚｸｼｮﾝ");
    EXPECT_EQ(dlg.m_strPath, PathOf("mine.lst"));
    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), "mine");
    EXPECT_EQ(Read(PathOf("mine.lst")), QByteArray("C:\\MIDI\\\x83\x5C.mid\r\nE:\\ CD\xC4\xD7\xAF\xB8 03\r\n"));
    EXPECT_FALSE(dlg.m_bModified);

    Click(dlg, ui::IDOK);
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(Requests().size(), 1u);
}

// A collection whose file is called as the label of an untitled one is no
// untitled collection: it saves in place and closes without a question.
TEST_F(CollectionDlgTest, ACollectionNamedAsTheUntitledLabelSavesInPlace)
{
    CCollectionDlg dlg;
    OpenOn(dlg, kNoTitle + QStringLiteral(".lst"), "/m/a.mid\r\n/m/b.mid\r\n");
    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), kNoTitle);
    Click(dlg, ui::IDOK);
    EXPECT_TRUE(Boxes().isEmpty());

    CCollectionDlg again;
    OpenOn(again, kNoTitle + QStringLiteral(".lst"), "/m/a.mid\r\n/m/b.mid\r\n");
    SelectRows(again, {0});
    Click(again, CCollectionDlg::IDC_DELETE);
    Click(again, CCollectionDlg::IDC_SAVE);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Read(PathOf(kNoTitle + QStringLiteral(".lst"))), QByteArray("/m/b.mid\r\n"));
}

TEST_F(CollectionDlgTest, ASaveDialogCancelledChangesNothing)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"/m/a.mid"};
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_DELETE);
    Click(dlg, CCollectionDlg::IDC_SAVE);
    Click(dlg, CCollectionDlg::IDC_SAVE_AS);
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_TRUE(dlg.m_strPath.isEmpty());
    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), kNoTitle);
    EXPECT_TRUE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, ASaveInAFolderThatTakesNoNewFileOrOverAReadOnlyFileReportsAndKeepsTheOldFile)
{
    const QByteArray old = "/m/a.mid\r\n/m/b.mid\r\n";
    CCollectionDlg dlg;
    OpenOn(dlg, "old.lst", old);
    SelectRows(dlg, {0});
    Click(dlg, CCollectionDlg::IDC_DELETE);

    const collection::TempFileCreator previous = collection::SetTempFileCreator([](char*) { return -1; });
    Click(dlg, CCollectionDlg::IDC_SAVE);
    collection::SetTempFileCreator(previous);
    const collection::WriteAccess writable = collection::SetWriteAccess([](const char*) { return false; });
    Click(dlg, CCollectionDlg::IDC_SAVE);
    collection::SetWriteAccess(writable);
    EXPECT_EQ(Boxes(), QStringList({kWriteError, kWriteError}));
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(Read(PathOf("old.lst")), old);

    Click(dlg, CCollectionDlg::IDC_SAVE);
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(Read(PathOf("old.lst")), "/m/b.mid\r\n");
}

TEST_F(CollectionDlgTest, ASaveThatCannotBeWrittenKeepsTheOldFileAndTheChangeMark)
{
    const QByteArray old = "/m/a.mid\r\n/m/b.mid\r\n";
    Write("plain", "a regular file");
    CCollectionDlg dlg;
    OpenOn(dlg, "old.lst", old);
    SelectRows(dlg, {0});
    Click(dlg, CCollectionDlg::IDC_DELETE);

    const QString unwritable = PathOf("plain/new.lst");
    m_services.dialogs.Answer({unwritable});
    Click(dlg, CCollectionDlg::IDC_SAVE_AS);
    EXPECT_EQ(Boxes(), QStringList{kWriteError});
    EXPECT_EQ(dlg.m_strPath, unwritable);
    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), "new");
    EXPECT_TRUE(dlg.m_bModified);

    Click(dlg, CCollectionDlg::IDC_SAVE);
    EXPECT_EQ(Boxes(), QStringList({kWriteError, kWriteError}));
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(Read(PathOf("old.lst")), old);
    EXPECT_EQ(Read(PathOf("plain")), "a regular file");
}

TEST_F(CollectionDlgTest, ASaveOverASymbolicLinkUpdatesTheFileItPointsTo)
{
    Write("real.lst", "/m/a.mid\r\n/m/b.mid\r\n");
    ASSERT_TRUE(QFile::link(PathOf("real.lst"), PathOf("link.lst")));
    CCollectionDlg dlg;
    dlg.m_strPath = PathOf("link.lst");
    dlg.Create();
    SelectRows(dlg, {0});
    Click(dlg, CCollectionDlg::IDC_DELETE);
    Click(dlg, CCollectionDlg::IDC_SAVE);

    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_TRUE(QFileInfo(PathOf("link.lst")).isSymLink());
    EXPECT_EQ(Read(PathOf("real.lst")), "/m/b.mid\r\n");
    EXPECT_FALSE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, ARowWithALongNameMovedAndSavedComesBackWhole)
{
    const QString longEntry = "/m/" + QString(296, u'n') + ".mid";
    CCollectionDlg dlg;
    OpenOn(dlg, "long.lst", "/m/a.mid\r\n" + longEntry.toLatin1() + "\r\n");
    ASSERT_EQ(dlg.m_playList->topLevelItem(1)->text(0).size(), 300);
    SelectRows(dlg, {1});
    Click(dlg, CCollectionDlg::IDC_MOVE_UP);
    Click(dlg, CCollectionDlg::IDC_SAVE);
    EXPECT_EQ(Read(dlg.m_strPath), longEntry.toLatin1() + "\r\n/m/a.mid\r\n");
}

TEST_F(CollectionDlgTest, AUtf8CollectionIsSavedBackAsUtf8)
{
    CCollectionDlg dlg;
    OpenOn(dlg, "utf8.lst", "/音楽/曲.mid\r\n/音楽/消す.wav\r\n");
    SelectRows(dlg, {1});
    Click(dlg, CCollectionDlg::IDC_DELETE);
    Click(dlg, CCollectionDlg::IDC_SAVE);
    EXPECT_EQ(Read(dlg.m_strPath), "/音楽/曲.mid\r\n");
}

// A file keeps its encoding, and its byte order mark, through the open
// command, Save and Save As; an added name that fits changes none of them.
TEST_F(CollectionDlgTest, AFileKeepsItsFormatThroughOpenSaveAndSaveAs)
{
    const struct {
        const char* what;
        QByteArray bytes;
        QByteArray saved;  // after "/m/曲.mid" is added
    } cases[] = {
        {"UTF-8", "/音楽/a.mid\r\n", "/音楽/a.mid\r\n/m/曲.mid\r\n"},
        {"ASCII", "/m/a.mid\r\n", "/m/a.mid\r\n/m/\x8B\xC8.mid\r\n"},
        {"UTF-8 with a mark", "\xEF\xBB\xBF/m/a.mid\r\n", "\xEF\xBB\xBF/m/a.mid\r\n/m/曲.mid\r\n"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CCollectionDlg dlg;
        // The editor starts on a file of another encoding, which the open command must not carry over.
        OpenOn(dlg, QStringLiteral("start%1.lst").arg(n), c.bytes.startsWith("/m/") ? "/音/x.mid\r\n" : "/m/x.mid\r\n");
        m_services.dialogs.Answer({Write(QStringLiteral("c%1.lst").arg(n), c.bytes)});
        Click(dlg, CCollectionDlg::IDC_SELECT_COLLECTION);
        m_services.dialogs.Answer({"/m/曲.mid"});
        Click(dlg, CCollectionDlg::IDC_ADD_FILES);
        Click(dlg, CCollectionDlg::IDC_SAVE);
        EXPECT_EQ(Read(PathOf(QStringLiteral("c%1.lst").arg(n))), c.saved);
        m_services.dialogs.Answer({PathOf(QStringLiteral("as%1.lst").arg(n))});
        Click(dlg, CCollectionDlg::IDC_SAVE_AS);
        EXPECT_EQ(Read(PathOf(QStringLiteral("as%1.lst").arg(n))), c.saved);
        EXPECT_TRUE(Boxes().isEmpty());
        ++n;
    }
}

TEST_F(CollectionDlgTest, ASaveNoEncodingCanHoldNamesTheEntryAndWritesNothing)
{
    CCollectionDlg dlg;
    OpenOn(dlg, "raw.lst", "C:\\\x80.mid\r\n");
    m_services.dialogs.Answer({"/m/café.mid"});
    Click(dlg, CCollectionDlg::IDC_ADD_FILES);
    Click(dlg, CCollectionDlg::IDC_SAVE);
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].startsWith("次の曲はｼﾌﾄJISでもUTF-8でも書けないため")) << Boxes()[0].toStdString();
    EXPECT_TRUE(Boxes()[0].endsWith(dlg.RowEntries()[0]));
    EXPECT_EQ(Read(dlg.m_strPath), "C:\\\x80.mid\r\n");
    EXPECT_TRUE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, WithTheBoxClearRepeatedCdEntriesStayAndAreSaved)
{
    const QByteArray bytes = "E:\\ CD\xC4\xD7\xAF\xB8 03\r\n/m/a.wav\r\nE:\\ CD\xC4\xD7\xAF\xB8 03\r\n";
    CCollectionDlg dlg;
    OpenOn(dlg, "twice.lst", bytes);
    EXPECT_EQ(dlg.RowEntries(), QStringList({kCd03, "/m/a.wav", kCd03}));
    m_services.dialogs.Answer({PathOf("again.lst")});
    Click(dlg, CCollectionDlg::IDC_SAVE_AS);
    EXPECT_EQ(Read(PathOf("again.lst")), bytes);
}

// The editor finds the collection as the player does: through a drive
// letter, in any letter case, and under a name that is Shift-JIS on disk.
TEST_F(CollectionDlgTest, ACollectionPathIsResolvedAsThePlayerResolvesIt)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("Lists"));
    m_services.MapDrive("C:", m_dir.path());
    const QByteArray sjisName = QFile::encodeName(m_dir.path()) + "/Lists/\x83\x65\x83\x58\x83\x67.lst";  // テスト.lst
    const int fd = ::open(sjisName.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    // QTemporaryDir cannot delete a name that is no UTF-8.
    const auto removal = qScopeGuard([&sjisName] { ::unlink(sjisName.constData()); });
    ASSERT_EQ(::write(fd, "/m/a.mid\r\n", 10), 10);
    ::close(fd);
    Write("Lists/Plain.lst", "/m/b.mid\r\n");

    for (const QString& path : {QStringLiteral("c:\\lists\\PLAIN.LST"), QStringLiteral("C:\\Lists\\テスト.lst")}) {
        SCOPED_TRACE(path.toStdString());
        CCollectionDlg dlg;
        dlg.m_strPath = path;
        dlg.Create();
        ASSERT_FALSE(dlg.IsEnded());
        ASSERT_EQ(dlg.RowEntries().size(), 1);
        m_services.dialogs.Answer({"/m/c.mid"});
        Click(dlg, CCollectionDlg::IDC_ADD_FILES);
        Click(dlg, CCollectionDlg::IDC_SAVE);
        EXPECT_EQ(dlg.m_strPath, path);
    }
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(Read(PathOf("Lists/Plain.lst")), "/m/b.mid\r\n/m/c.mid\r\n");
    QFile sjis;
    ASSERT_TRUE(sjis.open(::open(sjisName.constData(), O_RDONLY), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    EXPECT_EQ(sjis.readAll(), "/m/a.mid\r\n/m/c.mid\r\n");
}

TEST_F(CollectionDlgTest, OpenWithUnsavedChangesNoKeepsAllYesThenCancelClearsOnlyTheMark)
{
    CCollectionDlg dlg;
    OpenOn(dlg, "keep.lst", "/m/a.mid\r\n/m/b.mid\r\n");
    const QString path = dlg.m_strPath;
    Click(dlg, CCollectionDlg::IDC_DELETE);

    m_services.boxes.Answer(platform::IDNO);
    Click(dlg, CCollectionDlg::IDC_SELECT_COLLECTION);
    EXPECT_EQ(Boxes(), QStringList{kAsk106});
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(dlg.m_bModified);

    m_services.boxes.Answer(platform::IDYES);
    Click(dlg, CCollectionDlg::IDC_SELECT_COLLECTION);
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, Kind::Open);
    EXPECT_EQ(Requests()[0].filter, "ｺﾚｸｼｮﾝ(*.lst)|*.lst||");
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_EQ(dlg.RowEntries(), QStringList({"/m/a.mid", "/m/b.mid"}));
    EXPECT_EQ(dlg.m_strPath, path);

    Click(dlg, ui::IDOK);
    EXPECT_EQ(Boxes().size(), 2);
    EXPECT_TRUE(dlg.IsEnded());
}

TEST_F(CollectionDlgTest, OpeningAnUnreadableFileKeepsTheRowsUnderTheNewNameForTheNextSave)
{
    CCollectionDlg dlg;
    OpenOn(dlg, "first.lst", "/m/a.mid\r\n");
    const QString chosen = PathOf("second.lst");
    m_services.dialogs.Answer({chosen});
    Click(dlg, CCollectionDlg::IDC_SELECT_COLLECTION);
    EXPECT_EQ(Boxes(), QStringList{"ｺﾚｸｼｮﾝﾌｧｲﾙの読み込みｴﾗｰです。"});
    EXPECT_EQ(dlg.RowEntries(), QStringList{"/m/a.mid"});
    EXPECT_EQ(dlg.m_strPath, chosen);
    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), "second");

    Click(dlg, CCollectionDlg::IDC_SAVE);
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Read(chosen), "/m/a.mid\r\n");
}

TEST_F(CollectionDlgTest, NewEmptiesEverythingAndTheNextSaveAsksForAName)
{
    CCollectionDlg dlg;
    OpenOn(dlg, "was.lst", "/m/a.mid\r\n");
    Click(dlg, CCollectionDlg::IDC_NEW);
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(dlg.m_playList->topLevelItemCount(), 0);
    EXPECT_TRUE(dlg.m_strPath.isEmpty());
    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), kNoTitle);

    m_services.dialogs.Answer({"/m/b.mid"});
    Click(dlg, CCollectionDlg::IDC_ADD_FILES);
    Click(dlg, CCollectionDlg::IDC_SAVE);
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_EQ(Requests()[1].kind, Kind::Save);
    EXPECT_EQ(Read(PathOf("was.lst")), "/m/a.mid\r\n");

    m_services.boxes.Answer(platform::IDYES);
    Click(dlg, CCollectionDlg::IDC_NEW);
    Click(dlg, ui::IDOK);
    EXPECT_EQ(Boxes(), QStringList{kAsk106});
    EXPECT_TRUE(dlg.m_strPath.isEmpty());
    EXPECT_TRUE(dlg.m_entries.isEmpty());
}

}  // namespace
