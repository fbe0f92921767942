#pragma once
// A cue sheet as rippers write it (private to platform/mci): FILE, TRACK,
// INDEX, PREGAP and POSTGAP, keywords in any case, names quoted or not.
// Only the structure is read here; what the files hold is RipDisc's
// business. Times are frames (75 a second) within the FILE they follow.

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <optional>
#include <vector>

namespace mci {

struct CueFile {
    QByteArray name;  // as written: UTF-8 or CP932 bytes
    QByteArray type;  // upper case: BINARY, MOTOROLA, WAVE, FLAC, MP3...
};

struct CueIndex {
    int number = 0;  // 0 opens the gap before the track, 1 starts it
    int file = 0;    // into CueSheet::files: an INDEX follows the last FILE line
    std::int64_t frame = 0;
};

struct CueTrack {
    int number = 0;
    bool audio = true;
    // Numbers increasing, from 00 or 01; INDEX 01 before any higher one.
    std::vector<CueIndex> indexes;
    std::int64_t pregapFrames = 0;  // silence before the track that no file holds
    std::int64_t postgapFrames = 0;

    // INDEX 01, or INDEX 00 in a track that has no other: rips that give
    // each track a file of its own often mark it so.
    const CueIndex& Start() const;
};

struct CueSheet {
    std::vector<CueFile> files;
    std::vector<CueTrack> tracks;  // 1 to 99 of them, numbers increasing
};

// nullopt for a sheet that names no track, breaks the grammar (an INDEX
// before any TRACK, a track without INDEX, an INDEX 02 without INDEX 01, a
// time with seconds past 59 or frames past 74...) or
// holds more than 99 tracks. A UTF-8 byte order mark is skipped.
std::optional<CueSheet> ParseCueSheet(QByteArrayView sheet);

}  // namespace mci
