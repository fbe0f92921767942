// The settings file: first start, reading rules, history saving and the
// most-recently-used list.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>

#include "app/CPlayerApp.h"
#include "app/IniText.h"
#include "app/SettingsStore.h"
#include "platform/Services.h"
#include "tests/support/TestServices.h"

namespace {

QString ConfigDir()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenda");
}

QString ConfigFile()
{
    return ConfigDir() + QStringLiteral("/Lirabox.conf");
}

QSettings RawSettings()
{
    return QSettings(ConfigFile(), QSettings::IniFormat);
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(ConfigFile());
        QDir(ConfigDir()).removeRecursively();
    }
    void TearDown() override { SetUp(); }

    testsupport::TestServices m_services;
};

TEST_F(SettingsTest, FirstStartWritesTheFiveDefaultsAndNoHistory)
{
    CPlayerApp app;
    app.LoadSettings();
    EXPECT_EQ(app.m_state.m_timeDispInitMode, 0);
    EXPECT_EQ(app.m_state.m_anime, 1);
    EXPECT_TRUE(app.m_state.m_historyList.isEmpty());

    QSettings raw = RawSettings();
    raw.beginGroup(QStringLiteral("Settings"));
    EXPECT_EQ(raw.childKeys().size(), 5);
    EXPECT_EQ(raw.value("TimeDispInitMode").toString(), "0");
    EXPECT_EQ(raw.value("AviDispInitMode").toString(), "0");
    EXPECT_EQ(raw.value("Anime").toString(), "1");
    EXPECT_EQ(raw.value("Filter").toString(), "0");
    EXPECT_EQ(raw.value("Skip").toString(), "0");
}

TEST_F(SettingsTest, HistoryGapsCloseAndTheNextSaveDeletesTheRest)
{
    {
        QSettings raw = RawSettings();
        raw.setValue("Settings/History1", "/a/one.lst");
        raw.setValue("Settings/History3", "/a/three.lst");
        raw.setValue("Settings/Filter", "2abc");
        raw.setValue("Settings/Skip", "x1");
        raw.setValue("Settings/AviDispInitMode", QString(1024, QLatin1Char('7')));
    }
    CPlayerApp app;
    app.LoadSettings();
    EXPECT_EQ(app.m_state.m_historyList, QStringList({"/a/one.lst", "/a/three.lst"}));
    EXPECT_EQ(app.m_state.m_filter, 2);
    EXPECT_EQ(app.m_state.m_skip, 0);
    EXPECT_EQ(app.m_state.m_anime, 1) << "an absent Anime takes its default";
    EXPECT_EQ(app.m_state.m_aviDispInitMode, 0) << "a value of 1024 bytes counts as absent";

    ASSERT_TRUE(app.SaveHistory());
    QSettings raw = RawSettings();
    EXPECT_EQ(raw.value("Settings/History1").toString(), "/a/one.lst");
    EXPECT_EQ(raw.value("Settings/History2").toString(), "/a/three.lst");
    EXPECT_FALSE(raw.contains("Settings/History3"));
    EXPECT_FALSE(raw.contains("Settings/History4"));
}

TEST_F(SettingsTest, ValueOf1023BytesIsRead)
{
    const QString path = QStringLiteral("/") + QString(1022, QLatin1Char('p'));
    RawSettings().setValue("Settings/History1", path);
    CPlayerApp app;
    app.LoadSettings();
    EXPECT_EQ(app.m_state.m_historyList, QStringList{path});
}

TEST_F(SettingsTest, SaveOptionsWritesAllFive)
{
    CPlayerApp app;
    app.LoadSettings();
    app.m_state.m_timeDispInitMode = 2;
    app.m_state.m_filter = 7;  // out of range values are kept as they are
    ASSERT_TRUE(app.SaveOptions());
    CPlayerApp again;
    again.LoadSettings();
    EXPECT_EQ(again.m_state.m_timeDispInitMode, 2);
    EXPECT_EQ(again.m_state.m_filter, 7);
    EXPECT_EQ(again.m_state.m_anime, 1);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
}

TEST_F(SettingsTest, UnwritableFileReportsAndStartsWithZeros)
{
    // A regular file where the folder should be: not even root can create it.
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile blocker(ConfigDir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    CPlayerApp app;
    app.LoadSettings();
    EXPECT_EQ(app.m_state.m_anime, 0) << "options keep their initial values when nothing can be created";
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << "start-up stays silent";

    app.m_state.AddToHistory(QStringLiteral("/x.lst"));
    EXPECT_FALSE(app.SaveHistory());
    EXPECT_FALSE(app.SaveOptions());
    EXPECT_EQ(m_services.boxes.Texts(), QStringList(2, QStringLiteral("ﾚｼﾞｽﾄﾘに書き込めませんでした。")));
    QFile::remove(ConfigDir());
}

// A [Drives] target typed by hand in Shift-JIS: "/home/me/ソング/album.cue".
const QByteArray kShiftJisDrive = "Q=/home/me/\x83\x5c\x83\x93\x83\x4f/album.cue";

QByteArray ReadConfig()
{
    QFile file(ConfigFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteConfig(const QByteArray& bytes)
{
    QDir().mkpath(ConfigDir());
    QFile file(ConfigFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST_F(SettingsTest, BytesThatAreNotUtf8SurviveEverySave)
{
    struct Case {
        const char* name;
        QByteArray before;
        std::function<bool(CPlayerApp&)> save;
    };
    const Case cases[] = {
        {"first start", "[Drives]\n" + kShiftJisDrive + "\n", [](CPlayerApp& app) { return app.LoadSettings(); }},
        {"options", "[Drives]\n" + kShiftJisDrive + "\n\n[Settings]\nAnime=1\n",
         [](CPlayerApp& app) {
             app.LoadSettings();
             app.m_state.m_filter = 3;
             return app.SaveOptions();
         }},
        {"history", "[Settings]\r\nHistory1=/a.lst\r\nHistory2=/b.lst\r\n\r\n[Drives]\r\n" + kShiftJisDrive + "\r\n",
         [](CPlayerApp& app) {
             app.LoadSettings();
             app.m_state.m_historyList = {"/c.lst"};
             return app.SaveHistory();
         }},
    };
    for (const Case& c : cases) {
        SetUp();
        WriteConfig(c.before);
        CPlayerApp app;
        EXPECT_TRUE(c.save(app)) << c.name;
        const QByteArray after = ReadConfig();
        EXPECT_TRUE(after.contains(kShiftJisDrive + (c.before.contains('\r') ? "\r\n" : "\n")))
            << c.name << ": " << after.toStdString();
        CPlayerApp again;
        again.LoadSettings();
        EXPECT_EQ(again.m_state.m_anime, 1) << c.name;
    }
    EXPECT_EQ(RawSettings().value("Settings/History1").toString(), "/c.lst");
    EXPECT_FALSE(RawSettings().contains("Settings/History2"));
}

TEST(IniText, EditedFileKeepsEveryLineItDoesNotChange)
{
    using ini::Change;
    struct Case {
        QByteArray before;
        QList<Change> changes;
        QByteArray after;
    };
    const Case cases[] = {
        {"", {{"Skip", "0"}}, "[Settings]\nSkip=0\n"},
        {"[Drives]\nQ=\x83\x5c\x83\x93\n", {{"Skip", "1"}}, "[Drives]\nQ=\x83\x5c\x83\x93\n\n[Settings]\nSkip=1\n"},
        // "ソ" ends in 0x5C, "\": QSettings reads the line end after it as part
        // of the line, and whatever follows the file's last line with it.
        {"[Drives]\nQ=/\x83\x5c\n", {{"Skip", "1"}}, "[Settings]\nSkip=1\n\n[General]\n[Drives]\nQ=/\x83\x5c\n"},
        {"[Settings]\nSkip=0\nHistory1=\"/open\n", {{"History2", "/b"}}, "[Settings]\nSkip=0\nHistory2=/b\nHistory1=\"/open\n"},
        {"[Settings]\r\n; mine\r\nSkip=0\r\nHistory2=/x\r\n\r\n[Drives]\r\nC=/\x83\x5c\r\n",
         {{"Skip", "1"}, {"History2", std::nullopt}, {"History1", "/y"}},
         "[Settings]\r\n; mine\r\nSkip=1\r\nHistory1=/y\n\r\n[Drives]\r\nC=/\x83\x5c\r\n"},
        {"[Other]\nSkip=5\n[Settings]", {{"Skip", "1"}}, "[Other]\nSkip=5\n[Settings]\nSkip=1\n"},
        {"[Settings]\nHistory1=/a\\\n/b\nSkip=0", {{"History1", "/c"}, {"Skip", "2"}},
         "[Settings]\nHistory1=/c\nSkip=2\n"},
        {"[Settings]\nSkip=0\nSkip=1\n", {{"Skip", "2"}, {"Skip", "3"}}, "[Settings]\nSkip=3\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini::EditGroup(c.before, QStringLiteral("Settings"), c.changes), c.after) << c.before.toStdString();
}

TEST_F(SettingsTest, PathsWithSeparatorsQuotesAndEscapesReadBackAsWritten)
{
    const QStringList paths{
        "/a;b,c=d.lst", " /lead.lst", "/trail.lst ", "@/at.lst", "/q\"x\\y.lst", QString("/t\tab\x01" "f.lst"),
        "C:\\曲\\ソ.lst", QString::fromUcs4(U"/s/\U0010FF83\U0010FF5C.lst"), QChar(0xFEFF) + QString("/b;om.lst"),
    };
    CPlayerApp app;
    app.LoadSettings();
    app.m_state.m_historyList = paths.mid(0, kHistoryMax);
    ASSERT_TRUE(app.SaveHistory());
    CPlayerApp again;
    again.LoadSettings();
    EXPECT_EQ(again.m_state.m_historyList, paths.mid(0, kHistoryMax));

    app.m_state.m_historyList = paths.mid(kHistoryMax);
    ASSERT_TRUE(app.SaveHistory());
    CPlayerApp third;
    third.LoadSettings();
    EXPECT_EQ(third.m_state.m_historyList, paths.mid(kHistoryMax));
}

// README has users write SoundFont, VolumeControl and [Drives] by hand: a
// comma there is part of the path or the command, not a list.
TEST_F(SettingsTest, HandWrittenValuesWithCommasReadAsTheWholeLine)
{
    WriteConfig("[Settings]\n"
                "SoundFont=/home/me/sf2/Piano, Strings.sf2\n"
                "VolumeControl=  pactl set-sink-volume @DEFAULT_SINK@ +5%,  -q  \n"
                "History1=/m/Bach, Goldberg.lst\n"
                "History2=\"/m/quoted, list.lst\"\n"
                "[Drives]\n"
                "M=/home/me/Bach, Goldberg\n"
                "N=/media/cd ; a comment, not the path\n");
    CPlayerApp app;
    app.LoadSettings();
    EXPECT_EQ(app.m_state.m_historyList, QStringList({"/m/Bach, Goldberg.lst", "/m/quoted, list.lst"}));
    EXPECT_EQ(app.m_state.m_volumeControl, "pactl set-sink-volume @DEFAULT_SINK@ +5%,  -q");
    const SettingsStore store;
    EXPECT_EQ(store.Read("SoundFont"), "/home/me/sf2/Piano, Strings.sf2");
    EXPECT_EQ(store.ReadGroup("Drives"),
              (QMap<QString, QString>{{"M", "/home/me/Bach, Goldberg"}, {"N", "/media/cd"}}));
}

// Every value without a comma outside quotes reads as QSettings reads it.
TEST_F(SettingsTest, ValuesReadAsQSettingsReadsThem)
{
    const QByteArray values[] = {
        "plain", "  spaced  ", "\"  quoted  \"", "tab\\tand\\nline", "\\x41\\x3042z", "\\101\\60", "a\\\\b\\\"c",
        "back\\q", "\\x", "x ; comment", "\"semi;colon\"", "\"a,b\"", "@@at", "@plain", "ソ\xe3\x81\x82", "\"a\" \"b\" ",
        "a\\\nb", "tail\\ ", "=eq", "\"\"", "", "\xef\xbb\xbfmark", "half\"open",
    };
    QByteArray file = "[Settings]\n";
    for (qsizetype i = 0; i < std::ssize(values); ++i)
        file += "V" + QByteArray::number(i) + "=" + values[i] + "\n";
    WriteConfig(file);
    const SettingsStore store;
    QSettings reference(ConfigFile(), QSettings::IniFormat);
    for (qsizetype i = 0; i < std::ssize(values); ++i) {
        const QString name = "V" + QString::number(i);
        const QVariant expected = reference.value("Settings/" + name);
        EXPECT_EQ(store.Read(name).value_or("<absent>"), expected.isValid() ? expected.toString() : "<absent>")
            << values[i].toStdString();
    }
}

TEST(History, MovesAnExistingPathToTheHead)
{
    CPlayerApp app;
    app.m_state.m_historyList = {"C:\\a.lst", "C:\\b.lst", "C:\\Dir\\c.lst", "/p/d.lst"};
    app.m_state.AddToHistory("c:\\DIR\\C.LST");
    EXPECT_EQ(app.m_state.m_historyList, QStringList({"c:\\DIR\\C.LST", "C:\\a.lst", "C:\\b.lst", "/p/d.lst"}));

    // POSIX paths are two files when their case differs.
    app.m_state.AddToHistory("/P/D.lst");
    EXPECT_EQ(app.m_state.m_historyList.size(), 5);
    EXPECT_EQ(app.m_state.m_historyList.first(), "/P/D.lst");
    EXPECT_EQ(app.m_state.m_historyList.last(), "/p/d.lst");

    app.m_state.AddToHistory("/p/d.lst");
    EXPECT_EQ(app.m_state.m_historyList.size(), 5);
    EXPECT_EQ(app.m_state.m_historyList.first(), "/p/d.lst");
    EXPECT_EQ(app.m_state.m_historyList.count("/p/d.lst"), 1);
}

TEST(History, FullListDropsTheOldestAndEmptyPathIsIgnored)
{
    CPlayerApp app;
    app.m_state.m_historyList = {"/1", "/2", "/3", "/4", "/5"};
    app.m_state.AddToHistory(QString());
    EXPECT_EQ(app.m_state.m_historyList.size(), 5);
    app.m_state.AddToHistory("/new");
    EXPECT_EQ(app.m_state.m_historyList, QStringList({"/new", "/1", "/2", "/3", "/4"}));
}

}  // namespace
