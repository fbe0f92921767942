// The CD title selection dialog and the CD track picker against scripted
// drives: what they list, what they hand back, their limits and messages, and
// that no CD device stays open.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QFontMetrics>
#include <QPushButton>
#include <QTextBrowser>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/CCdTitleDlg.h"
#include "editor/CTrackPickDlg.h"
#include "platform/ui/Help.h"
#include "tests/support/TestServices.h"

using testing::ElementsAre;
using testsupport::FakeDisc;

namespace {

const QString kUnusable = QStringLiteral("CDが使用できません。");
const QString kDriveBusy = QStringLiteral("このﾄﾞﾗｲﾌﾞは現在有効でないか他で使用されています。");
const QString kCannotAddMore = QStringLiteral("これ以上追加できません。");

FakeDisc Tracks(int count)
{
    FakeDisc disc;
    disc.trackLengthsMs.assign(std::size_t(count), 60'000);
    return disc;
}

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList Highlighted(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            texts.append(list->item(i)->text());
    return texts;
}

void Highlight(QListWidget* list, const QStringList& texts)
{
    for (const QString& text : texts) {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        found.first()->setSelected(true);
    }
}

void Click(ui::CDialog& dlg, int id)
{
    dlg.Item<QAbstractButton>(id)->click();
}

// The user picks a drive in the drive box.
void ChooseDrive(CCdTitleDlg& dlg, int index)
{
    dlg.m_driveCombo->setCurrentIndex(index);
    emit dlg.m_driveCombo->activated(index);
}

// "X:\ CDﾄﾗｯｸ nn" for tracks first..last; "CDﾄﾗｯｸ nn" without a drive.
QStringList Entries(const QString& drive, int first, int last)
{
    const QString prefix = drive.isEmpty() ? QString() : drive + QStringLiteral("\\ ");
    QStringList entries;
    for (int track = first; track <= last; ++track)
        entries.append(prefix + QStringLiteral("CDﾄﾗｯｸ %1").arg(track, 2, 10, QLatin1Char('0')));
    return entries;
}

// Fills the selected list with count entries that no drive makes.
void PreSelect(CCdTitleDlg& dlg, int count)
{
    for (int i = 0; i < count; ++i)
        dlg.m_selectedList->addItem(QStringLiteral("Z:\\ filler %1").arg(i, 5, 10, QLatin1Char('0')));
}

class CdTitleDlgTest : public testing::Test {
protected:
    testsupport::TestServices m_services;
};

struct UnusableDrive {
    const char* name;
    void (*spoil)(FakeDisc&);
    QStringList leftInTrackList;  // in the title dialog, besides E:'s tracks
};

void PrintTo(const UnusableDrive& c, std::ostream* os)
{
    *os << c.name;
}

class FirstDriveUnusable : public CdTitleDlgTest, public testing::WithParamInterface<UnusableDrive> {};

TEST_P(FirstDriveUnusable, InitialisationListsTheSecondDriveWithoutAMessage)
{
    GetParam().spoil(m_services.AddCdDrive(QStringLiteral("D:"), Tracks(2)));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(3));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
    dlg.Create();

    EXPECT_FALSE(dlg.IsEnded());
    EXPECT_TRUE(m_services.boxes.Boxes().empty());
    EXPECT_EQ(dlg.m_driveCombo->currentText(), QStringLiteral("E:\\"));
    EXPECT_EQ(Texts(dlg.m_trackList), GetParam().leftInTrackList + Entries("E:", 1, 3));
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

INSTANTIATE_TEST_SUITE_P(
    CdTitleDlg, FirstDriveUnusable,
    testing::Values(UnusableDrive{"OpenFails", [](FakeDisc& d) { d.failOpen = true; }, {}},
                    UnusableDrive{"Busy", [](FakeDisc& d) { d.busy = true; }, {}},
                    UnusableDrive{"CountFails", [](FakeDisc& d) { d.failCount = true; }, {}},
                    // The tracks were listed before the close failed; they stay.
                    UnusableDrive{"CloseFails", [](FakeDisc& d) { d.failClose = true; }, Entries("D:", 1, 2)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CdTitleDlgTest, NeitherDriveUsableShowsOneMessageAndEndsWithOkAndNothing)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(2)).failOpen = true;
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(2)).failCount = true;
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};

    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kUnusable});
    EXPECT_TRUE(dlg.m_selectedEntries.isEmpty());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(CdTitleDlgTest, EntriesComeBackSortedByDriveThenTrackInUpperCase)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(4));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(12));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("d:\\"), QStringLiteral("e:\\")};
    dlg.Create();
    EXPECT_EQ(dlg.m_driveCombo->itemText(1), QStringLiteral("E:\\"));

    ChooseDrive(dlg, 1);
    Highlight(dlg.m_trackList, {QStringLiteral("E:\\ CDﾄﾗｯｸ 10"), QStringLiteral("E:\\ CDﾄﾗｯｸ 03")});
    Click(dlg, CCdTitleDlg::IDC_ADD);
    EXPECT_TRUE(Highlighted(dlg.m_trackList).isEmpty());
    ChooseDrive(dlg, 0);
    Highlight(dlg.m_trackList, {QStringLiteral("D:\\ CDﾄﾗｯｸ 01")});
    Click(dlg, CCdTitleDlg::IDC_ADD);
    Click(dlg, ui::IDOK);

    EXPECT_EQ(dlg.result(), ui::IDOK);
    EXPECT_THAT(dlg.m_selectedEntries, ElementsAre(QStringLiteral("D:\\ CDﾄﾗｯｸ 01"), QStringLiteral("E:\\ CDﾄﾗｯｸ 03"),
                                                   QStringLiteral("E:\\ CDﾄﾗｯｸ 10")));
    EXPECT_TRUE(m_services.boxes.Boxes().empty());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

// A copy of part of a disc: its tracks keep their numbers.
TEST_F(CdTitleDlgTest, ADiscBeginningAtTrack4ListsTracks4And5)
{
    FakeDisc disc = Tracks(2);
    disc.firstTrack = 4;
    m_services.AddCdDrive(QStringLiteral("D:"), disc);
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\")};
    dlg.Create();
    EXPECT_EQ(Texts(dlg.m_trackList), Entries("D:", 4, 5));
    EXPECT_TRUE(m_services.boxes.Boxes().empty());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(CdTitleDlgTest, ChoosingAnUnusableDriveShowsMessage110)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(2));
    FakeDisc& e = m_services.AddCdDrive(QStringLiteral("E:"), Tracks(3));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
    dlg.Create();

    e.busy = true;
    ChooseDrive(dlg, 1);
    EXPECT_TRUE(Texts(dlg.m_trackList).isEmpty());
    e.busy = false;
    e.failClose = true;
    ChooseDrive(dlg, 1);
    EXPECT_EQ(Texts(dlg.m_trackList), Entries("E:", 1, 3)) << "listed before the close failed";
    EXPECT_EQ(m_services.boxes.Texts(), QStringList({kDriveBusy, kDriveBusy}));
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(CdTitleDlgTest, TheDuplicateBoxStartsClearAndDecidesWhetherATrackIsAddedTwice)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(3));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(3));
    for (const bool tick : {false, true}) {
        CCdTitleDlg dlg;
        dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
        dlg.Create();
        EXPECT_FALSE(dlg.IsDlgButtonChecked(CCdTitleDlg::IDC_NO_DUPLICATES));
        if (tick)
            Click(dlg, CCdTitleDlg::IDC_NO_DUPLICATES);
        for (int i = 0; i < 2; ++i) {
            Highlight(dlg.m_trackList, {QStringLiteral("D:\\ CDﾄﾗｯｸ 02")});
            Click(dlg, CCdTitleDlg::IDC_ADD);
        }
        Click(dlg, CCdTitleDlg::IDC_ADD_ALL);
        Click(dlg, CCdTitleDlg::IDC_ALL_CDS);
        const int twos = int(Texts(dlg.m_selectedList).count(QStringLiteral("D:\\ CDﾄﾗｯｸ 02")));
        EXPECT_EQ(twos, tick ? 1 : 4) << "box ticked: " << tick;
        EXPECT_EQ(dlg.m_selectedList->count(), tick ? 6 : 11);
    }
}

TEST_F(CdTitleDlgTest, AddStopsOnceTheListHoldsMoreThan2574)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(3));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(3));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
    dlg.Create();
    PreSelect(dlg, 2574);

    Highlight(dlg.m_trackList, Entries("D:", 1, 2));
    Click(dlg, CCdTitleDlg::IDC_ADD);
    EXPECT_EQ(dlg.m_selectedList->count(), 2575) << "the test comes before each addition";
    EXPECT_EQ(Highlighted(dlg.m_trackList), Entries("D:", 2, 2)) << "the refused track stays highlighted";
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kCannotAddMore});
    EXPECT_TRUE(dlg.IsInSelectedList(QStringLiteral("D:\\ CDﾄﾗｯｸ 01")));
    EXPECT_FALSE(dlg.IsInSelectedList(QStringLiteral("D:\\ CDﾄﾗｯｸ 02")));
}

struct AddAllCase {
    int selected;
    int tracks;
    bool added;
};

void PrintTo(const AddAllCase& c, std::ostream* os)
{
    *os << c.selected << " selected, " << c.tracks << " tracks";
}

class AddAllLimit : public CdTitleDlgTest, public testing::WithParamInterface<AddAllCase> {};

TEST_P(AddAllLimit, CountsEveryListedTrack)
{
    const AddAllCase c = GetParam();
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(c.tracks));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(1));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
    dlg.Create();
    PreSelect(dlg, c.selected);

    Click(dlg, CCdTitleDlg::IDC_ADD_ALL);
    EXPECT_EQ(dlg.m_selectedList->count(), c.selected + (c.added ? c.tracks : 0));
    EXPECT_EQ(m_services.boxes.Texts(), c.added ? QStringList{} : QStringList{kCannotAddMore});
}

INSTANTIATE_TEST_SUITE_P(CdTitleDlg, AddAllLimit,
                         testing::Values(AddAllCase{2570, 5, false}, AddAllCase{2570, 4, true},
                                         AddAllCase{2574, 0, true}, AddAllCase{0, 99, true}));

TEST_F(CdTitleDlgTest, AddAllRefusesByCountEvenWhenEveryTrackIsADuplicate)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(5));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(1));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
    dlg.Create();
    Click(dlg, CCdTitleDlg::IDC_NO_DUPLICATES);
    Click(dlg, CCdTitleDlg::IDC_ADD_ALL);
    PreSelect(dlg, 2565);

    Click(dlg, CCdTitleDlg::IDC_ADD_ALL);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kCannotAddMore});
    EXPECT_EQ(dlg.m_selectedList->count(), 2570);
}

TEST_F(CdTitleDlgTest, AllTracksOfAllCdsIgnoresTheLimitAndSkipsUnusableDrivesSilently)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(3));
    FakeDisc& e = m_services.AddCdDrive(QStringLiteral("E:"), Tracks(2));
    m_services.AddCdDrive(QStringLiteral("F:"), Tracks(2)).failCount = true;
    m_services.AddCdDrive(QStringLiteral("G:"), Tracks(1));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("e:\\"), QStringLiteral("F:\\"),
                      QStringLiteral("G:\\")};
    dlg.Create();
    const QStringList trackList = Texts(dlg.m_trackList);
    PreSelect(dlg, 2574);
    e.failClose = true;

    Click(dlg, CCdTitleDlg::IDC_ALL_CDS);
    EXPECT_EQ(dlg.m_selectedList->count(), 2574 + 6);
    for (const QString& entry : Entries("D:", 1, 3) + Entries("E:", 1, 2) + Entries("G:", 1, 1))
        EXPECT_TRUE(dlg.IsInSelectedList(entry)) << entry.toStdString();
    EXPECT_EQ(Texts(dlg.m_trackList), trackList);
    EXPECT_TRUE(m_services.boxes.Boxes().empty());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(CdTitleDlgTest, RemoveTakesEveryHighlightedEntryAndRemoveAllEmptiesTheList)
{
    m_services.AddCdDrive(QStringLiteral("D:"), Tracks(6));
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(1));
    CCdTitleDlg dlg;
    dlg.m_cdDrives = {QStringLiteral("D:\\"), QStringLiteral("E:\\")};
    dlg.Create();
    Click(dlg, CCdTitleDlg::IDC_ADD_ALL);

    // Two neighbours: the second moves up into the place of the first.
    Highlight(dlg.m_selectedList, Entries("D:", 2, 3) + Entries("D:", 6, 6));
    Click(dlg, CCdTitleDlg::IDC_REMOVE);
    EXPECT_EQ(Texts(dlg.m_selectedList), Entries("D:", 1, 1) + Entries("D:", 4, 5));
    Click(dlg, CCdTitleDlg::IDC_REMOVE_ALL);
    Click(dlg, ui::IDOK);
    EXPECT_EQ(dlg.result(), ui::IDOK);
    EXPECT_TRUE(dlg.m_selectedEntries.isEmpty());
}

class TrackPickDlgTest : public testing::Test {
protected:
    testsupport::TestServices m_services;
};

TEST_F(TrackPickDlgTest, NineTracksListInOrderAndOkReturnsTheHighlightedOnes)
{
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(9));
    CTrackPickDlg dlg;
    dlg.m_driveRoot = QStringLiteral("E:\\");
    dlg.Create();
    EXPECT_EQ(Texts(dlg.m_pickList), Entries("", 1, 9));
    EXPECT_EQ(dlg.m_driveRoot, QStringLiteral("E:"));
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());

    Highlight(dlg.m_pickList, {QStringLiteral("CDﾄﾗｯｸ 05"), QStringLiteral("CDﾄﾗｯｸ 02")});
    Click(dlg, ui::IDOK);
    EXPECT_EQ(dlg.result(), ui::IDOK);
    EXPECT_THAT(dlg.m_pickedEntries, ElementsAre(QStringLiteral("CDﾄﾗｯｸ 02"), QStringLiteral("CDﾄﾗｯｸ 05")));
}

TEST_F(TrackPickDlgTest, ADiscReportingMoreThan99TracksListsTracks1To99)
{
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(120));
    CTrackPickDlg dlg;
    dlg.m_driveRoot = QStringLiteral("E:\\");
    dlg.Create();
    EXPECT_EQ(Texts(dlg.m_pickList), Entries("", 1, 99));
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(TrackPickDlgTest, ADiscBeginningAtTrack98ListsTracks98And99Only)
{
    FakeDisc disc = Tracks(3);
    disc.firstTrack = 98;
    m_services.AddCdDrive(QStringLiteral("E:"), disc);
    CTrackPickDlg dlg;
    dlg.m_driveRoot = QStringLiteral("E:\\");
    dlg.Create();
    EXPECT_EQ(Texts(dlg.m_pickList), Entries("", 98, 99));
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

TEST_F(TrackPickDlgTest, SelectAllReturnsEveryTrackAndCancelReturnsNothing)
{
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(3));
    CTrackPickDlg all;
    all.m_driveRoot = QStringLiteral("E:\\");
    all.Create();
    Click(all, CTrackPickDlg::IDC_SELECT_ALL);
    Click(all, ui::IDOK);
    EXPECT_THAT(all.m_pickedEntries,
                ElementsAre(QStringLiteral("CDﾄﾗｯｸ 01"), QStringLiteral("CDﾄﾗｯｸ 02"), QStringLiteral("CDﾄﾗｯｸ 03")));

    CTrackPickDlg cancelled;
    cancelled.m_driveRoot = QStringLiteral("E:\\");
    cancelled.Create();
    Click(cancelled, CTrackPickDlg::IDC_SELECT_ALL);
    Click(cancelled, ui::IDCANCEL);
    EXPECT_EQ(cancelled.result(), ui::IDCANCEL);
    EXPECT_TRUE(cancelled.m_pickedEntries.isEmpty());
}

class PickerDriveFails : public TrackPickDlgTest, public testing::WithParamInterface<UnusableDrive> {};

TEST_P(PickerDriveFails, ShowsMessage109OnceAndEndsWithOkAndNothing)
{
    GetParam().spoil(m_services.AddCdDrive(QStringLiteral("E:"), Tracks(4)));
    CTrackPickDlg dlg;
    dlg.m_driveRoot = QStringLiteral("E:\\");
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kUnusable});
    EXPECT_TRUE(dlg.m_pickedEntries.isEmpty());
    EXPECT_TRUE(m_services.cd.OpenDevices().empty());
}

INSTANTIATE_TEST_SUITE_P(TrackPickDlg, PickerDriveFails,
                         testing::Values(UnusableDrive{"OpenFails", [](FakeDisc& d) { d.failOpen = true; }, {}},
                                         UnusableDrive{"CountFails", [](FakeDisc& d) { d.failCount = true; }, {}},
                                         UnusableDrive{"CloseFails", [](FakeDisc& d) { d.failClose = true; }, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrackPickDlgTest, ItsHelpButtonShowsTheManual)
{
    m_services.AddCdDrive(QStringLiteral("E:"), Tracks(1));
    CTrackPickDlg dlg;
    dlg.m_driveRoot = QStringLiteral("E:\\");
    dlg.Create();
    ui::CloseHelp();
    Click(dlg, CTrackPickDlg::IDC_PICK_HELP);
    ASSERT_NE(ui::HelpWindow(), nullptr);
    EXPECT_EQ(ui::HelpWindow()->parentWidget(), &dlg);
    EXPECT_EQ(qobject_cast<QTextBrowser*>(ui::HelpWindow())->source(), QUrl(ui::HelpPageUrl(ui::HelpPage::Cd)));
    EXPECT_FALSE(dlg.IsEnded());
    ui::CloseHelp();
}

template <typename Dialog>
void ExpectCaptionsFit(Dialog& dlg)
{
    for (QWidget* child : dlg.template findChildren<QWidget*>()) {
        const QString text = ui::CaptionOf(child);
        if (text.isEmpty())
            continue;
        EXPECT_LE(QFontMetrics(child->font()).horizontalAdvance(text), ui::CaptionRoom(child)) << text.toStdString();
    }
}

TEST(CdDialogs, EveryCaptionFitsItsControl)
{
    testsupport::TestServices services;
    services.AddCdDrive(QStringLiteral("E:"), Tracks(1));
    CCdTitleDlg titles;
    titles.m_cdDrives = {QStringLiteral("E:\\")};
    titles.Create();
    ExpectCaptionsFit(titles);
    CTrackPickDlg picker;
    picker.m_driveRoot = QStringLiteral("E:\\");
    picker.Create();
    ExpectCaptionsFit(picker);
}

TEST(CdDialogPictures, EveryPictureWasDrawnForItsSizeAtBothDensities)
{
    CCdTitleDlg title;
    CTrackPickDlg pick;
    for (const ui::CDialog* dlg : {static_cast<ui::CDialog*>(&title), static_cast<ui::CDialog*>(&pick)}) {
        for (const ui::ControlSpec& control : dlg->Template().controls) {
            if (!control.image)
                continue;
            const QSize box = ui::ImageBox(control);
            EXPECT_TRUE(QFile::exists(ui::ImageFile(control.image, box))) << dlg->Template().templateId;
            EXPECT_TRUE(QFile::exists(ui::ImageFile(control.image, box, 2))) << dlg->Template().templateId;
        }
    }
}

}  // namespace
