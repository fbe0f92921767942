#pragma once
// A modal dialog that nobody answers would hang its test until ctest kills
// it. The watchdog, run by the test main, fails the test instead: a modal
// dialog, message box or file dialog open longer than the limit is reported
// by class and title and rejected, so the test goes on.

namespace testsupport {

// Starts the watchdog (the test main does); the limit is 10 s.
void StartDialogWatchdog();
// The limit for the dialogs that open from now on; returns the one before.
int SetDialogWatchdogLimitMs(int ms);

}  // namespace testsupport
