// Entry kinds, the CD-track forms and the split and display forms of entries.
#include <QString>
#include <gtest/gtest.h>

#include "collection/CollectionEntry.h"
#include "platform/text/Cp932.h"

using namespace Qt::StringLiterals;
using collection::EntryKind;

TEST(CollectionEntry, CdTrackWordAnywhereMakesACdTrackEntry)
{
    EXPECT_TRUE(collection::IsCdTrackEntry(u"E:\\ CDﾄﾗｯｸ 03"_s));
    EXPECT_TRUE(collection::IsCdTrackEntry(u"CDﾄﾗｯｸ 03"_s));
    EXPECT_TRUE(collection::IsCdTrackEntry(u"C:\\CDﾄﾗｯｸ集\\a.mid"_s));
    EXPECT_FALSE(collection::IsCdTrackEntry(u"C:\\CDトラック\\a.mid"_s));
    EXPECT_FALSE(collection::IsCdTrackEntry(u"cdﾄﾗｯｸ 03"_s));
    EXPECT_FALSE(collection::IsCdTrackEntry(u""_s));
}

TEST(CollectionEntry, KindFollowsTheExtensionWithoutRegardToCase)
{
    const struct {
        QString entry;
        EntryKind kind;
    } cases[] = {
        {u"C:\\a.MID"_s, EntryKind::Midi},   {u"C:\\a.mid"_s, EntryKind::Midi},
        {u"/m/a.Mid"_s, EntryKind::Midi},    {u"C:\\a.wAv"_s, EntryKind::Wave},
        {u"C:\\a.AVI"_s, EntryKind::Video},  {u"C:\\a.midi"_s, EntryKind::Other},
        {u"C:\\a"_s, EntryKind::Other},      {u"C:\\x.mid\\a"_s, EntryKind::Other},
        {u"C:\\a.mp3"_s, EntryKind::Other},  {u"C:\\a.ＭＩＤ"_s, EntryKind::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(collection::FileEntryKind(c.entry), c.kind) << c.entry.toStdString();
}

TEST(CollectionEntry, SplitFormJoinsBackToTheEntry)
{
    const struct {
        QString entry, location, name;
    } cases[] = {
        {u"\\\\server\\share\\d\\f.wav"_s, u"\\\\server\\share\\d\\"_s, u"f.wav"_s},
        {u"song.mid"_s, u""_s, u"song.mid"_s},
        {u"C:\\MIDI\\song.mid"_s, u"C:\\MIDI\\"_s, u"song.mid"_s},
        {u"C:song"_s, u"C:"_s, u"song"_s},
        {u"/home/u/曲.avi"_s, u"/home/u/"_s, u"曲.avi"_s},
        {u"E:\\ CDﾄﾗｯｸ 03"_s, u""_s, u"E:\\ CDﾄﾗｯｸ 03"_s},
        {u"C:\\CDﾄﾗｯｸ\\a.mid"_s, u""_s, u"C:\\CDﾄﾗｯｸ\\a.mid"_s},
        {u""_s, u""_s, u""_s},
    };
    for (const auto& c : cases) {
        const collection::SplitForm split = collection::SplitEntry(c.entry);
        EXPECT_EQ(split.location, c.location) << c.entry.toStdString();
        EXPECT_EQ(split.name, c.name) << c.entry.toStdString();
        EXPECT_EQ(split.location + split.name, c.entry);
    }
}

TEST(CollectionEntry, FormatsBothCdTrackForms)
{
    EXPECT_EQ(text::EncodeCp932(collection::FormatCdTrackEntry(u"E:"_s, 3)),
              QByteArray::fromHex("453A5C204344C4D7AFB8203033"));
    EXPECT_EQ(text::EncodeCp932(collection::FormatCdTrackEntry(QString(), 3)),
              QByteArray::fromHex("4344C4D7AFB8203033"));
    EXPECT_EQ(collection::FormatCdTrackEntry(u"Q:"_s, 99), u"Q:\\ CDﾄﾗｯｸ 99"_s);
}

TEST(CollectionEntry, ParsesDriveAndTrack)
{
    const struct {
        QString entry;
        std::optional<QString> drive;
        int track;
    } cases[] = {
        {u"E:\\ CDﾄﾗｯｸ 03"_s, u"E:"_s, 3},
        {u"CDﾄﾗｯｸ 12"_s, std::nullopt, 12},
        {u"CDﾄﾗｯｸ 7"_s, std::nullopt, 7},
        {u"C:\\CDﾄﾗｯｸ\\a.mid"_s, u"C:"_s, 0},
        {u"CDﾄﾗｯｸ 1曲"_s, std::nullopt, 0},  // the last two bytes are one character
        {u"曲:\\ CDﾄﾗｯｸ 03"_s, std::nullopt, 3},  // the second byte is no ':'
        {u"ｱ:\\ CDﾄﾗｯｸ 04"_s, u"ｱ:"_s, 4},
        {u"5"_s, std::nullopt, 5},
        {u""_s, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const collection::CdTrackRef ref = collection::ParseCdTrackEntry(c.entry);
        EXPECT_EQ(ref.drive, c.drive) << c.entry.toStdString();
        EXPECT_EQ(ref.track, c.track) << c.entry.toStdString();
    }
    for (int track = 1; track <= 99; ++track) {
        EXPECT_EQ(collection::ParseCdTrackEntry(collection::FormatCdTrackEntry(u"D:"_s, track)).track, track);
        EXPECT_EQ(collection::ParseCdTrackEntry(collection::FormatCdTrackEntry(QString(), track)).track, track);
    }
}

TEST(CollectionEntry, DisplayNameIsTheBaseNameOrTheWholeCdEntry)
{
    EXPECT_EQ(collection::DisplayName(u"C:\\MIDI\\song.mid"_s), u"song"_s);
    EXPECT_EQ(collection::DisplayName(u"/home/u/a.b.wav"_s), u"a.b"_s);
    EXPECT_EQ(collection::DisplayName(u"E:\\ CDﾄﾗｯｸ 03"_s), u"E:\\ CDﾄﾗｯｸ 03"_s);
    EXPECT_EQ(collection::DisplayName(u"noext"_s), u"noext"_s);
}
