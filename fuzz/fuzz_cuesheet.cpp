// Cue sheets: the reader never fails on any bytes; what it accepts is a
// sheet the layout can take, and what the layout makes of it, over files
// of made-up lengths, is a disc whose tracks and segments hold together.
#include "fuzz/FuzzRipDisc.h"
#include "platform/mci/CueLayout.h"
#include "platform/mci/CueSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<mci::CueSheet> sheet = mci::ParseCueSheet(bytes);
    if (!sheet)
        return 0;
    FUZZ_CHECK(!sheet->files.empty() && !sheet->tracks.empty() && sheet->tracks.size() <= 99);
    int number = 0;
    for (const mci::CueTrack& track : sheet->tracks) {
        FUZZ_CHECK(track.number > number && track.number <= 99);
        number = track.number;
        FUZZ_CHECK(!track.indexes.empty());
        const mci::CueIndex& start = track.Start();
        FUZZ_CHECK(start.number == 1 || (start.number == 0 && track.indexes.size() == 1));
        for (const mci::CueIndex& index : track.indexes)
            FUZZ_CHECK(index.file >= 0 && std::size_t(index.file) < sheet->files.size() && index.frame >= 0);
    }

    // Files of one to three minutes, by their place in the sheet.
    mci::RipDisc disc;
    for (std::size_t f = 0; f < sheet->files.size(); ++f)
        disc.sources.push_back({"file", mci::RipSource::Kind::Pcm, 44, std::int64_t(1 + f % 3) * 60 * 44100});
    if (mci::LayOutCueSheet(*sheet, disc)) {
        fuzz::CheckRipDisc(disc);
        FUZZ_CHECK(disc.firstTrack == sheet->tracks.front().number);
        FUZZ_CHECK(disc.leadOut == (disc.samples + 587) / 588);
    }
    return 0;
}
