// The collection editor against scripted file dialogs, message boxes and CD
// drives: the rows it shows, the entry commands and the questions on OK.
#include "tests/editor/CollectionDlgFixture.h"

namespace {

using namespace editortest;

TEST_F(CollectionDlgTest, EveryCaptionFitsItsControl)
{
    CCollectionDlg dlg;
    dlg.Create();
    for (QWidget* child : dlg.findChildren<QWidget*>()) {
        const QString text = ui::CaptionOf(child);
        if (text.isEmpty())
            continue;
        EXPECT_LE(QFontMetrics(child->font()).horizontalAdvance(text), ui::CaptionRoom(child)) << text.toStdString();
    }
}

TEST_F(CollectionDlgTest, ADeletedCollectionFileEndsTheEditorAtOnceWithOkAndNoEntries)
{
    CCollectionDlg dlg;
    dlg.m_strPath = PathOf("gone.lst");
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(Boxes(), QStringList{"ｺﾚｸｼｮﾝﾌｧｲﾙが開けません。"});
    EXPECT_EQ(dlg.m_strPath, PathOf("gone.lst"));
    EXPECT_TRUE(dlg.m_entries.isEmpty());
}

TEST_F(CollectionDlgTest, RowsShowNameAndLocationWithTheImageOfTheirKind)
{
    m_services.files.Set("/m/notes.txt", platform::kAccessExists);
    CCollectionDlg dlg;
    dlg.m_strPath = Write("songs.lst", QByteArray("/m/notes.txt\r\n/m/gone.txt\r\nE:\\ CD\xC4\xD7\xAF\xB8 03\r\n"
                                                  "C:\\MIDI\\b.MID\r\nplain\r\n"));
    dlg.Create();

    EXPECT_EQ(dlg.GetDlgItemText(CCollectionDlg::IDC_TITLE), "songs");
    const QTreeWidgetItem* headers = dlg.m_playList->headerItem();
    EXPECT_EQ(headers->text(0), QStringLiteral("ﾌｧｲﾙ名") + QString(25, u' '));
    EXPECT_EQ(headers->text(1), QStringLiteral("場所") + QString(27, u' '));
    const QFontMetrics metrics(dlg.m_playList->header()->font());
    for (int column = 0; column < 2; ++column)
        EXPECT_EQ(dlg.m_playList->columnWidth(column), metrics.horizontalAdvance(headers->text(column)) + 15);

    ASSERT_EQ(dlg.m_playList->topLevelItemCount(), 5);
    const struct {
        QString name, location;
        int image;
    } rows[] = {
        {"notes.txt", "/m/", dlg.m_nFileImage}, {"gone.txt", "/m/", dlg.m_nMissingImage}, {kCd03, "", dlg.m_nCdImage},
        {"b.MID", "C:\\MIDI\\", dlg.m_nMissingImage}, {"plain", "", dlg.m_nMissingImage},
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dlg.m_playList->topLevelItem(i)->text(0), rows[i].name) << i;
        EXPECT_EQ(Location(dlg, i), rows[i].location) << i;
        EXPECT_EQ(Image(dlg, i), rows[i].image) << i;
    }
    EXPECT_EQ(std::set<int>({dlg.m_nFileImage, dlg.m_nMissingImage, dlg.m_nCdImage}), std::set<int>({0, 1, 2}));
    EXPECT_EQ(dlg.m_nFileImage, 0) << "the first image is the blank document";

    Click(dlg, ui::IDOK);
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(dlg.result(), ui::IDOK);
    EXPECT_THAT(dlg.m_entries, ElementsAre("/m/notes.txt", "/m/gone.txt", kCd03, "C:\\MIDI\\b.MID", "plain"));
}

TEST_F(CollectionDlgTest, AMissingVideoShowsTheQuestionMarkUntilAnExistingOneGaveTheKindItsIcon)
{
    m_services.files.Set("/v/real.avi", platform::kAccessExists);
    CCollectionDlg dlg;
    dlg.Create();
    dlg.FillRows({"/v/before.avi", "/v/real.avi", "/v/after.AVI", "/v/gone.wav"});

    EXPECT_EQ(Image(dlg, 0), dlg.m_nMissingImage);
    EXPECT_GT(dlg.m_nAviImage, 2);
    EXPECT_EQ(Image(dlg, 1), dlg.m_nAviImage);
    EXPECT_EQ(Image(dlg, 2), dlg.m_nAviImage) << "once known, the kind's icon serves missing files too";
    EXPECT_FALSE(dlg.m_playList->topLevelItem(2)->icon(0).isNull());
    EXPECT_EQ(Image(dlg, 3), dlg.m_nMissingImage);
    EXPECT_EQ(dlg.m_nWavImage, 0);
}

struct OkCase {
    const char* name;
    bool titled;
    bool rows;
    bool deleteNothing;  // marks the change
    QString question;    // empty: none
};

void PrintTo(const OkCase& c, std::ostream* os)
{
    *os << c.name;
}

class OkQuestion : public CollectionDlgTest, public testing::WithParamInterface<OkCase> {};

TEST_P(OkQuestion, NoKeepsTheEditorOpenAndYesHandsTheRowsBack)
{
    const OkCase c = GetParam();
    CCollectionDlg dlg;
    const QStringList entries = c.rows ? QStringList{"/m/a.mid", kCd03} : QStringList{};
    if (c.titled)
        dlg.m_strPath = Write("t.lst", c.rows ? QByteArray("/m/a.mid\r\nE:\\ CD\xC4\xD7\xAF\xB8 03\r\n") : "");
    else
        dlg.m_entries = entries;
    dlg.Create();
    if (c.deleteNothing)
        Click(dlg, CCollectionDlg::IDC_DELETE);

    if (!c.question.isEmpty()) {
        m_services.boxes.Answer(platform::IDNO);
        Click(dlg, ui::IDOK);
        EXPECT_FALSE(dlg.IsEnded());
        ASSERT_EQ(Boxes(), QStringList{c.question});
        EXPECT_EQ(m_services.boxes.Boxes()[0].type & 0x0F, platform::MB_YESNO);
        m_services.boxes.Answer(platform::IDYES);
    }
    Click(dlg, ui::IDOK);
    EXPECT_TRUE(dlg.IsEnded());
    EXPECT_EQ(dlg.result(), ui::IDOK);
    EXPECT_EQ(Boxes().size(), c.question.isEmpty() ? 0 : 2);
    EXPECT_EQ(dlg.m_entries, entries);
    EXPECT_FALSE(dlg.m_bModified);
}

INSTANTIATE_TEST_SUITE_P(
    CollectionDlg, OkQuestion,
    testing::Values(OkCase{"UntitledWithRows", false, true, false, kAsk107},
                    OkCase{"UntitledEmpty", false, false, false, {}},
                    OkCase{"UntitledEmptyChanged", false, false, true, kAsk107},
                    OkCase{"TitledUnchanged", true, true, false, {}},
                    OkCase{"TitledChanged", true, true, true, kAsk106},
                    OkCase{"TitledEmptyChanged", true, false, true, kAsk106}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CollectionDlgTest, CancelNeverAsks)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"/m/a.mid"};
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_DELETE);
    Click(dlg, ui::IDCANCEL);
    EXPECT_EQ(dlg.result(), ui::IDCANCEL);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CollectionDlgTest, ViewOnlyDisablesEveryEditingControlButStillAsksOnOk)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"/m/a.mid"};
    dlg.m_bViewOnly = TRUE;
    dlg.Create();
    for (const int id : {1018, 3, 5, 11, 6, 7, 8, 9, 10, 1050})
        EXPECT_FALSE(dlg.IsControlEnabled(id)) << id;
    for (const int id : {1, 2, 57670, 1019})
        EXPECT_TRUE(dlg.IsControlEnabled(id)) << id;
    m_services.boxes.Answer(platform::IDNO);
    Click(dlg, ui::IDOK);
    EXPECT_EQ(Boxes(), QStringList{kAsk107});
    EXPECT_FALSE(dlg.IsEnded());
}

TEST_F(CollectionDlgTest, AddFilesUsesTheFilterOptionAndCancelChangesNothing)
{
    const struct {
        int filter;
        QString expected;
    } cases[] = {{0, res::LoadStr(111)}, {1, res::LoadStr(112)}, {2, res::LoadStr(113)}, {3, {}}, {-1, {}}};
    for (const auto& c : cases) {
        CCollectionDlg dlg(nullptr, c.filter);
        dlg.Create();
        Click(dlg, CCollectionDlg::IDC_ADD_FILES);
        const platform::FileDialogRequest& request = Requests().back();
        EXPECT_EQ(request.kind, Kind::Open);
        EXPECT_EQ(request.filter, c.expected) << c.filter;
        EXPECT_TRUE(request.multiSelect);
        EXPECT_TRUE(request.initialName.isEmpty());
        EXPECT_TRUE(request.defaultExt.isEmpty());
        EXPECT_EQ(dlg.m_playList->topLevelItemCount(), 0);
        EXPECT_FALSE(dlg.m_bModified);
    }
    EXPECT_TRUE(res::LoadStr(111).startsWith("MIDIﾌｧｲﾙ(*.mid)|*.mid|"));
}

TEST_F(CollectionDlgTest, AddFilesTakesEverySelectedFileHoweverLongTheirNames)
{
    QStringList paths;
    for (int i = 0; i < 80; ++i)
        paths.append(QStringLiteral("/music/%1-%2.mid").arg(i, 3, 10, QLatin1Char('0')).arg(QString(200, u'x')));
    m_services.dialogs.Answer(paths);
    CCollectionDlg dlg;
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_ADD_FILES);
    EXPECT_EQ(dlg.RowEntries(), paths);
    EXPECT_TRUE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, WithTheBoxTickedAFileAlreadyARowIsDroppedButNotTheSamePathInOtherCase)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"/m/a.mid"};
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_NO_DUPLICATES);
    EXPECT_TRUE(dlg.m_bNoDuplicates);

    m_services.dialogs.Answer({"/m/a.mid"});
    Click(dlg, CCollectionDlg::IDC_ADD_FILES);
    EXPECT_EQ(dlg.RowEntries(), QStringList{"/m/a.mid"});
    EXPECT_TRUE(dlg.m_bModified) << "marked even when every file was dropped";

    m_services.dialogs.Answer({"/m/A.mid", "/m/a.mid", "/m/b.mid"});
    Click(dlg, CCollectionDlg::IDC_ADD_FILES);
    EXPECT_EQ(dlg.RowEntries(), QStringList({"/m/a.mid", "/m/A.mid", "/m/b.mid"}));

    Click(dlg, CCollectionDlg::IDC_NO_DUPLICATES);
    m_services.dialogs.Answer({"/m/a.mid"});
    Click(dlg, CCollectionDlg::IDC_ADD_FILES);
    EXPECT_EQ(dlg.RowEntries().count("/m/a.mid"), 2);
}

TEST_F(CollectionDlgTest, OpeningWithTheBoxTickedDropsRepeatedCdEntriesOnlyAndKeepsLocations)
{
    const QString path = Write("twice.lst", "E:\\ CD\xC4\xD7\xAF\xB8 03\r\n/m/a.wav\r\nE:\\ CD\xC4\xD7\xAF\xB8 03\r\n"
                                            "/m/a.wav\r\n/n/b.wav\r\n");
    CCollectionDlg dlg;
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_NO_DUPLICATES);
    m_services.dialogs.Answer({path});
    Click(dlg, CCollectionDlg::IDC_SELECT_COLLECTION);

    EXPECT_EQ(dlg.RowEntries(), QStringList({kCd03, "/m/a.wav", "/m/a.wav", "/n/b.wav"}));
    EXPECT_EQ(Location(dlg, 3), "/n/") << "the row after a skipped entry keeps its location";
    EXPECT_FALSE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, MovesAtTheEdgesOrWithoutSelectionMoveNothingAndFocusTheList)
{
    const struct {
        const char* name;
        int selected;  // -1: none
        int id;
    } cases[] = {{"UpOnFirst", 0, CCollectionDlg::IDC_MOVE_UP},
                 {"DownOnLast", 2, CCollectionDlg::IDC_MOVE_DOWN},
                 {"UpWithoutSelection", -1, CCollectionDlg::IDC_MOVE_UP},
                 {"DownWithoutSelection", -1, CCollectionDlg::IDC_MOVE_DOWN}};
    const QStringList entries{"/m/a.mid", "/m/b.mid", "/m/c.mid"};
    for (const auto& c : cases) {
        CCollectionDlg dlg;
        dlg.m_entries = entries;
        dlg.Create();
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        if (c.selected >= 0)
            SelectRows(dlg, {c.selected});
        dlg.GetDlgItem(ui::IDOK)->setFocus();
        Click(dlg, c.id);
        EXPECT_EQ(dlg.RowEntries(), entries) << c.name;
        EXPECT_FALSE(dlg.m_bModified) << c.name;
        EXPECT_EQ(QApplication::focusWidget(), dlg.m_playList) << c.name;
    }
}

TEST_F(CollectionDlgTest, AMoveTakesTheRowWholeAndMarksTheChange)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"/m/a.mid", "/m/b.mid", kCd03};
    dlg.Create();
    SelectRows(dlg, {2});
    Click(dlg, CCollectionDlg::IDC_MOVE_UP);
    EXPECT_EQ(dlg.RowEntries(), QStringList({"/m/a.mid", kCd03, "/m/b.mid"}));
    EXPECT_EQ(Image(dlg, 1), dlg.m_nCdImage);
    EXPECT_EQ(dlg.m_playList->currentItem(), dlg.m_playList->topLevelItem(1));
    EXPECT_EQ(dlg.m_playList->selectedItems(), QList<QTreeWidgetItem*>{dlg.m_playList->topLevelItem(1)});
    EXPECT_TRUE(dlg.m_bModified);

    Click(dlg, CCollectionDlg::IDC_MOVE_DOWN);
    Click(dlg, CCollectionDlg::IDC_MOVE_DOWN);
    EXPECT_EQ(dlg.RowEntries(), QStringList({"/m/a.mid", "/m/b.mid", kCd03}));
    EXPECT_EQ(Location(dlg, 1), "/m/");
}

TEST_F(CollectionDlgTest, MovingWithTwoRowsSelectedAsksForOne)
{
    CCollectionDlg dlg;
    dlg.m_entries = {"/m/a.mid", "/m/b.mid", "/m/c.mid"};
    dlg.Create();
    SelectRows(dlg, {1, 2});
    Click(dlg, CCollectionDlg::IDC_MOVE_UP);
    EXPECT_EQ(Boxes(), QStringList{"移動する時は選択は一つにして下さい。"});
    EXPECT_EQ(dlg.RowEntries(), QStringList({"/m/a.mid", "/m/b.mid", "/m/c.mid"}));
    EXPECT_FALSE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, DeleteRemovesTheSelectedRowsAndMarksTheChangeEvenWithNoneSelected)
{
    CCollectionDlg dlg;
    OpenOn(dlg, "d.lst", "/m/a.mid\r\n/m/b.mid\r\n/m/c.mid\r\n");
    Click(dlg, CCollectionDlg::IDC_DELETE);
    EXPECT_EQ(dlg.m_playList->topLevelItemCount(), 3);
    EXPECT_TRUE(dlg.m_bModified);

    SelectRows(dlg, {0, 2});
    Click(dlg, CCollectionDlg::IDC_DELETE);
    EXPECT_EQ(dlg.RowEntries(), QStringList{"/m/b.mid"});
}

TEST_F(CollectionDlgTest, CdTracksOfTheOneDriveComeFromThePickerWithoutMarkingTheChange)
{
    m_services.AddCdDrive("E:").trackLengthsMs.assign(6, 60'000);
    CCollectionDlg dlg;
    const QByteArray bytes = "/m/a.mid\r\n";
    OpenOn(dlg, "titled.lst", bytes);
    OnModal<CTrackPickDlg>([](CTrackPickDlg& picker) {
        EXPECT_EQ(picker.m_driveRoot, "E:");
        picker.m_pickList->item(4)->setSelected(true);
        picker.m_pickList->item(1)->setSelected(true);
        picker.Item<QAbstractButton>(ui::IDOK)->click();
    });
    Click(dlg, CCollectionDlg::IDC_ADD_CD);

    EXPECT_EQ(dlg.RowEntries(), QStringList({"/m/a.mid", "CDﾄﾗｯｸ 02", "CDﾄﾗｯｸ 05"}));
    EXPECT_EQ(Image(dlg, 2), dlg.m_nCdImage);
    EXPECT_FALSE(dlg.m_bModified);
    Click(dlg, ui::IDOK);
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(dlg.m_entries, QStringList({"/m/a.mid", "CDﾄﾗｯｸ 02", "CDﾄﾗｯｸ 05"}));
    EXPECT_EQ(Read(dlg.m_strPath), bytes);
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(CollectionDlgTest, CdTracksOfSeveralDrivesComeFromTheTitleDialog)
{
    m_services.AddCdDrive("D:").trackLengthsMs.assign(1, 60'000);
    m_services.AddCdDrive("E:").trackLengthsMs.assign(3, 60'000);
    CCollectionDlg dlg;
    dlg.m_entries = {kCd03};
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_NO_DUPLICATES);
    OnModal<CCdTitleDlg>([](CCdTitleDlg& titles) {
        EXPECT_THAT(titles.m_cdDrives, ElementsAre("D:\\", "E:\\"));
        titles.Item<QAbstractButton>(CCdTitleDlg::IDC_ALL_CDS)->click();
        titles.Item<QAbstractButton>(ui::IDOK)->click();
    });
    Click(dlg, CCollectionDlg::IDC_ADD_CD);
    EXPECT_EQ(dlg.RowEntries(),
              QStringList({kCd03, "D:\\ CDﾄﾗｯｸ 01", "E:\\ CDﾄﾗｯｸ 01", "E:\\ CDﾄﾗｯｸ 02"}));
    EXPECT_FALSE(dlg.m_bModified);
}

TEST_F(CollectionDlgTest, CdTracksWithoutACdDriveShowMessage108)
{
    CCollectionDlg dlg;
    dlg.Create();
    Click(dlg, CCollectionDlg::IDC_ADD_CD);
    EXPECT_EQ(Boxes(), QStringList{"有効なCDﾄﾞﾗｲﾌﾞがありません。"});
    EXPECT_EQ(dlg.m_playList->topLevelItemCount(), 0);
}

}  // namespace
