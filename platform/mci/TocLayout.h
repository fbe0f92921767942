#pragma once
// Where a cdrdao table of contents puts its files' data on the disc
// (private to platform/mci): track after track, each a whole number of
// sectors, a data track as silence that no play reaches.

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/mci/RipDisc.h"

namespace mci {

struct TocFile;

struct TocDataFile {
    QByteArray path;  // native
    std::int64_t bytes = 0;
};

// How the files a table names are found.
struct TocFileProbe {
    // A FILE or AUDIOFILE: raw samples (big-endian, as cdrdao takes them), a
    // WAVE file when its name says so, or a file to decode.
    std::function<std::optional<RipSource>(const QByteArray& name)> audio;
    // A DATAFILE, whose bytes are taken as they are.
    std::function<std::optional<TocDataFile>(const QByteArray& name)> data;
};

// nullopt when a file is missing, a START or an offset lies at or past the
// end of what it refers to, a track holds no sector, or the disc runs past
// 9999 minutes. A file that holds less than the table takes from it ends
// the disc's data there: the tracks keep the table's lengths.
std::optional<RipDisc> LayOutToc(const TocFile& toc, const TocFileProbe& probe);

}  // namespace mci
