// cdrdao tables of contents: the reader never fails on any bytes; what it
// accepts, laid out over files of made-up kinds and lengths, is a disc
// whose tracks follow each other in whole sectors and whose segments hold
// together, ending where a file falls short of the table.
#include "fuzz/FuzzRipDisc.h"
#include "platform/mci/TocFile.h"
#include "platform/mci/TocLayout.h"

namespace {

// A name's length picks its file's: up to five minutes; a name holding
// "missing" is not there.
std::int64_t MadeUpSamples(const QByteArray& name)
{
    return std::int64_t(name.size() % 5) * 60 * 44100 + name.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<mci::TocFile> toc = mci::ParseTocFile(bytes);
    if (!toc)
        return 0;
    FUZZ_CHECK(!toc->tracks.empty() && toc->tracks.size() <= 99);
    for (const mci::TocTrack& track : toc->tracks) {
        FUZZ_CHECK(!track.pieces.empty());
        FUZZ_CHECK(!(track.startSectors && track.startAfterPieces));
        FUZZ_CHECK(!track.startAfterPieces || *track.startAfterPieces <= track.pieces.size());
        for (const mci::TocPiece& piece : track.pieces) {
            FUZZ_CHECK(piece.length >= 0 && piece.start >= 0 && piece.byteOffset >= 0);
            FUZZ_CHECK(track.audio || piece.kind != mci::TocPiece::Kind::AudioFile);
            FUZZ_CHECK(piece.kind == mci::TocPiece::Kind::Silence || !piece.name.isEmpty());
        }
    }

    mci::TocFileProbe probe;
    probe.audio = [](const QByteArray& name) -> std::optional<mci::RipSource> {
        if (name.contains("missing"))
            return std::nullopt;
        const QByteArray lower = name.toLower();
        const auto kind = lower.endsWith(".wav")    ? mci::RipSource::Kind::Pcm
                          : lower.endsWith(".flac") ? mci::RipSource::Kind::Decoded
                                                    : mci::RipSource::Kind::PcmBigEndian;
        return mci::RipSource{name, kind, kind == mci::RipSource::Kind::Pcm ? 44 : 0, MadeUpSamples(name)};
    };
    probe.data = [](const QByteArray& name) -> std::optional<mci::TocDataFile> {
        if (name.contains("missing"))
            return std::nullopt;
        return mci::TocDataFile{name, MadeUpSamples(name) * 4 + 3};
    };
    const std::optional<mci::RipDisc> disc = mci::LayOutToc(*toc, probe);
    if (!disc)
        return 0;
    fuzz::CheckRipDisc(*disc);
    FUZZ_CHECK(disc->firstTrack == 1 && disc->starts.size() == toc->tracks.size());
    for (std::size_t t = 0; t < toc->tracks.size(); ++t)
        FUZZ_CHECK(disc->audio[t] == toc->tracks[t].audio);
    return 0;
}
