// What a screen reader hears and what the keyboard reaches: every control of
// every dialog that takes the focus has a Japanese name saying what it does,
// the transport buttons answer Space and Enter, and Tab goes through the
// player in the order of its template, title list included.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "editor/CCdTitleDlg.h"
#include "editor/CCollectionDlg.h"
#include "editor/CTrackPickDlg.h"
#include "options/CDriveDlg.h"
#include "options/COptionDlg.h"
#include "options/CPortSettingsDlg.h"
#include "tests/player/PlayerFixture.h"

namespace {

QString AccessibleName(QWidget* widget)
{
    // Here Qt names a drop-down list by its current item, and screen readers
    // take the label tied to it; other systems read the name it is given.
    if (qobject_cast<QComboBox*>(widget))
        return widget->accessibleName();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// The text of the label a screen reader reads for the control, if any.
QString LabelOf(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
        return label->text(QAccessible::Name);
    return {};
}

bool TakesFocus(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

// Empty when the name will do; else what is wrong with it.
QString Unfit(const QString& name)
{
    static const QRegularExpression resourceName(QStringLiteral("^[A-Z0-9_]+$|^\\(.\\)$"));
    if (name.isEmpty())
        return QStringLiteral("no name");
    if (name.contains(QLatin1Char('&')))
        return QStringLiteral("an access-key mark in \"%1\"").arg(name);
    // "OK" is what a Japanese dialog says too; everything else is in Japanese.
    if (name == QLatin1String("OK"))
        return {};
    if (resourceName.match(name).hasMatch())
        return QStringLiteral("named by its resource name \"%1\"").arg(name);
    bool japanese = false;
    for (const QChar c : name)
        japanese = japanese || c.unicode() >= 0x3000;
    if (!japanese)
        return QStringLiteral("\"%1\" is not Japanese").arg(name);
    return {};
}

class AccessibleNamesTest : public playertest::PlayerFixture {
protected:
    // The controls of the dialog's template that take the focus, in the order
    // the template gives them, each checked for a fit name.
    std::vector<QWidget*> CheckNames(ui::CDialog& dlg)
    {
        dlg.Create();
        std::vector<QWidget*> focusable;
        for (QWidget* widget : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!widget->property("ctrlId").isValid() || !TakesFocus(widget))
                continue;
            focusable.push_back(widget);
            const QString unfit = Unfit(AccessibleName(widget));
            EXPECT_TRUE(unfit.isEmpty()) << dlg.windowTitle().toStdString() << ", control "
                                         << widget->property("ctrlId").toInt() << ": " << unfit.toStdString();
        }
        EXPECT_FALSE(focusable.empty()) << dlg.windowTitle().toStdString();
        return focusable;
    }

    QString NameOf(ui::CDialog& dlg, int id) { return AccessibleName(dlg.GetDlgItem(id)); }
};

TEST_F(AccessibleNamesTest, EveryControlOfEveryDialogThatTakesTheFocusHasAJapaneseName)
{
    Open({"/m/a.wav"});
    CheckNames(m_dlg);
    const struct {
        int id;
        const char* name;
    } transport[] = {
        {CPlayerDlg::IDC_PLAY, "再生"},           {CPlayerDlg::IDC_STOP, "停止"},
        {CPlayerDlg::IDC_PAUSE, "一時停止"},      {CPlayerDlg::IDC_HOME, "曲の先頭へ"},
        {CPlayerDlg::IDC_PREVIOUS, "前の曲"},     {CPlayerDlg::IDC_NEXT, "次の曲"},
        {CPlayerDlg::IDC_EJECT, "ｲｼﾞｪｸﾄ"},        {CPlayerDlg::IDC_TIMEMODE, "時間表示の切り替え"},
        {CPlayerDlg::IDC_REPEAT, "ﾘﾋﾟｰﾄ"},        {CPlayerDlg::IDC_SELECT, "選曲..."},
    };
    for (const auto& control : transport)
        EXPECT_EQ(NameOf(m_dlg, control.id), QString::fromUtf8(control.name)) << control.id;
    EXPECT_EQ(LabelOf(m_dlg.GetDlgItem(CPlayerDlg::IDC_TITLE)), QStringLiteral("ﾀｲﾄﾙ:"));
    // The picture of a button says the same as its name.
    EXPECT_EQ(m_dlg.GetDlgItem(CPlayerDlg::IDC_NEXT)->toolTip(), QStringLiteral("次の曲"));

    std::vector<std::unique_ptr<ui::CDialog>> dialogs;
    dialogs.push_back(std::make_unique<CCollectionDlg>());
    dialogs.push_back(std::make_unique<CTrackPickDlg>());
    dialogs.push_back(std::make_unique<CCdTitleDlg>());
    dialogs.push_back(std::make_unique<COptionDlg>());
    dialogs.push_back(std::make_unique<CDriveDlg>(
        nullptr, CDriveDlg::Question{QStringLiteral("C:"), QStringLiteral("C:\\MIDI\\a.mid"), {}}, QStringList{"/dev/sr0"}));
    dialogs.push_back(std::make_unique<CDriveDlg>(nullptr, CDriveDlg::Choice{QString(), QString(), {"D:"}},
                                                  QStringList{"/dev/sr0"}));
    CPortSettingsDlg::Sources sources;
    sources.outputs = {{QStringLiteral("pulsesink"), QStringLiteral("PulseAudio")}};
    sources.checkSoundFont = [](const QString&, QString*) { return true; };
    dialogs.push_back(std::make_unique<CPortSettingsDlg>(nullptr, sources));
    for (const auto& dlg : dialogs)
        CheckNames(*dlg);

    // Lists are named by the label before them, without its access key and colon.
    EXPECT_EQ(NameOf(*dialogs[0], 1019), QStringLiteral("ﾌﾟﾚｲﾘｽﾄ"));
    EXPECT_EQ(NameOf(*dialogs[2], 1036), QStringLiteral("CDのﾄﾞﾗｲﾌﾞ"));
    EXPECT_EQ(NameOf(*dialogs[6], CPortSettingsDlg::IDC_OUTPUT), QStringLiteral("音声の出力先"));
    EXPECT_EQ(NameOf(*dialogs[3], 1056), QStringLiteral("ｴﾗｰ時にｽｷｯﾌﾟ再生する"));
}

TEST_F(AccessibleNamesTest, AccessKeysLeaveTheName)
{
    EXPECT_EQ(ui::WithoutAccessKey(QStringLiteral("選曲(&C)...")), QStringLiteral("選曲..."));
    EXPECT_EQ(ui::WithoutAccessKey(QStringLiteral("&Volume...")), QStringLiteral("Volume..."));
    EXPECT_EQ(ui::WithoutAccessKey(QStringLiteral("追加(&A) >>")), QStringLiteral("追加 >>"));
    EXPECT_EQ(ui::WithoutAccessKey(QStringLiteral("R&&B (&R)")), QStringLiteral("R&B"));
}

TEST_F(AccessibleNamesTest, SpaceAndEnterPressTheFocusedTransportButton)
{
    AddFile("/m/a.wav");
    AddFile("/m/b.wav");
    Open({"/m/a.wav", "/m/b.wav"});
    const auto press = [this](int id, Qt::Key key) {
        QWidget* button = m_dlg.GetDlgItem(id);
        button->setFocus();
        QTest::keyClick(button, key);
        Flush();
    };
    press(CPlayerDlg::IDC_PLAY, Qt::Key_Return);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav") << "Enter on Play plays, not the default button";
    press(CPlayerDlg::IDC_NEXT, Qt::Key_Space);
    EXPECT_EQ(m_dlg.m_entry, "/m/b.wav");
    press(CPlayerDlg::IDC_PREVIOUS, Qt::Key_Enter);
    EXPECT_EQ(m_dlg.m_entry, "/m/a.wav") << "the keypad's Enter too";
    press(CPlayerDlg::IDC_STOP, Qt::Key_Space);
    EXPECT_TRUE(m_dlg.m_entry.isEmpty());
}

TEST_F(AccessibleNamesTest, TabGoesThroughThePlayerInTheOrderOfItsTemplate)
{
    Open({"/m/a.wav"});
    std::vector<int> templateOrder;
    for (const ui::ControlSpec& control : m_dlg.Template().controls)
        if (control.id != -1 && TakesFocus(m_dlg.GetDlgItem(control.id)))
            templateOrder.push_back(control.id);
    ASSERT_NE(std::find(templateOrder.begin(), templateOrder.end(), int(CPlayerDlg::IDC_TITLE)), templateOrder.end());

    // The focus chain, from the first control round to it again.
    QWidget* first = m_dlg.GetDlgItem(templateOrder.front());
    std::vector<int> chain;
    QWidget* widget = first;
    do {
        if (widget->property("ctrlId").isValid() && TakesFocus(widget))
            chain.push_back(widget->property("ctrlId").toInt());
        widget = widget->nextInFocusChain();
    } while (widget != first && chain.size() <= templateOrder.size());
    EXPECT_EQ(chain, templateOrder);

    // While idle, Tab from Play reaches the title list past the disabled buttons.
    m_dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    m_dlg.GetDlgItem(CPlayerDlg::IDC_PLAY)->setFocus();
    bool reached = false;
    for (int i = 0; i < int(templateOrder.size()) && !reached; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached = QApplication::focusWidget() == m_dlg.GetDlgItem(CPlayerDlg::IDC_TITLE);
    }
    EXPECT_TRUE(reached) << "Tab never reached the title list";
}

}  // namespace
