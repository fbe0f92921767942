// The drive map gives letters to CD devices, disc images and directories, and
// turns the "X:\..." paths of collections made on Windows into paths here.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "platform/drives/DriveMap.h"
#include "platform/drives/RealFileAccess.h"
#include "platform/text/Cp932.h"

using drives::DriveMap;

namespace {

class DriveMapTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QString MakeFile(const QString& relative) const
    {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    QString MakeDir(const QString& relative) const
    {
        QDir().mkpath(Path(relative));
        return Path(relative);
    }

    QTemporaryDir m_dir;
};

QStringList Roots(std::initializer_list<const char*> letters)
{
    QStringList roots;
    for (const char* letter : letters)
        roots.append(QString::fromLatin1(letter) + QStringLiteral(":\\"));
    return roots;
}

TEST_F(DriveMapTest, DetectedDevicesTakeLettersFromDUpwardOnePerPhysicalDrive)
{
    // /dev/cdrom is a link to /dev/sr0 on most systems: one drive, one letter.
    const QString sr0 = MakeFile(QStringLiteral("sr0"));
    const QString sr1 = MakeFile(QStringLiteral("sr1"));
    ASSERT_TRUE(QFile::link(sr0, Path(QStringLiteral("cdrom"))));

    const DriveMap map = DriveMap::Build({Path(QStringLiteral("cdrom")), sr0, sr1}, {}, {});

    EXPECT_EQ(map.LogicalDriveStrings(), Roots({"D", "E"}));
    EXPECT_EQ(map.Target(QStringLiteral("D:")), Path(QStringLiteral("cdrom")));
    EXPECT_EQ(map.Target(QStringLiteral("e")), sr1);
    EXPECT_EQ(map.GetDriveType(QStringLiteral("D:\\")), drives::DRIVE_CDROM);
    EXPECT_EQ(map.GetDriveType(QStringLiteral("E:\\")), drives::DRIVE_CDROM);
}

TEST_F(DriveMapTest, SettingsAndEnvironmentWinAndDetectedDevicesSkipTheirLettersAndDevices)
{
    const QString sr0 = MakeFile(QStringLiteral("sr0"));
    const QString sr1 = MakeFile(QStringLiteral("sr1"));
    const QString sr2 = MakeFile(QStringLiteral("sr2"));
    const QString win = MakeDir(QStringLiteral("win"));
    const QMap<QString, QString> settings{{QStringLiteral("D"), QStringLiteral("/discs/old.cue")},
                                          {QStringLiteral("F"), sr1},
                                          {QStringLiteral("c"), win},
                                          {QStringLiteral("Q"), QStringLiteral("/discs/settings.cue")}};
    const QString environment = QStringLiteral("Q=/discs/a.cue;R:=/discs/b.toc;nonsense;E=");

    const DriveMap map = DriveMap::Build({sr0, sr1, sr2}, settings, environment);

    // sr0 skips D (settings) and E (emptied by the environment); sr1 is F's
    // already; sr2 comes next.
    EXPECT_EQ(map.LogicalDriveStrings(), Roots({"C", "D", "F", "G", "H", "Q", "R"}));
    EXPECT_EQ(map.Target(QStringLiteral("G:")), sr0);
    EXPECT_EQ(map.Target(QStringLiteral("H:")), sr2);
    EXPECT_EQ(map.Target(QStringLiteral("F:")), sr1);
    EXPECT_EQ(map.Target(QStringLiteral("Q:")), QStringLiteral("/discs/a.cue"));
    EXPECT_EQ(map.Target(QStringLiteral("E:")), QString());
    EXPECT_EQ(map.GetDriveType(QStringLiteral("F:\\")), drives::DRIVE_CDROM);
    EXPECT_EQ(map.GetDriveType(QStringLiteral("C:\\")), drives::DRIVE_FIXED);
    EXPECT_EQ(map.GetDriveType(QStringLiteral("E:\\")), drives::DRIVE_NO_ROOT_DIR);
}

TEST_F(DriveMapTest, DriveTypeFollowsTheTarget)
{
    const struct {
        const char* target;
        unsigned type;
    } kCases[] = {
        {"album.cue", drives::DRIVE_CDROM},  {"ALBUM.TOC", drives::DRIVE_CDROM},
        {"album.nrg", drives::DRIVE_CDROM},  {"album.bin", drives::DRIVE_CDROM},
        {"music", drives::DRIVE_FIXED},      {"notes.txt", drives::DRIVE_NO_ROOT_DIR},
        {"missing", drives::DRIVE_NO_ROOT_DIR},
    };
    MakeDir(QStringLiteral("music"));
    MakeFile(QStringLiteral("notes.txt"));
    for (const auto& c : kCases) {
        const QString target = Path(QString::fromLatin1(c.target));
        const DriveMap map = DriveMap::Build({}, {{QStringLiteral("M"), target}}, {});
        EXPECT_EQ(map.GetDriveType(QStringLiteral("M:\\")), c.type) << c.target;
        EXPECT_EQ(map.LogicalDriveStrings().contains(QStringLiteral("M:\\")), c.type != drives::DRIVE_NO_ROOT_DIR)
            << c.target;
    }
    EXPECT_EQ(DriveMap().GetDriveType(QStringLiteral("M:\\")), drives::DRIVE_NO_ROOT_DIR);
    EXPECT_TRUE(DriveMap().LogicalDriveStrings().isEmpty());
}

TEST_F(DriveMapTest, WindowsPathsResolveThroughTheLetterIgnoringAsciiCase)
{
    const QString file = MakeFile(QStringLiteral("win/MIDI/Song One.mid"));
    MakeFile(QStringLiteral("win/MIDI/other.mid"));
    const DriveMap map = DriveMap::Build({}, {{QStringLiteral("C"), Path(QStringLiteral("win"))}}, {});

    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\MIDI\\Song One.mid")), file);
    EXPECT_EQ(map.ResolvePath(QStringLiteral("c:\\midi\\SONG ONE.MID")), file);
    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:/midi\\song one.mid")), file);
    // Missing files resolve to where they would be, spelt as written.
    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\midi\\New.mid")), Path(QStringLiteral("win/MIDI/New.mid")));
    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\none\\a.mid")), Path(QStringLiteral("win/none/a.mid")));
    // A letter that is no directory resolves to nothing.
    EXPECT_EQ(map.ResolvePath(QStringLiteral("Z:\\a.mid")), QString());
}

TEST_F(DriveMapTest, CaseFoldingIsAsciiOnlyAndPrefersAnExactSpelling)
{
    const QString lower = MakeFile(QStringLiteral("win/a.wav"));
    const QString upper = MakeFile(QStringLiteral("win/A.wav"));
    MakeFile(QStringLiteral("win/ｍｉｄｉ.mid"));
    const DriveMap map = DriveMap::Build({}, {{QStringLiteral("C"), Path(QStringLiteral("win"))}}, {});

    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\a.wav")), lower);
    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\A.wav")), upper);
    // Full-width letters are no ASCII letters: no match.
    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\ＭＩＤＩ.mid")), Path(QStringLiteral("win/ＭＩＤＩ.mid")));
}

TEST_F(DriveMapTest, PosixPathsStayAsTheyAreBackslashIncluded)
{
    const QString file = MakeFile(QStringLiteral("odd\\name.wav"));
    const DriveMap map = DriveMap::Build({}, {{QStringLiteral("C"), m_dir.path()}}, {});

    EXPECT_EQ(map.ResolvePath(file), file);
    EXPECT_TRUE(QFileInfo::exists(map.ResolvePath(file)));
    // Through the letter the backslash separates, so this names odd/name.wav.
    EXPECT_EQ(map.ResolvePath(QStringLiteral("C:\\odd\\name.wav")), Path(QStringLiteral("odd/name.wav")));
}

TEST_F(DriveMapTest, NamesKeptInShiftJisAreFoundFromTheirCharacters)
{
    const QString name = QStringLiteral("曲テスト.mid");
    const QByteArray cp932Name = text::EncodeCp932(name);
    const QByteArray dir = QFile::encodeName(MakeDir(QStringLiteral("Archive")));
    const QByteArray native = dir + '/' + cp932Name;
    FILE* created = std::fopen(native.constData(), "wb");
    ASSERT_NE(created, nullptr);
    std::fclose(created);
    // QTemporaryDir cannot delete a name that is no UTF-8.
    const std::unique_ptr<const char, void (*)(const char*)> removal(native.constData(),
                                                                      [](const char* path) { ::unlink(path); });
    const DriveMap map = DriveMap::Build({}, {{QStringLiteral("C"), m_dir.path()}}, {});

    EXPECT_EQ(map.ResolveNativePath(QStringLiteral("C:\\archive\\") + name), native);
    EXPECT_EQ(map.ResolveNativePath(QFile::decodeName(dir) + QStringLiteral("/") + name), native);

    const drives::RealFileAccess files(map);
    EXPECT_TRUE(files.Access(QStringLiteral("C:\\ARCHIVE\\") + name, platform::kAccessRead));
    EXPECT_FALSE(files.Access(QStringLiteral("C:\\ARCHIVE\\曲.mid"), platform::kAccessExists));
}

TEST_F(DriveMapTest, FileAccessFollowsTheResolvedPath)
{
    MakeFile(QStringLiteral("win/Data/Tune.MID"));
    MakeFile(QStringLiteral("plain"));
    const DriveMap map = DriveMap::Build({}, {{QStringLiteral("C"), Path(QStringLiteral("win"))}}, {});
    const drives::RealFileAccess files(map);

    EXPECT_TRUE(files.Access(QStringLiteral("c:\\data\\tune.mid"), platform::kAccessExists));
    EXPECT_TRUE(files.Access(QStringLiteral("c:\\data\\tune.mid"), platform::kAccessReadWrite));
    EXPECT_FALSE(files.Access(QStringLiteral("D:\\data\\tune.mid"), platform::kAccessExists));
    // Below a regular file nothing exists, for root too.
    EXPECT_FALSE(files.Access(Path(QStringLiteral("plain/x.wav")), platform::kAccessExists));
    EXPECT_TRUE(files.Access(Path(QStringLiteral("plain")), platform::kAccessWrite));
}

TEST_F(DriveMapTest, ADrivePluggedInAfterStartGetsALetterAtTheNextRefreshAndSettingsKeepWinning)
{
    const QString sr0 = MakeFile(QStringLiteral("sr0"));
    const QString usb = MakeFile(QStringLiteral("sr1"));
    QStringList plugged{sr0};
    int asked = 0;
    DriveMap map = DriveMap::Detecting(
        [&] {
            ++asked;
            return plugged;
        },
        {{QStringLiteral("D"), QStringLiteral("/discs/settings.cue")}}, QStringLiteral("F=/discs/env.cue"));
    EXPECT_EQ(map.LogicalDriveStrings(), Roots({"D", "E", "F"}));
    EXPECT_EQ(map.Target(QStringLiteral("E:")), sr0);
    const QString beside = MakeFile(QStringLiteral("lists/x.mid"));
    map.SetCollectionPath(Path(QStringLiteral("lists/a.lst")));

    // Plugged in: the next free letter, past the ones settings and environment
    // hold; entries of the open collection are still found beside it.
    plugged.append(usb);
    map.RefreshDetected();
    EXPECT_EQ(map.ResolvePath(QStringLiteral("x.mid")), beside);
    EXPECT_EQ(map.LogicalDriveStrings(), Roots({"D", "E", "F", "G"}));
    EXPECT_EQ(map.Target(QStringLiteral("G:")), usb);
    EXPECT_EQ(map.GetDriveType(QStringLiteral("G:\\")), drives::DRIVE_CDROM);
    EXPECT_EQ(map.Target(QStringLiteral("D:")), QStringLiteral("/discs/settings.cue"));
    EXPECT_EQ(map.Target(QStringLiteral("F:")), QStringLiteral("/discs/env.cue"));

    // Taken out again: its letter goes, the others stay.
    plugged = {usb};
    map.RefreshDetected();
    EXPECT_EQ(map.LogicalDriveStrings(), Roots({"D", "E", "F"}));
    EXPECT_EQ(map.Target(QStringLiteral("E:")), usb);
    EXPECT_EQ(asked, 3);
}

TEST_F(DriveMapTest, AMapBuiltFromAFixedListIgnoresRefresh)
{
    const QString sr0 = MakeFile(QStringLiteral("sr0"));
    DriveMap map = DriveMap::Build({sr0}, {{QStringLiteral("Q"), QStringLiteral("/discs/a.cue")}}, {});
    map.RefreshDetected();
    EXPECT_EQ(map.LogicalDriveStrings(), Roots({"D", "Q"}));
}

}  // namespace

// A relative entry, as hand-written lists and M3U files have them, is found
// as written first, then in the folder of the collection it comes from.
TEST_F(DriveMapTest, RelativeEntriesAreAlsoLookedForBesideTheirCollection)
{
    MakeFile(QStringLiteral("lists/sub/a.mid"));
    const QString besideWin = MakeFile(QStringLiteral("win/Lists/B.mid"));
    MakeFile(QStringLiteral("cwd/sub/a.mid"));
    MakeFile(QStringLiteral("lists/x.mid"));
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(MakeDir(QStringLiteral("cwd"))));
    DriveMap map = DriveMap::Build({}, {{QStringLiteral("C"), Path(QStringLiteral("win"))}}, {});
    const drives::RealFileAccess files(map);

    EXPECT_FALSE(files.Access(QStringLiteral("x.mid"), platform::kAccessExists)) << "no collection yet";
    map.SetCollectionPath(Path(QStringLiteral("lists/a.lst")));
    const struct {
        const char* entry;
        QString resolved;
    } posix[] = {
        {"x.mid", Path(QStringLiteral("lists/x.mid"))},
        {"sub/a.mid", QStringLiteral("sub/a.mid")},  // found as written, in the working folder
        {"none.mid", QStringLiteral("none.mid")},
        {"/x.mid", QStringLiteral("/x.mid")},
    };
    for (const auto& c : posix)
        EXPECT_EQ(map.ResolvePath(QString::fromUtf8(c.entry)), c.resolved) << c.entry;
    EXPECT_TRUE(files.Access(QStringLiteral("x.mid"), platform::kAccessRead));

    map.SetCollectionPath(QStringLiteral("c:\\lists\\a.lst"));
    EXPECT_EQ(map.ResolvePath(QStringLiteral("b.mid")), besideWin);
    EXPECT_EQ(map.ResolvePath(QStringLiteral("sub\\a.mid")), QStringLiteral("sub\\a.mid"));
    ASSERT_TRUE(QDir::setCurrent(cwd));
}
