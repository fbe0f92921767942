#pragma once
// The few Windows types the program's interfaces keep. TRUE and FALSE are
// macros, as in the Windows headers and in GLib, so the two can meet.

using BOOL = int;
#ifndef FALSE
#define FALSE (0)
#endif
#ifndef TRUE
#define TRUE (!FALSE)
#endif
