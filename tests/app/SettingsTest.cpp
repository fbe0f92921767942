// The settings file: first start, reading rules, history saving and the
// most-recently-used list.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "app/CPlayerApp.h"
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
    EXPECT_EQ(app.m_timeDispInitMode, 0);
    EXPECT_EQ(app.m_anime, 1);
    EXPECT_TRUE(app.m_historyList.isEmpty());

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
    EXPECT_EQ(app.m_historyList, QStringList({"/a/one.lst", "/a/three.lst"}));
    EXPECT_EQ(app.m_filter, 2);
    EXPECT_EQ(app.m_skip, 0);
    EXPECT_EQ(app.m_anime, 1) << "an absent Anime takes its default";
    EXPECT_EQ(app.m_aviDispInitMode, 0) << "a value of 1024 bytes counts as absent";

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
    EXPECT_EQ(app.m_historyList, QStringList{path});
}

TEST_F(SettingsTest, SaveOptionsWritesAllFive)
{
    CPlayerApp app;
    app.LoadSettings();
    app.m_timeDispInitMode = 2;
    app.m_filter = 7;  // out of range values are kept as they are
    ASSERT_TRUE(app.SaveOptions());
    CPlayerApp again;
    again.LoadSettings();
    EXPECT_EQ(again.m_timeDispInitMode, 2);
    EXPECT_EQ(again.m_filter, 7);
    EXPECT_EQ(again.m_anime, 1);
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
    EXPECT_EQ(app.m_anime, 0) << "options keep their initial values when nothing can be created";
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty()) << "start-up stays silent";

    app.AddToHistory(QStringLiteral("/x.lst"));
    EXPECT_FALSE(app.SaveHistory());
    EXPECT_FALSE(app.SaveOptions());
    EXPECT_EQ(m_services.boxes.Texts(), QStringList(2, QStringLiteral("ﾚｼﾞｽﾄﾘに書き込めませんでした。")));
    QFile::remove(ConfigDir());
}

TEST(History, MovesAnExistingPathToTheHead)
{
    CPlayerApp app;
    app.m_historyList = {"C:\\a.lst", "C:\\b.lst", "C:\\Dir\\c.lst", "/p/d.lst"};
    app.AddToHistory("c:\\DIR\\C.LST");
    EXPECT_EQ(app.m_historyList, QStringList({"c:\\DIR\\C.LST", "C:\\a.lst", "C:\\b.lst", "/p/d.lst"}));

    // POSIX paths are two files when their case differs.
    app.AddToHistory("/P/D.lst");
    EXPECT_EQ(app.m_historyList.size(), 5);
    EXPECT_EQ(app.m_historyList.first(), "/P/D.lst");
    EXPECT_EQ(app.m_historyList.last(), "/p/d.lst");

    app.AddToHistory("/p/d.lst");
    EXPECT_EQ(app.m_historyList.size(), 5);
    EXPECT_EQ(app.m_historyList.first(), "/p/d.lst");
    EXPECT_EQ(app.m_historyList.count("/p/d.lst"), 1);
}

TEST(History, FullListDropsTheOldestAndEmptyPathIsIgnored)
{
    CPlayerApp app;
    app.m_historyList = {"/1", "/2", "/3", "/4", "/5"};
    app.AddToHistory(QString());
    EXPECT_EQ(app.m_historyList.size(), 5);
    app.AddToHistory("/new");
    EXPECT_EQ(app.m_historyList, QStringList({"/new", "/1", "/2", "/3", "/4"}));
}

}  // namespace
