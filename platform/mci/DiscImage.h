#pragma once
// What libcdio is given, and what it can give back, for a disc image
// (private to platform/mci).

#include <QByteArray>
#include <QString>
#include <cdio/cdio.h>
#include <cstdint>

namespace mci {

// Whether the image file target may be handed to cdio_open: a regular file
// (libcdio would block on a FIFO), whose cue sheet, when libcdio reads one
// for it, is whole in the sense of CueSheetIsWhole.
bool ImageCanBeOpened(const QString& target);

// libcdio 2.1 loses the name of a FILE line that no TRACK line follows, on
// every open of a sheet that is otherwise well formed (the length of the
// path, 35 bytes or so), and such a sheet holds no disc anyway. Whole: every
// FILE line is followed, before the next FILE line, by a TRACK line with a
// number from 1 to 99 and a mode. Lines are split as libcdio reads them: at
// LF, every 4095 bytes, and cut at a NUL.
bool CueSheetIsWhole(const QByteArray& sheet);

// The sector after the last one an image can give, at most leadOut and at
// least first: some image formats take the lead-out from their table of
// contents, not from the data there is. Uses the CdIo_t, so its mutex must
// be held.
std::int32_t ReadableEnd(CdIo_t* cdio, std::int32_t first, std::int32_t leadOut);

}  // namespace mci
