#pragma once
// Process-wide libcdio set-up (private to platform/).

namespace drives {

// Keeps libcdio's diagnostics off stderr: a missing image or an empty drive
// is an answer here, not a problem to print. Safe to call often.
void InitCdio();

}  // namespace drives
