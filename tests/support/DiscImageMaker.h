#pragma once
// BIN/CUE disc images made on the spot: one sine (or chord) per audio track.

#include <QString>
#include <vector>

namespace testsupport {

struct TrackSpec {
    double toneHz;
    int lengthMs;  // rounded to whole sectors (1/75 s)
    bool data = false;
    std::vector<double> chordHz = {};  // further notes sounding with toneHz
};

struct DiscImageOptions {
    // The .bin misses this much of its end, cut in the middle of a sector as
    // an interrupted copy leaves it.
    int cutShortMs = 0;
    // Fades at the track edges and a slow swell: for listening, not for tests
    // that look for gaps.
    bool soft = false;
    // The number the sheet gives the first track, as the sheet of a copy of
    // part of a disc numbers it.
    int firstTrack = 1;
    // Every track marked by INDEX 00 alone.
    bool index00Only = false;
};

// Writes cuePath and the .bin beside it (same base name). Audio is 44100 Hz
// stereo S16LE at a third of full scale; a data track is Mode 1 sectors.
bool WriteCueBin(const QString& cuePath, const std::vector<TrackSpec>& tracks, const DiscImageOptions& options = {});

// Writes a cdrdao table of contents at tocPath for the .bin that WriteCueBin
// made at binPath, giving every track its full length whatever the .bin
// holds (audio tracks only), for libcdio's reader: it takes the samples as
// they are (cdrdao, and the program, take a raw file as big-endian) and a
// relative name from the working directory, so the .bin is named by its
// absolute path. TocMaker makes tables as cdrdao reads them.
bool WriteTocFor(const QString& tocPath, const QString& binPath, const std::vector<TrackSpec>& tracks);

// Sectors a track of lengthMs occupies, and where each track starts.
int TrackSectors(int lengthMs);
std::vector<int> TrackStartSectors(const std::vector<TrackSpec>& tracks);

}  // namespace testsupport
