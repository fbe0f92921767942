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
};

// Writes cuePath and the .bin beside it (same base name). Audio is 44100 Hz
// stereo S16LE at a third of full scale; a data track is Mode 1 sectors.
bool WriteCueBin(const QString& cuePath, const std::vector<TrackSpec>& tracks, const DiscImageOptions& options = {});

// Writes a cdrdao table of contents at tocPath for the .bin that WriteCueBin
// made at binPath, giving every track its full length whatever the .bin
// holds (audio tracks only). The .bin is named by its absolute path: libcdio
// takes a relative one from the working directory, not from the table's.
bool WriteTocFor(const QString& tocPath, const QString& binPath, const std::vector<TrackSpec>& tracks);

// Sectors a track of lengthMs occupies, and where each track starts.
int TrackSectors(int lengthMs);
std::vector<int> TrackStartSectors(const std::vector<TrackSpec>& tracks);

}  // namespace testsupport
