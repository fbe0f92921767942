// The command line: path, switches and the two messages.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/CPlayerApp.h"
#include "platform/Services.h"
#include "tests/support/TestServices.h"
#include "tests/support/FakeFileAccess.h"

namespace {

const char* const kNotFound = "指定されたｺﾚｸｼｮﾝﾌｧｲﾙが存在しません。";
const char* const kNoAccess = "指定されたｺﾚｸｼｮﾝﾌｧｲﾙへｱｸｾｽできません。";

class CommandLineTest : public testing::Test {
protected:
    CommandLineTest()
    {
        m_services.files.Set("/music/my list.lst", platform::kAccessReadWrite);
        m_services.files.Set("/music/my", platform::kAccessReadWrite);
        m_services.files.Set("/ro.lst", platform::kAccessRead);
    }

    BOOL Parse(const QStringList& arguments)
    {
        return m_app.ParseCommandLine(CPlayerApp::JoinCommandLine(arguments), m_path, m_flags);
    }

    testsupport::TestServices m_services;
    CPlayerApp m_app;
    QString m_path = QStringLiteral("previous");
    std::uint32_t m_flags = 0xFF;
};

TEST_F(CommandLineTest, QuotedPathWithSwitches)
{
    EXPECT_TRUE(Parse({"/music/my list.lst", "/s", "/R"}));
    EXPECT_EQ(m_path, "/music/my list.lst");
    EXPECT_EQ(m_flags, 0x0Du);
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
}

TEST_F(CommandLineTest, UnquotedPathEndsAtItsFirstSpace)
{
    EXPECT_EQ(m_app.ParseCommandLine("/music/my list.lst /I", m_path, m_flags), TRUE)
        << "the shorter path happens to exist in this script";
    EXPECT_EQ(m_path, "/music/my");
    EXPECT_EQ(m_flags, 0x21u);

    m_services.files.Remove("/music/my");
    EXPECT_FALSE(m_app.ParseCommandLine("/music/my list.lst", m_path, m_flags));
    EXPECT_TRUE(m_path.isEmpty());
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kNotFound});
}

TEST_F(CommandLineTest, SwitchesCountOneLetterAndAreFoundTogether)
{
    struct Case {
        const char* line;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {"\"/music/my list.lst\"/s/r", 0x0D},
        {"\"/music/my list.lst\" /SR", 0x05},
        {"\"/music/my list.lst\" /x /i", 0x21},
        {"\"/music/my list.lst\" s r", 0x01},
        {"\"/music/my list.lst\" /", 0x01},
    };
    for (const Case& c : cases) {
        m_app.ParseCommandLine(QString::fromUtf8(c.line), m_path, m_flags);
        EXPECT_EQ(m_flags, c.flags) << c.line;
        EXPECT_EQ(m_path, "/music/my list.lst") << c.line;
    }
}

TEST_F(CommandLineTest, SlashInsideThePathIsNoSwitch)
{
    m_services.files.Set("/s/r/a.lst", platform::kAccessReadWrite);
    EXPECT_TRUE(m_app.ParseCommandLine("/s/r/a.lst", m_path, m_flags));
    EXPECT_EQ(m_flags, 0x01u);
}

TEST_F(CommandLineTest, SwitchAloneIsTakenAsThePath)
{
    EXPECT_FALSE(Parse({"/S"}));
    EXPECT_TRUE(m_path.isEmpty());
    EXPECT_EQ(m_flags, 0x01u) << "flags keep the parsed value";
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kNotFound});
}

TEST_F(CommandLineTest, ReadOnlyFileIsRefused)
{
    EXPECT_FALSE(Parse({"/ro.lst", "/A"}));
    EXPECT_TRUE(m_path.isEmpty());
    EXPECT_EQ(m_services.boxes.Texts(), QStringList{kNoAccess});
}

TEST_F(CommandLineTest, UnclosedQuoteRunsToTheEnd)
{
    m_services.files.Set("/q r.lst /S", platform::kAccessReadWrite);
    EXPECT_TRUE(m_app.ParseCommandLine("\"/q r.lst /S", m_path, m_flags));
    EXPECT_EQ(m_path, "/q r.lst /S");
    EXPECT_EQ(m_flags, 0x01u);
}

TEST_F(CommandLineTest, AnArgumentThatNamesAFileIsThePathAsItStands)
{
    const QString quoted = QStringLiteral("/music/q\"x y.lst");
    m_services.files.Set(quoted, platform::kAccessReadWrite);
    m_services.files.Set("/ro\"q.lst", platform::kAccessRead);
    struct Case {
        QStringList arguments;
        BOOL result;
        QString path;
        std::uint32_t flags;
        QStringList boxes;
    };
    const Case cases[] = {
        {{quoted}, TRUE, quoted, 0x01, {}},
        {{quoted, "/s", "/R"}, TRUE, quoted, 0x0D, {}},
        {{quoted, "/S/i"}, TRUE, quoted, 0x25, {}},
        // Not a file: the Windows reading, which stops at the quote.
        {{quoted + "/r"}, FALSE, {}, 0x09, {kNotFound}},
        {{"/ro\"q.lst", "/A"}, FALSE, {}, 0x01, {kNoAccess}},
        {{"/music/my list.lst", "/I"}, TRUE, "/music/my list.lst", 0x21, {}},
        {{"/S"}, FALSE, {}, 0x01, {kNotFound}},
    };
    for (const Case& c : cases) {
        m_services.boxes.Clear();
        EXPECT_EQ(m_app.ParseArguments(c.arguments, m_path, m_flags), c.result) << c.arguments.join(u'|').toStdString();
        EXPECT_EQ(m_path, c.path) << c.arguments.join(u'|').toStdString();
        EXPECT_EQ(m_flags, c.flags) << c.arguments.join(u'|').toStdString();
        EXPECT_EQ(m_services.boxes.Texts(), c.boxes) << c.arguments.join(u'|').toStdString();
    }
    EXPECT_FALSE(m_app.ParseCommandLine(CPlayerApp::JoinCommandLine({quoted}), m_path, m_flags))
        << "joined, the name no longer survives the Windows reading";
}

// A relative path is taken from the working folder and kept absolute, so that
// the history still opens it from anywhere; other paths stay as written.
TEST_F(CommandLineTest, ARelativePathIsMadeAbsolute)
{
    QTemporaryDir dir;
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString here = QDir::currentPath();
    const struct {
        const char* argument;
        QString path;
    } cases[] = {
        {"demo.lst", here + "/demo.lst"},
        {"./sub/../demo.lst", here + "/demo.lst"},
        {"sub/b.lst", here + "/sub/b.lst"},
        {"C:\\Lists\\a.lst", "C:\\Lists\\a.lst"},
        {"/music/my list.lst", "/music/my list.lst"},
    };
    for (const auto& c : cases) {
        m_services.files.Set(QString::fromUtf8(c.argument), platform::kAccessReadWrite);
        EXPECT_TRUE(m_app.ParseArguments({QString::fromUtf8(c.argument)}, m_path, m_flags)) << c.argument;
        EXPECT_EQ(m_path, c.path) << c.argument;
        EXPECT_TRUE(m_app.ParseCommandLine(QString::fromUtf8(c.argument).contains(u' ')
                                               ? u'"' + QString::fromUtf8(c.argument) + u'"'
                                               : QString::fromUtf8(c.argument),
                                           m_path, m_flags))
            << c.argument;
        EXPECT_EQ(m_path, c.path) << c.argument;
    }
    EXPECT_TRUE(m_services.boxes.Texts().isEmpty());
    ASSERT_TRUE(QDir::setCurrent(cwd));
}

TEST(JoinCommandLine, QuotesArgumentsWithSpaces)
{
    EXPECT_EQ(CPlayerApp::JoinCommandLine({"/a b/c.lst", "/S"}), "\"/a b/c.lst\" /S");
    EXPECT_EQ(CPlayerApp::JoinCommandLine({"/a", "b/c.lst"}), "/a b/c.lst");
    EXPECT_EQ(CPlayerApp::JoinCommandLine({}), "");
}

}  // namespace
