#pragma once
// The C run-time string rules the program relies on, on QString.

#include <QStringView>

namespace text {

// atoi: leading white space, an optional sign, then decimal digits up to the
// first non-digit; no digits give 0. Values beyond int are clamped.
int Atoi(QStringView text);

// _mbscmp: exact comparison; < 0, 0 or > 0.
int MbsCmp(QStringView a, QStringView b);

// _mbsicmp: ASCII letters compare without regard to case; every other
// character, full-width letters included, compares unchanged.
int MbsICmp(QStringView a, QStringView b);

}  // namespace text
