#pragma once
// A cdrdao table of contents (private to platform/mci): its tracks and, in
// order, the statements that put data into them. Read as cdrdao reads it:
// upper-case keywords, comments from "//" to the end of the line, names in
// double quotes (with \" and \ooo escapes), times as MM:SS:FF (75 frames a
// second) or as plain numbers: samples in an audio track, bytes in a data
// track. CATALOG, CD_TEXT blocks, ISRC, the copy and emphasis flags, INDEX
// and END are read and dropped: none of them moves a sample.

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <optional>
#include <vector>

namespace mci {

inline constexpr int kTocSamplesPerSector = 588;

// Lengths are in the units of the track: samples in an audio track, bytes
// in a data track.
struct TocPiece {
    enum class Kind {
        AudioFile,  // FILE or AUDIOFILE: raw or WAVE by its name
        DataFile,   // DATAFILE: bytes as they are, in an audio track raw samples
        Silence,    // SILENCE, ZERO, or the gap of PREGAP
    };
    Kind kind = Kind::AudioFile;
    QByteArray name;              // as written, escapes undone: UTF-8 or CP932 bytes
    bool swap = false;            // SWAP: samples in the other byte order than the file's kind has
    std::int64_t byteOffset = 0;  // "#n": bytes of the file before its data
    std::int64_t start = 0;       // an audio file's first sample taken
    std::int64_t length = 0;      // 0 for a file: from start to the end of its data
};

struct TocTrack {
    bool audio = true;
    int sectorBytes = 2352;  // a sector of the track's mode as its files hold it
    std::vector<TocPiece> pieces;
    // Where INDEX 01 falls (START, PREGAP): so many sectors into the track,
    // or after its first pieces. Neither: at the track's start.
    std::optional<std::int64_t> startSectors;
    std::optional<std::size_t> startAfterPieces;

    std::int64_t UnitsPerSector() const { return audio ? kTocSamplesPerSector : sectorBytes; }
};

struct TocFile {
    std::vector<TocTrack> tracks;  // 1 to 99 of them: tracks 1, 2, 3...
};

// nullopt for a table that breaks the grammar (an unknown word, a FILE in a
// data track, a string or a CD_TEXT block left open, a time with seconds
// past 59 or frames past 74...), reads from a FIFO, or holds no track or
// more than 99. A UTF-8 byte order mark is skipped.
std::optional<TocFile> ParseTocFile(QByteArrayView text);

}  // namespace mci
