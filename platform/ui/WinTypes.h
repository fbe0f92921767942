#pragma once
// The few Windows types the program's interfaces keep.

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
