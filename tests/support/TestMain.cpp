// Test main: every test program runs headless with a settings folder of its own.
#include <QApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/DialogWatchdog.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("LIRABOX_AUDIO_SINK"))
        qputenv("LIRABOX_AUDIO_SINK", "fakesink sync=true");
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    testsupport::StartDialogWatchdog();
    return RUN_ALL_TESTS();
}
