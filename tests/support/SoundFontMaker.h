#pragma once
// SoundFonts made on the spot: one instrument that holds a sine.

#include <QByteArray>
#include <QString>

namespace testsupport {

// A SoundFont 2.01 whose every preset of bank 0 (programs 0-127) and drum
// kit 0 of bank 128 play one looped sine of toneHz at amplitude 0.5, the
// same pitch on every key: whatever a tune plays, it sounds at toneHz.
QByteArray SineSoundFont(double toneHz);
bool WriteSineSoundFont(const QString& path, double toneHz);

}  // namespace testsupport
