// Before asking where a drive letter is, the player looks for the folders
// that hold an entry's path below the letter, and proposes the only one.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

#include "platform/drives/DriveFinder.h"
#include "platform/text/Cp932.h"

using namespace Qt::StringLiterals;
using drives::FindPlaces;
using std::chrono::steady_clock;

namespace {

const QString kSong = u"C:\\MIDI\\Song.mid"_s;
// Far above what these small trees take, so that a busy machine does not fail them.
constexpr std::chrono::milliseconds kBudget{5000};

class DriveFinderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_places.home = MakeDir(u"home"_s);
    }

    // QTemporaryDir cannot delete a name that is no UTF-8.
    void TearDown() override
    {
        for (const QByteArray& path : m_made)
            ::unlink(path.constData());
    }

    QString MakeDir(const QString& relative) const
    {
        QDir().mkpath(m_dir.filePath(relative));
        return m_dir.filePath(relative);
    }

    // folder/name made as a file (name's bytes as given); folder returned.
    QString Holding(const QString& folder, const QByteArray& name = "MIDI/Song.mid")
    {
        const QByteArray path = QFile::encodeName(m_dir.filePath(folder)) + '/' + name;
        QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/'))));
        FILE* file = std::fopen(path.constData(), "wb");
        EXPECT_NE(file, nullptr);
        if (file)
            std::fclose(file);
        m_made.push_back(path);
        return m_dir.filePath(folder);
    }

    QStringList Find(const QString& entry, int maxResults = 2) const
    {
        return drives::FindDriveFolders(entry, m_places, steady_clock::now() + std::chrono::seconds(10), maxResults);
    }

    QTemporaryDir m_dir;
    FindPlaces m_places;
    std::vector<QByteArray> m_made;
};

TEST_F(DriveFinderTest, FindsTheFolderInAParentOfTheCollectionFolder)
{
    const QString win = Holding(u"win"_s);
    m_places.collectionFolder = MakeDir(u"win/lists/old"_s);
    EXPECT_EQ(Find(kSong), QStringList{win});
}

TEST_F(DriveFinderTest, LooksTwoLevelsBelowHomeButNotThree)
{
    const QString two = Holding(u"home/a/b"_s);
    Holding(u"home/a/b/c"_s, "MIDI/Deep.mid");
    EXPECT_EQ(Find(kSong), QStringList{two});
    EXPECT_TRUE(Find(u"C:\\MIDI\\Deep.mid"_s).isEmpty());
}

TEST_F(DriveFinderTest, MatchesNamesAsThePlayerResolvesThem)
{
    const QString win = Holding(u"home/win"_s);
    const QString old = Holding(u"home/old"_s, "MIDI/" + text::EncodeCp932(u"曲.mid"));
    EXPECT_EQ(Find(u"C:\\midi\\SONG.MID"_s), QStringList{win});
    EXPECT_EQ(Find(u"C:\\MIDI\\曲.mid"_s), QStringList{old});
}

TEST_F(DriveFinderTest, ADirectoryNamedAsTheFileDoesNotCount)
{
    MakeDir(u"home/win/MIDI/Song.mid"_s);
    EXPECT_TRUE(Find(kSong).isEmpty());
}

TEST_F(DriveFinderTest, HiddenFoldersBelowHomeAreNotLookedInto)
{
    Holding(u"home/.cache"_s);
    Holding(u"home/.local/share"_s);
    EXPECT_TRUE(Find(kSong).isEmpty());
}

TEST_F(DriveFinderTest, LooksInTheSubfoldersOfEachMountParent)
{
    m_places.mountParents = {MakeDir(u"media/me"_s), MakeDir(u"mnt"_s)};
    Holding(u"media/me"_s);
    const QString disk = Holding(u"mnt/usb"_s);
    EXPECT_EQ(Find(kSong), QStringList{disk});
}

TEST_F(DriveFinderTest, OneRealFolderReachedTwiceCountsOnce)
{
    // The collection folder lies in home, and a link in home leads back to it.
    const QString win = Holding(u"home/win"_s);
    m_places.collectionFolder = win + u"/lists"_s;
    ASSERT_TRUE(QFile::link(win, m_places.home + u"/again"_s));
    ASSERT_TRUE(QFile::link(m_places.home, m_places.home + u"/win/loop"_s));

    EXPECT_EQ(Find(kSong), QStringList{win});
    EXPECT_EQ(drives::ProposeDriveTarget(kSong, m_places, kBudget), win);
}

TEST_F(DriveFinderTest, TwoPlacesAreFoundInTheOrderOfThePlacesAndNeitherIsProposed)
{
    const QString home = Holding(u"home/a"_s);
    const QString win = Holding(u"win"_s);
    m_places.collectionFolder = win + u"/lists"_s;
    EXPECT_EQ(Find(kSong), (QStringList{win, home}));
    EXPECT_EQ(Find(kSong, 1), QStringList{win});
    EXPECT_EQ(drives::ProposeDriveTarget(kSong, m_places, kBudget), std::nullopt);
}

TEST_F(DriveFinderTest, FindsNothingOnceTheDeadlineHasPassed)
{
    // Found as written in the collection folder, the file needs no listing.
    m_places.collectionFolder = Holding(u"win"_s);
    Holding(u"home/win"_s);
    EXPECT_TRUE(drives::FindDriveFolders(kSong, m_places, steady_clock::now() - std::chrono::seconds(1)).isEmpty());
}

TEST_F(DriveFinderTest, EntriesWithoutADriveLetterAndAPathFindNothing)
{
    Holding(u"home/win"_s);
    for (const QString& entry : {u"1:\\MIDI\\Song.mid"_s, u"é:\\MIDI\\Song.mid"_s, u"MIDI\\Song.mid"_s}) {
        EXPECT_TRUE(Find(entry).isEmpty()) << entry.toStdString();
        EXPECT_EQ(drives::ProposeDriveTarget(entry, m_places, kBudget), std::nullopt) << entry.toStdString();
    }
}

TEST_F(DriveFinderTest, DiscImagesAreTheCueTocAndNrgFilesOfTheFolderByName)
{
    const QString folder = MakeDir(u"discs"_s);
    for (const char* name : {"c.nrg", "b.TOC", "a.cue", "d.bin", "e.txt", "sub/f.cue"})
        Holding(u"discs"_s, name);
    EXPECT_EQ(drives::FindDiscImages(folder),
              (QStringList{folder + u"/a.cue"_s, folder + u"/b.TOC"_s, folder + u"/c.nrg"_s}));
}

TEST_F(DriveFinderTest, ACdTrackEntryIsProposedTheOnlyDiscImageOfTheCollectionFolder)
{
    const QString cdTrack = u"E:\\ CDﾄﾗｯｸ 03"_s;
    m_places.collectionFolder = MakeDir(u"lists"_s);
    Holding(u"lists"_s, "album.CUE");
    EXPECT_EQ(drives::ProposeDriveTarget(cdTrack, m_places, kBudget), m_places.collectionFolder + u"/album.CUE"_s);
    Holding(u"lists"_s, "other.toc");
    EXPECT_EQ(drives::ProposeDriveTarget(cdTrack, m_places, kBudget), std::nullopt);
}

TEST(DriveFinderPlaces, TheRunningUsersHomeAndTheFolderOfTheCollection)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", "/somewhere/me");
    const FindPlaces places = FindPlaces::ForUser(u"/lists/old/a.lst"_s);
    qputenv("HOME", home);

    EXPECT_EQ(places.collectionFolder, u"/lists/old"_s);
    EXPECT_EQ(places.home, u"/somewhere/me"_s);
    EXPECT_EQ(places.mountParents.back(), u"/mnt"_s);
    EXPECT_TRUE(FindPlaces::ForUser(u"C:\\Lists\\a.lst"_s).collectionFolder.isEmpty());
}

}  // namespace
