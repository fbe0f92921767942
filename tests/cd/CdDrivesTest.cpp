// The CD drive list, the default CD drive, track lengths and the track count
// of a listing, against the drive map and scripted CD drives.
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cd/CdDrives.h"
#include "cd/CdTrackListing.h"
#include "res/Strings.h"
#include "tests/support/TestServices.h"

using testing::ElementsAre;
using testsupport::FakeDisc;

namespace {

FakeDisc TwelveTracks()
{
    FakeDisc disc;
    disc.trackLengthsMs = {180'000, 200'000, 190'000, 210'000, 170'000, 220'000,
                           160'000, 230'000, 150'000, 240'000, 140'000, 250'000};
    return disc;
}

TEST(CdDriveList, KeepsTheOrderOfTheDrivesAndLeavesOutThoseThatAreNoCd)
{
    QTemporaryDir dir;
    testsupport::TestServices services;
    services.AddCdDrive(QStringLiteral("Q:"));
    services.MapDrive(QStringLiteral("C:"), dir.path());
    services.AddCdDrive(QStringLiteral("E:"));
    services.MapDrive(QStringLiteral("F:"), dir.filePath(QStringLiteral("missing")));

    QStringList roots{QStringLiteral("kept")};
    EXPECT_EQ(cd::GetCdDriveList(roots), TRUE);
    EXPECT_THAT(roots, ElementsAre(QStringLiteral("kept"), QStringLiteral("E:\\"), QStringLiteral("Q:\\")));

    QString drive;
    EXPECT_EQ(cd::GetFirstCdDrive(drive), TRUE);
    EXPECT_EQ(drive, QStringLiteral("E:"));
    EXPECT_TRUE(services.boxes.Boxes().empty());
}

TEST(CdDriveList, WithoutCdDrivesTheListIsEmptyAndTheFirstDriveFailsWithMessage108)
{
    QTemporaryDir dir;
    testsupport::TestServices services;
    services.MapDrive(QStringLiteral("C:"), dir.path());

    QStringList roots;
    EXPECT_EQ(cd::GetCdDriveList(roots), TRUE);
    EXPECT_TRUE(roots.isEmpty());

    QString drive = QStringLiteral("unchanged");
    EXPECT_EQ(cd::GetFirstCdDrive(drive), FALSE);
    EXPECT_EQ(drive, QStringLiteral("unchanged"));
    ASSERT_EQ(services.boxes.Boxes().size(), 1u);
    EXPECT_EQ(services.boxes.Boxes()[0].text, QStringLiteral("有効なCDﾄﾞﾗｲﾌﾞがありません。"));
    EXPECT_EQ(services.boxes.Boxes()[0].type, platform::MB_OK);
}

TEST(CdDriveList, WithoutADriveMapTheQueryFails)
{
    platform::ScopedServices none{platform::Services{}};
    QStringList roots{QStringLiteral("kept")};
    EXPECT_EQ(cd::GetCdDriveList(roots), FALSE);
    EXPECT_THAT(roots, ElementsAre(QStringLiteral("kept")));
}

TEST(CdTrackLength, RunsToTheNextTrackAndTheLastOneComesFromTheLengthQuery)
{
    testsupport::TestServices services;
    FakeDisc& disc = services.AddCdDrive(QStringLiteral("E:"), TwelveTracks());
    const mci::DeviceId id = *services.cd.Open(QStringLiteral("E:"));

    services.cd.ClearCalls();
    EXPECT_EQ(cd::GetCdTrackLength(id, 3), 190'000);
    EXPECT_EQ(services.cd.Calls(), QStringList({QStringLiteral("Status 1 tracks"), QStringLiteral("Status 1 position 3"),
                                                QStringLiteral("Status 1 position 4")}));

    // The length query alone answers for the last track: a different answer
    // than the difference of positions would give shows which was asked.
    services.cd.ClearCalls();
    EXPECT_EQ(cd::GetCdTrackLength(id, 12), 250'000);
    EXPECT_EQ(services.cd.Calls(),
              QStringList({QStringLiteral("Status 1 tracks"), QStringLiteral("Status 1 length 12")}));

    EXPECT_EQ(cd::GetCdTrackLength(id, 13), -1);
    EXPECT_EQ(cd::GetCdTrackLength(id, 0), -1);
    EXPECT_EQ(cd::GetCdTrackLength(id + 1, 1), -1);

    disc.failPosition = true;
    EXPECT_EQ(cd::GetCdTrackLength(id, 3), -1);
    EXPECT_EQ(cd::GetCdTrackLength(id, 12), 250'000);
    disc.failLength = true;
    EXPECT_EQ(cd::GetCdTrackLength(id, 12), -1);
    disc.failCount = true;
    disc.failPosition = disc.failLength = false;
    EXPECT_EQ(cd::GetCdTrackLength(id, 3), -1);
    services.cd.Close(id);
}

// Tracks 4 to 7 of a disc, as a copy of part of it holds them: a track is
// asked for by its number on the disc.
TEST(CdTrackLength, ADiscBeginningPastTrack1AnswersForItsOwnNumbers)
{
    testsupport::TestServices services;
    FakeDisc disc;
    disc.trackLengthsMs = {180'000, 200'000, 190'000, 210'000};
    disc.firstTrack = 4;
    disc.firstTrackStartMs = 2'000;
    services.AddCdDrive(QStringLiteral("E:"), disc);
    const mci::DeviceId id = *services.cd.Open(QStringLiteral("E:"));

    EXPECT_EQ(cd::GetCdFirstTrack(id), 4);
    const struct {
        int track;
        long length;
    } cases[] = {{1, -1}, {2, -1}, {3, -1}, {4, 180'000}, {5, 200'000}, {6, 190'000}, {7, 210'000}, {8, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(cd::GetCdTrackLength(id, c.track), c.length) << c.track;

    // The last track still comes from the length query.
    services.cd.ClearCalls();
    EXPECT_EQ(cd::GetCdTrackLength(id, 7), 210'000);
    EXPECT_TRUE(services.cd.Calls().contains(QStringLiteral("Status 1 length 7")));
    EXPECT_FALSE(services.cd.Calls().contains(QStringLiteral("Status 1 position 8")));
    services.cd.Close(id);
}

TEST(CdTrackListing, ListsTheTracksByTheirNumbersOnTheDisc)
{
    const struct {
        int first;
        int count;
        std::vector<int> listed;
    } cases[] = {{1, 3, {1, 2, 3}}, {4, 2, {4, 5}}, {98, 3, {98, 99}}, {4, 0, {}}};
    for (const auto& c : cases) {
        testsupport::TestServices services;
        FakeDisc disc;
        disc.trackLengthsMs.assign(std::size_t(c.count), 60'000);
        disc.firstTrack = c.first;
        services.AddCdDrive(QStringLiteral("E:"), disc);
        std::vector<int> listed;
        EXPECT_EQ(cd::ListCdTracks(QStringLiteral("E:"), [&listed](int track) { listed.push_back(track); }),
                  cd::TrackListing::Listed);
        EXPECT_EQ(listed, c.listed) << "first " << c.first;
        EXPECT_TRUE(services.cd.OpenDevices().empty());
    }
}

TEST(CdTrackCount, ClosesEveryDeviceItOpened)
{
    struct Case {
        const char* name;
        void (*script)(FakeDisc&);
        std::optional<int> count;
        bool opened;
    };
    const Case kCases[] = {
        {"usable", [](FakeDisc&) {}, 12, true},
        {"open fails", [](FakeDisc& d) { d.failOpen = true; }, std::nullopt, false},
        {"busy", [](FakeDisc& d) { d.busy = true; }, std::nullopt, false},
        {"count fails", [](FakeDisc& d) { d.failCount = true; }, std::nullopt, true},
        {"no disc", [](FakeDisc& d) { d.present = false; }, std::nullopt, true},
        {"close fails", [](FakeDisc& d) { d.failClose = true; }, std::nullopt, true},
    };
    for (const Case& c : kCases) {
        testsupport::TestServices services;
        c.script(services.AddCdDrive(QStringLiteral("E:"), TwelveTracks()));

        EXPECT_EQ(cd::CountCdTracks(QStringLiteral("E:\\")), c.count) << c.name;
        EXPECT_TRUE(services.cd.OpenDevices().empty()) << c.name;
        EXPECT_EQ(services.cd.Calls().contains(QStringLiteral("Close 1")), c.opened) << c.name;
    }
}

}  // namespace
