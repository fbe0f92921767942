// The options command: what each control shows of the stored options, and
// what OK stores from it; Cancel stores nothing.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "app/CPlayerApp.h"
#include "options/COptionDlg.h"
#include "player/CPlayerDlg.h"
#include "tests/support/TestServices.h"

namespace {

QString ConfigFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quenda/Lirabox.conf");
}

QString Stored(const char* name)
{
    return QSettings(ConfigFile(), QSettings::IniFormat).value(QStringLiteral("Settings/") + name).toString();
}

class COptionDlgTest : public testing::Test {
protected:
    COptionDlgTest()
    {
        QFile::remove(ConfigFile());
        m_player.Create();
    }
    ~COptionDlgTest() override { QFile::remove(ConfigFile()); }

    // The options command, with act run on the dialog once it is up; act
    // ends it.
    void RunOptions(std::function<void(COptionDlg&)> act)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<COptionDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            ran = true;
            act(*dlg);
        });
        m_player.OnOptions();
        EXPECT_TRUE(ran);
    }

    static void Click(COptionDlg& dlg, int id) { dlg.Item<QAbstractButton>(id)->click(); }

    testsupport::TestServices m_services;
    CPlayerApp m_app;
    CPlayerDlg m_player{m_app.m_state, m_app};
};

}  // namespace

TEST_F(COptionDlgTest, EachRadioButtonShowsItsStoredValueAndStoresIt)
{
    const struct {
        const char* name;
        int PlayerState::*field;
        int first;  // the buttons of 0, 1, 2 are first, first + 1, first + 2
    } groups[] = {
        {"TimeDispInitMode", &PlayerState::m_timeDispInitMode, 1030},
        {"Filter", &PlayerState::m_filter, 1052},
    };
    for (const auto& group : groups) {
        for (int value = 0; value <= 3; ++value) {
            SCOPED_TRACE(testing::Message() << group.name << " " << value);
            m_app.m_state.*group.field = value;
            const int chosen = (value + 1) % 3;
            RunOptions([&](COptionDlg& dlg) {
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(dlg.IsDlgButtonChecked(group.first + i), i == value) << i;
                Click(dlg, group.first + chosen);
                Click(dlg, ui::IDOK);
            });
            EXPECT_EQ(m_app.m_state.*group.field, chosen);
            EXPECT_EQ(Stored(group.name), QString::number(chosen));
        }
        // A value no button stands for is kept when none is chosen.
        m_app.m_state.*group.field = 7;
        RunOptions([](COptionDlg& dlg) { Click(dlg, ui::IDOK); });
        EXPECT_EQ(Stored(group.name), "7");
    }
}

TEST_F(COptionDlgTest, EachCheckBoxStartsFromItsSettingAndStoresIt)
{
    const struct {
        int id;
        const char* name;
        int PlayerState::*field;
    } boxes[] = {
        {1023, "AviDispInitMode", &PlayerState::m_aviDispInitMode},
        {1051, "Anime", &PlayerState::m_anime},
        {1056, "Skip", &PlayerState::m_skip},
    };
    for (const auto& box : boxes) {
        for (const int start : {0, 1}) {
            SCOPED_TRACE(testing::Message() << box.name << " " << start);
            m_app.m_state.*box.field = start;
            RunOptions([&](COptionDlg& dlg) {
                EXPECT_EQ(dlg.IsDlgButtonChecked(box.id), start == 1);
                Click(dlg, box.id);
                Click(dlg, ui::IDOK);
            });
            EXPECT_EQ(m_app.m_state.*box.field, 1 - start);
            EXPECT_EQ(Stored(box.name), QString::number(1 - start));
            // Untouched boxes store what they showed.
            RunOptions([](COptionDlg& dlg) { Click(dlg, ui::IDOK); });
            EXPECT_EQ(Stored(box.name), QString::number(1 - start));
        }
    }
}

TEST_F(COptionDlgTest, CancelStoresNothing)
{
    m_app.m_state.m_timeDispInitMode = 1;
    m_app.m_state.m_filter = 2;
    m_app.m_state.m_aviDispInitMode = 1;
    m_app.m_state.m_anime = 0;
    m_app.m_state.m_skip = 1;
    RunOptions([](COptionDlg& dlg) {
        for (const int id : {1030, 1052, 1023, 1051, 1056})
            Click(dlg, id);
        Click(dlg, ui::IDCANCEL);
    });
    EXPECT_FALSE(QFile::exists(ConfigFile()));
    EXPECT_EQ(m_app.m_state.m_timeDispInitMode, 1);
    EXPECT_EQ(m_app.m_state.m_filter, 2);
    EXPECT_EQ(m_app.m_state.m_aviDispInitMode, 1);
    EXPECT_EQ(m_app.m_state.m_anime, 0);
    EXPECT_EQ(m_app.m_state.m_skip, 1);
}
