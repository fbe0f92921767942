#pragma once
// Ripped discs made on the spot: a cue sheet with FLAC, WAV or BINARY files
// beside it, one sine per track, as the common rippers lay them out.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace testsupport {

struct RipTrack {
    double toneHz;
    int lengthMs;   // INDEX 01 to the next track's gap; rounded to whole sectors
    int gapMs = 0;  // the gap before INDEX 01 (INDEX 00 or PREGAP); whole sectors
};

// What a gap holds: the track's own tone, begun early (INDEX 00 in a file),
// or silence that no file holds (PREGAP).
enum class GapSound { Tone, Silence };

// The disc's samples (left and right alike) that every rip of these tracks
// plays: per track its gap, then its body, one sine from the gap's start.
std::vector<qint16> RipSamples(const std::vector<RipTrack>& tracks, GapSound gaps = GapSound::Tone);
// The sector of each track's INDEX 01, then the lead-out's.
std::vector<int> RipStartSectors(const std::vector<RipTrack>& tracks);

// One FLAC file (fileName, beside the sheet) for the whole disc; gaps as
// INDEX 00 inside it.
bool WriteFlacRip(const QString& cuePath, const std::vector<RipTrack>& tracks,
                  const QString& fileName = QStringLiteral("disc.flac"));

// One WAV per track, each track's gap appended to the file before (INDEX 00
// in one FILE, INDEX 01 in the next), as rippers append gaps. The files are
// "NN track.wav" while the sheet spells them "NN Track.WAV", as sheets made
// on Windows often do. The sheet numbers the tracks from firstTrack, as the
// sheet of a copy of part of a disc does.
bool WriteWavTrackRip(const QString& cuePath, const std::vector<RipTrack>& tracks, int firstTrack = 1);

// One WAV per track holding the track alone, each track marked by INDEX 00
// alone. Gaps are not written: give tracks without one.
bool WriteIndex00Rip(const QString& cuePath, const std::vector<RipTrack>& tracks, int firstTrack = 1);

// One BINARY file named binName (not the sheet's name), gaps as PREGAP.
bool WriteBinRip(const QString& cuePath, const std::vector<RipTrack>& tracks, const QString& binName);

// One WAV named fileName (a Japanese name, UTF-8 on the disk), the sheet in
// CP932 or in UTF-8 after a byte order mark, with CRLF line ends.
enum class SheetText { Cp932, Utf8WithBom };
bool WriteJapaneseNamedRip(const QString& cuePath, const std::vector<RipTrack>& tracks, const QString& fileName,
                           SheetText text);

// "mm:ss:ff" of a sector count.
QByteArray CueTime(int sectors);

// Stereo 16-bit PCM of samples[from, to), left and right alike, and a WAV
// file holding such PCM.
enum class ByteOrder { LittleEndian, BigEndian };
QByteArray StereoPcm(const std::vector<qint16>& samples, std::size_t from, std::size_t to,
                     ByteOrder order = ByteOrder::LittleEndian);
QByteArray WavFile(const QByteArray& littleEndianPcm);

}  // namespace testsupport
