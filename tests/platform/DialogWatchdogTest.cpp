// The test harness's watchdog: a modal box nobody answers fails its test
// with the box's name and is closed, instead of hanging the test program.
#include <QMessageBox>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/support/DialogWatchdog.h"

namespace {

TEST(DialogWatchdog, AMessageBoxNobodyAnswersFailsTheTestByNameAndIsRejected)
{
    const int before = testsupport::SetDialogWatchdogLimitMs(1000);
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    EXPECT_NONFATAL_FAILURE(
        {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Unanswered"), QStringLiteral("nobody clicks"),
                            QMessageBox::Yes | QMessageBox::No);
            answer = static_cast<QMessageBox::StandardButton>(box.exec());
        },
        "dialog QMessageBox \"Unanswered\" did not end");
    testsupport::SetDialogWatchdogLimitMs(before);
    EXPECT_NE(answer, QMessageBox::Yes);
}

}  // namespace
