// Collection files: the bytes written, the lines read, and saves that either
// replace the file whole or leave it alone.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "tests/support/FileBytes.h"

#include "collection/CollectionEntry.h"
#include "collection/CollectionFile.h"
#include "platform/text/Cp932.h"

using namespace Qt::StringLiterals;
using collection::ReadCollectionFile;
using collection::WriteCollectionFile;
using text::Encoding;

namespace {

class CollectionFileTest : public testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    QString WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        EXPECT_TRUE(testsupport::WriteFileBytes(PathOf(name), bytes));
        return PathOf(name);
    }

    static QByteArray ReadBytes(const QString& path) { return testsupport::ReadFileBytes(path); }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(CollectionFileTest, WritesEntriesAsShiftJisLinesEndedByCrLf)
{
    const QStringList entries{u"C:\\MIDI\\ソ.mid"_s, collection::FormatCdTrackEntry(u"E:"_s, 3)};
    Encoding written = Encoding::Utf8;
    ASSERT_TRUE(WriteCollectionFile(PathOf(u"a.lst"_s), entries, Encoding::Cp932, &written));
    EXPECT_EQ(written, Encoding::Cp932);
    EXPECT_EQ(ReadBytes(PathOf(u"a.lst"_s)),
              QByteArray("C:\\MIDI\\\x83\x5C.mid\r\n") + QByteArray::fromHex("453A5C204344C4D7AFB8203033") + "\r\n");
    EXPECT_EQ(ReadCollectionFile(PathOf(u"a.lst"_s)), entries);
}

TEST_F(CollectionFileTest, EveryLineIsAnEntry)
{
    const struct {
        QByteArray bytes;
        QStringList entries;
    } cases[] = {
        {"a\r\nb", {u"a"_s, u"b"_s}},
        {"a\r\nb\r\n", {u"a"_s, u"b"_s}},
        {"a\r\n\r\nb\r\n", {u"a"_s, u""_s, u"b"_s}},
        {"", {}},
        {"\r\n", {u""_s}},
        {"a\nb\n", {u"a"_s, u"b"_s}},
        {" a \r\n", {u" a "_s}},
        {"a\r\r\n", {u"a\r"_s}},
        {"a\rb\r\n", {u"a\rb"_s}},
        {"a\r\nb\r", {u"a"_s, u"b\r"_s}},
        {QByteArray("a\0b\r\n", 5), {QStringView(u"a\0b", 3).toString()}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadCollectionFile(WriteBytes(u"r.lst"_s, c.bytes)), c.entries) << c.bytes.toStdString();
}

TEST_F(CollectionFileTest, FilesSurviveReadAndWriteByteForByte)
{
    const QByteArray files[] = {
        "a\r\n\r\nb\r\n",
        "",
        "C:\\\x80\xA0\xFF.mid\r\n\xED\x40\r\n\x81\r\n",             // no Shift-JIS
        "/home/u/\xE6\x9B\xB2/\xC3\xA9.mid\r\n/m/\xF0\x9F\x8E\xB5.wav\r\n",  // UTF-8
        "\xEF\xBB\xBF/m/a.mid\r\n",                                      // marked UTF-8, ASCII only
        "\xEF\xBB\xBF/m/\xE6\x9B\xB2.mid\r\n\xEF\xBB\xBF\r\n",               // a mark later is a character
        "\xEF\xBB\xBF",
    };
    for (const QByteArray& bytes : files) {
        const QString path = WriteBytes(u"s.lst"_s, bytes);
        collection::CollectionFormat format;
        const std::optional<QStringList> entries = ReadCollectionFile(path, &format);
        ASSERT_TRUE(entries);
        ASSERT_EQ(WriteCollectionFile(path, *entries, &format), collection::WriteResult::Written);
        EXPECT_EQ(ReadBytes(path), bytes);
    }
}

TEST_F(CollectionFileTest, AByteOrderMarkIsNoPartOfTheFirstEntry)
{
    collection::CollectionFormat format;
    EXPECT_EQ(ReadCollectionFile(WriteBytes(u"bom.lst"_s, "\xEF\xBB\xBF/m/a.mid\r\n/m/b.mid"), &format),
              (QStringList{u"/m/a.mid"_s, u"/m/b.mid"_s}));
    EXPECT_EQ(format.encoding, Encoding::Utf8);
    EXPECT_TRUE(format.byteOrderMark);
    EXPECT_EQ(ReadCollectionFile(WriteBytes(u"bom.lst"_s, "\xEF\xBB\xBF"), &format), QStringList{});
    EXPECT_EQ(ReadCollectionFile(WriteBytes(u"bom.lst"_s, "/m/a.mid\r\n"), &format), QStringList{u"/m/a.mid"_s});
    EXPECT_FALSE(format.byteOrderMark);
}

// Whatever a save writes reads back as the entries saved: the file's own
// encoding when it holds them all, else the other, UTF-8 marked when the
// reader would take it for Shift-JIS; else nothing is written.
TEST_F(CollectionFileTest, SavedEntriesAlwaysReadBackAsSaved)
{
    const QString escaped80 = text::DecodeCp932("C:\\\x80.mid");  // a byte that is no character
    const QString escapedEd40 = text::DecodeCp932("C:\\\xED\x40.mid");  // a duplicate code
    const struct Case {
        const char* what;
        QStringList entries;
        Encoding preferred;
        QByteArray bytes;  // empty: refused
        QStringList readBack;
    } cases[] = {
        {"Shift-JIS holds all", {u"/m/曲.mid"_s, escaped80, escapedEd40}, Encoding::Utf8,
         "/m/\x8B\xC8.mid\r\nC:\\\x80.mid\r\nC:\\\xED\x40.mid\r\n", {}},
        {"UTF-8 kept for a UTF-8 file", {u"/m/曲.mid"_s}, Encoding::Utf8, "/m/\xE6\x9B\xB2.mid\r\n", {}},
        {"a duplicate code as its character", {escapedEd40, u"/m/é.mid"_s}, Encoding::Cp932,
         "C:\\\xE7\xBA\x8A.mid\r\n/m/\xC3\xA9.mid\r\n", {u"C:\\纊.mid"_s, u"/m/é.mid"_s}},
        {"a raw byte and a name Shift-JIS lacks", {escaped80, u"/m/café.mid"_s}, Encoding::Cp932, {}, {}},
        {"no line holds a line feed", {u"/m/a\nb.mid"_s}, Encoding::Cp932, {}, {}},
        {"UTF-8 read as kana unless marked", {u"/m/ý.mid"_s}, Encoding::Cp932, "\xEF\xBB\xBF/m/\xC3\xBD.mid\r\n", {}},
        {"ASCII needs no mark", {u"/m/a.mid"_s}, Encoding::Utf8, "/m/a.mid\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = WriteBytes(u"w.lst"_s, "old\r\n");
        collection::CollectionFormat format{c.preferred, false};
        qsizetype unheld = -2;
        const collection::WriteResult result = WriteCollectionFile(path, c.entries, &format, &unheld);
        if (c.bytes.isEmpty()) {
            EXPECT_EQ(result, collection::WriteResult::Unencodable);
            EXPECT_EQ(unheld, 0);
            EXPECT_EQ(ReadBytes(path), "old\r\n");
            continue;
        }
        ASSERT_EQ(result, collection::WriteResult::Written);
        EXPECT_EQ(ReadBytes(path), c.bytes);
        collection::CollectionFormat read;
        EXPECT_EQ(ReadCollectionFile(path, &read), c.readBack.isEmpty() ? c.entries : c.readBack);
        if (text::CheckUtf8(c.bytes) != text::Utf8Check::Ascii) {
            EXPECT_EQ(read.encoding, format.encoding);
        }
        EXPECT_EQ(read.byteOrderMark, format.byteOrderMark);
    }
}

// Shift-JIS that the reader would take for UTF-8 ("ﾃｩ" is the UTF-8 of "é")
// cannot hold the entry.
TEST_F(CollectionFileTest, ShiftJisTheReaderWouldTakeForUtf8IsNotWritten)
{
    const QStringList entries{u"/m/cafﾃｩ.mid"_s};
    ASSERT_EQ(text::DetectEncoding("/m/caf\xC3\xA9.mid\r"), Encoding::Utf8);
    collection::CollectionFormat format;
    ASSERT_EQ(WriteCollectionFile(PathOf(u"k.lst"_s), entries, &format), collection::WriteResult::Written);
    EXPECT_EQ(format.encoding, Encoding::Utf8);
    EXPECT_EQ(ReadCollectionFile(PathOf(u"k.lst"_s)), entries);
}

TEST_F(CollectionFileTest, LongLinesAndLineEndsAcrossReadBlocksStayWhole)
{
    for (const qsizetype length : {65534, 65535, 65536, 200001}) {
        for (const Encoding encoding : {Encoding::Cp932, Encoding::Utf8}) {
            const QStringList entries{QString(length, u'a'), QString(length / 3, u'曲'), u"b"_s};
            ASSERT_TRUE(WriteCollectionFile(PathOf(u"long.lst"_s), entries, encoding));
            Encoding read = encoding == Encoding::Utf8 ? Encoding::Cp932 : Encoding::Utf8;
            EXPECT_EQ(ReadCollectionFile(PathOf(u"long.lst"_s), &read), entries) << length;
            EXPECT_EQ(read, encoding) << length;
        }
    }
}

TEST_F(CollectionFileTest, NewFileIsUtf8OnlyWhenShiftJisCannotHoldAnEntry)
{
    const QStringList entries{u"/m/曲.mid"_s, u"/m/\U0001F3B5.wav"_s};
    Encoding written = Encoding::Cp932;
    ASSERT_TRUE(WriteCollectionFile(PathOf(u"n.lst"_s), entries, Encoding::Cp932, &written));
    EXPECT_EQ(written, Encoding::Utf8);
    EXPECT_EQ(ReadBytes(PathOf(u"n.lst"_s)), (entries.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
    Encoding read = Encoding::Cp932;
    EXPECT_EQ(ReadCollectionFile(PathOf(u"n.lst"_s), &read), entries);
    EXPECT_EQ(read, Encoding::Utf8);
}

TEST_F(CollectionFileTest, ReadFailsWhenTheFileCannotBeOpened)
{
    WriteBytes(u"plain"_s, "x");
    EXPECT_FALSE(ReadCollectionFile(PathOf(u"missing.lst"_s)));
    EXPECT_FALSE(ReadCollectionFile(m_dir.path()));
    EXPECT_FALSE(ReadCollectionFile(PathOf(u"plain/a.lst"_s)));
}

TEST_F(CollectionFileTest, OnlyARegularFileOfAtMost256MBIsRead)
{
    const QString fifo = PathOf(u"fifo.lst"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Were the FIFO opened for reading, the open would wait for a writer:
    // this one comes to end the wait, and tells.
    std::atomic<bool> done{false};
    std::atomic<bool> readerWaited{false};
    std::thread unblock([&] {
        while (!done) {
            const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                readerWaited = true;
                ::close(writer);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    EXPECT_FALSE(ReadCollectionFile(fifo));
    done = true;
    unblock.join();
    EXPECT_FALSE(readerWaited);

    const QString huge = PathOf(u"huge.lst"_s);
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize((qint64(256) << 20) + 1));  // sparse: no disk space
    }
    for (const QString& path : {u"/dev/zero"_s, u"/dev/null"_s, huge}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(ReadCollectionFile(path));
    }

    // A symbolic link is followed to the file it names.
    WriteBytes(u"a.lst"_s, "a\r\n");
    ASSERT_TRUE(QFile::link(PathOf(u"a.lst"_s), PathOf(u"link.lst"_s)));
    EXPECT_EQ(ReadCollectionFile(PathOf(u"link.lst"_s)), QStringList{u"a"_s});
}

TEST_F(CollectionFileTest, FailedWriteReportsFalseAndChangesNothing)
{
    WriteBytes(u"plain"_s, "x");
    EXPECT_FALSE(WriteCollectionFile(PathOf(u"plain/a.lst"_s), {u"a"_s}));
    EXPECT_EQ(ReadBytes(PathOf(u"plain"_s)), "x");

    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"folder.lst"_s));
    EXPECT_FALSE(WriteCollectionFile(PathOf(u"folder.lst"_s), {u"a"_s}));
    EXPECT_TRUE(QFileInfo(PathOf(u"folder.lst"_s)).isDir());
}

TEST_F(CollectionFileTest, SaveThroughASymlinkUpdatesItsTarget)
{
    const QString target = WriteBytes(u"real.lst"_s, "old\r\n");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(target, permissions));
    ASSERT_TRUE(QFile::link(u"real.lst"_s, PathOf(u"link.lst"_s)));
    ASSERT_TRUE(QFile::link(u"later.lst"_s, PathOf(u"dangling.lst"_s)));

    ASSERT_TRUE(WriteCollectionFile(PathOf(u"link.lst"_s), {u"new"_s}));
    ASSERT_TRUE(WriteCollectionFile(PathOf(u"dangling.lst"_s), {u"later"_s}));

    EXPECT_TRUE(QFileInfo(PathOf(u"link.lst"_s)).isSymLink());
    EXPECT_EQ(ReadBytes(target), "new\r\n");
    EXPECT_EQ(QFile::permissions(target) & 0x7077, permissions);
    EXPECT_TRUE(QFileInfo(PathOf(u"dangling.lst"_s)).isSymLink());
    EXPECT_EQ(ReadBytes(PathOf(u"later.lst"_s)), "later\r\n");
}

namespace {

// Every save meets a folder that takes no new file, for the guard's life.
class NoTempFiles {
public:
    NoTempFiles() : m_previous(collection::SetTempFileCreator([](char*) { return -1; })) {}
    ~NoTempFiles() { collection::SetTempFileCreator(m_previous); }

private:
    collection::TempFileCreator m_previous;
};


// Bytes that are no UTF-8 in a marked UTF-8 list are only bytes: a save
// keeps them, and never turns them into the character they would stand for
// in CP932 (ED B3 is a duplicate code there).
TEST_F(CollectionFileTest, RawBytesOfAMarkedUtf8ListStayBytesThroughASave)
{
    const QString path = WriteBytes(u"raw.lst"_s, QByteArray("\xEF\xBB\xBF/m/\xED\xB3\xD0\xA3.mid\r\n"));
    collection::CollectionFormat format;
    const std::optional<QStringList> entries = ReadCollectionFile(path, &format);
    ASSERT_TRUE(entries);
    ASSERT_EQ(WriteCollectionFile(PathOf(u"out.lst"_s), *entries, &format), collection::WriteResult::Written);
    EXPECT_EQ(ReadCollectionFile(PathOf(u"out.lst"_s)), entries);
}

}  // namespace

TEST_F(CollectionFileTest, SaveThatCannotMakeItsTemporaryFileLeavesTheOldBytes)
{
    QByteArray old;
    for (int i = 0; i < 2000; ++i)
        old += "/music/old/entry" + QByteArray::number(i) + ".mid\r\n";
    const QString path = WriteBytes(u"old.lst"_s, old);
    const QStringList longer(5000, u"/music/a much longer new entry.wav"_s);
    {
        NoTempFiles guard;
        EXPECT_FALSE(WriteCollectionFile(path, longer));
        EXPECT_FALSE(WriteCollectionFile(PathOf(u"new.lst"_s), longer));
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_FALSE(QFileInfo::exists(PathOf(u"new.lst"_s)));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"old.lst"_s});
}

TEST_F(CollectionFileTest, SaveNeverWritesIntoTheOldFile)
{
    // What a reader (or a save killed half-way) holds of the old file stays whole.
    const QString path = WriteBytes(u"a.lst"_s, "/m/old.mid\r\n");
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(WriteCollectionFile(path, {u"/m/new.mid"_s}));
    char held[64] = {};
    const ssize_t got = ::pread(reader, held, sizeof held, 0);
    ::close(reader);
    EXPECT_EQ(QByteArray(held, int(got)), "/m/old.mid\r\n");
    EXPECT_EQ(ReadBytes(path), "/m/new.mid\r\n");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.lst"_s})
        << "no temporary file is left behind";
}

TEST_F(CollectionFileTest, SaveKeepsOwnerGroupAndModeAndANewFileFollowsTheUmask)
{
    const QString path = WriteBytes(u"theirs.lst"_s, "old\r\n");
    const QByteArray native = QFile::encodeName(path);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(native.constData(), 1234, 5678), 0);
    }
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(native.constData(), &before), 0);

    ASSERT_TRUE(WriteCollectionFile(path, {u"new"_s}));
    struct stat after {};
    ASSERT_EQ(::stat(native.constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    if (root) {
        EXPECT_EQ(after.st_uid, 1234u);
    }

    const mode_t mask = ::umask(022);
    ::umask(022);
    ASSERT_TRUE(WriteCollectionFile(PathOf(u"fresh.lst"_s), {u"x"_s}));
    ::umask(mask);
    struct stat fresh {};
    ASSERT_EQ(::stat(QFile::encodeName(PathOf(u"fresh.lst"_s)).constData(), &fresh), 0);
    EXPECT_EQ(fresh.st_mode & 07777, 0644u);
}

namespace {

// Saves meet files the user may not write, for the guard's life.
class ReadOnlyFiles {
public:
    ReadOnlyFiles() : m_previous(collection::SetWriteAccess([](const char*) { return false; })) {}
    ~ReadOnlyFiles() { collection::SetWriteAccess(m_previous); }

private:
    collection::WriteAccess m_previous;
};

// A save killed after it made its temporary file: the file stays, its name
// is kept in s_left.
QList<QByteArray> s_left;
int CreateAndDie(char* nameTemplate)
{
    const int fd = ::mkstemp(nameTemplate);
    if (fd >= 0) {
        ::close(fd);
        s_left.append(nameTemplate);
    }
    return -1;
}

void AnHourAgo(const QByteArray& path)
{
    struct timespec times[2] = {};
    times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - 3600;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
}

QStringList Hidden(const QString& folder)
{
    QStringList names = QDir(folder).entryList({u".*"_s}, QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

}  // namespace

TEST_F(CollectionFileTest, AFileTheUserMayNotWriteIsNotReplaced)
{
    const QString path = WriteBytes(u"read-only.lst"_s, "/m/old.mid\r\n");
    {
        ReadOnlyFiles guard;
        EXPECT_FALSE(WriteCollectionFile(path, {u"/m/new.mid"_s}));
        EXPECT_TRUE(WriteCollectionFile(PathOf(u"new.lst"_s), {u"/m/new.mid"_s})) << "a new file asks nothing";
    }
    EXPECT_EQ(ReadBytes(path), "/m/old.mid\r\n");
    EXPECT_TRUE(Hidden(m_dir.path()).isEmpty());
    EXPECT_TRUE(WriteCollectionFile(path, {u"/m/new.mid"_s}));
    EXPECT_EQ(ReadBytes(path), "/m/new.mid\r\n");
}

TEST_F(CollectionFileTest, NamesUpToTheLongestTheFileSystemTakesSave)
{
    for (const int length : {249, 255}) {
        const QString name = QString(length - 4, u'a') + u".lst"_s;
        const QString path = PathOf(name);
        ASSERT_TRUE(WriteCollectionFile(path, {u"/m/a.mid"_s})) << length;
        ASSERT_TRUE(WriteCollectionFile(path, {u"/m/b.mid"_s})) << length;
        EXPECT_EQ(ReadBytes(path), "/m/b.mid\r\n");
    }
    EXPECT_TRUE(Hidden(m_dir.path()).isEmpty());
}

TEST_F(CollectionFileTest, ASaveRemovesWhatKilledSavesOfTheSameFileLeft)
{
    const QString path = WriteBytes(u"a.lst"_s, "/m/old.mid\r\n");
    s_left.clear();
    const collection::TempFileCreator previous = collection::SetTempFileCreator(CreateAndDie);
    EXPECT_FALSE(WriteCollectionFile(path, {u"/m/1.mid"_s}));
    EXPECT_FALSE(WriteCollectionFile(path, {u"/m/2.mid"_s}));
    EXPECT_FALSE(WriteCollectionFile(PathOf(u"b.lst"_s), {u"/m/3.mid"_s}));
    collection::SetTempFileCreator(previous);
    ASSERT_EQ(s_left.size(), 3);
    ASSERT_EQ(Hidden(m_dir.path()).size(), 3);
    for (const QByteArray& left : s_left)
        EXPECT_LE(QFileInfo(QFile::decodeName(left)).fileName().toUtf8().size(), 40) << left.constData();
    // Two were left before this run began; one is a save of this run, as
    // another instance might be making now.
    AnHourAgo(s_left.at(0));
    AnHourAgo(s_left.at(2));
    // Of the same pattern, but not mkstemp's.
    const QString lookalike = QFile::decodeName(s_left.at(0)).chopped(6) + u"toolong"_s;
    WriteBytes(QFileInfo(lookalike).fileName(), "keep");
    AnHourAgo(QFile::encodeName(lookalike));

    ASSERT_TRUE(WriteCollectionFile(path, {u"/m/new.mid"_s}));
    EXPECT_EQ(ReadBytes(path), "/m/new.mid\r\n");
    QStringList kept;
    for (int i : {1, 2})
        kept.append(QFileInfo(QFile::decodeName(s_left.at(i))).fileName());
    kept.append(QFileInfo(lookalike).fileName());
    kept.sort();
    EXPECT_EQ(Hidden(m_dir.path()).join(u" "_s).toStdString(), kept.join(u" "_s).toStdString())
        << "only the stale one of this file went";
}
