#include "platform/mci/RipDisc.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/drives/PathResolver.h"
#include "platform/drives/RealFileAccess.h"
#include "platform/mci/CueLayout.h"
#include "platform/mci/CueSheet.h"
#include "platform/mci/RipDecoder.h"
#include "platform/mci/TocFile.h"
#include "platform/mci/TocLayout.h"
#include "platform/text/FileText.h"

namespace mci {
namespace {

constexpr int kRate = 44100;
constexpr int kSampleBytes = 4;
// Far beyond the sheet of a 99-track disc with every title in it.
constexpr qint64 kMaxSheetBytes = 1 << 20;

// A descriptor closed when it goes.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

std::optional<QByteArray> ReadAtMost(const QByteArray& nativePath, qint64 limit)
{
    const Fd fd(drives::OpenRegularFile(nativePath));
    if (fd.Get() < 0)
        return std::nullopt;
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total < bytes.size()) {
        const ssize_t got = ::read(fd.Get(), bytes.data() + total, static_cast<std::size_t>(bytes.size() - total));
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += got;
    }
    bytes.truncate(total);
    return bytes;
}

QByteArray ReadAt(int fd, qint64 offset, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    const ssize_t got = ::pread(fd, bytes.data(), static_cast<std::size_t>(size), offset);
    bytes.truncate(got < 0 ? 0 : got);
    return bytes;
}

std::int64_t SamplesAt44100(std::int64_t count, std::int64_t rate)
{
    return rate == kRate ? count : (count * kRate + rate / 2) / rate;
}

// A WAV of 16-bit 44.1 kHz stereo PCM: where its samples start and how many
// the file really holds (its header may claim more than was copied).
std::optional<RipSource> ProbeWav(int fd, std::int64_t fileBytes)
{
    if (ReadAt(fd, 0, 12).left(4) != "RIFF" || ReadAt(fd, 8, 4) != "WAVE")
        return std::nullopt;
    bool pcm = false;
    for (std::int64_t at = 12; at + 8 <= fileBytes;) {
        const QByteArray header = ReadAt(fd, at, 8);
        if (header.size() < 8)
            break;
        const std::int64_t size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (header.startsWith("fmt ")) {
            const QByteArray fmt = ReadAt(fd, at + 8, std::min<std::int64_t>(size, 40));
            if (fmt.size() < 16)
                return std::nullopt;
            const auto tag = qFromLittleEndian<quint16>(fmt.constData());
            const bool integer = tag == 1 || (tag == 0xFFFE && fmt.size() >= 26
                                              && qFromLittleEndian<quint16>(fmt.constData() + 24) == 1);
            pcm = integer && qFromLittleEndian<quint16>(fmt.constData() + 2) == 2
                  && qFromLittleEndian<quint32>(fmt.constData() + 4) == kRate
                  && qFromLittleEndian<quint16>(fmt.constData() + 14) == 16;
        } else if (header.startsWith("data")) {
            if (!pcm)
                return std::nullopt;
            RipSource source;
            source.kind = RipSource::Kind::Pcm;
            source.dataOffset = at + 8;
            source.samples = std::min(size, fileBytes - source.dataOffset) / kSampleBytes;
            return source;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// The sample count of a FLAC file's STREAMINFO (after an ID3v2 tag, which
// some taggers put there); nullopt when it does not say.
std::optional<std::int64_t> FlacSamples(int fd)
{
    std::int64_t at = 0;
    const QByteArray id3 = ReadAt(fd, 0, 10);
    if (id3.size() == 10 && id3.startsWith("ID3")) {
        std::int64_t size = 0;
        for (int i = 6; i < 10; ++i)
            size = (size << 7) | (static_cast<unsigned char>(id3[i]) & 0x7F);
        at = 10 + size + ((id3[5] & 0x10) ? 10 : 0);
    }
    const QByteArray head = ReadAt(fd, at, 26);
    if (head.size() < 26 || !head.startsWith("fLaC") || (head[4] & 0x7F) != 0)
        return std::nullopt;
    const auto bits = qFromBigEndian<quint64>(head.constData() + 18);
    const auto rate = static_cast<std::int64_t>(bits >> 44);
    const auto total = static_cast<std::int64_t>(bits & ((quint64(1) << 36) - 1));
    if (rate <= 0 || total <= 0)
        return std::nullopt;
    return SamplesAt44100(total, rate);
}

// What a FILE line's file gives the disc: BINARY and MOTOROLA are raw CD
// audio whatever their name; WAV and FLAC tell their length in their
// headers; anything else is asked of GStreamer.
std::optional<RipSource> Probe(const QByteArray& path, const QByteArray& type)
{
    const Fd fd(drives::OpenRegularFile(path));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
        return std::nullopt;
    std::optional<RipSource> source;
    if (type == "BINARY" || type == "MOTOROLA") {
        source.emplace();
        source->kind = type == "BINARY" ? RipSource::Kind::Pcm : RipSource::Kind::PcmBigEndian;
        source->samples = info.st_size / kSampleBytes;
    } else if ((source = ProbeWav(fd.Get(), info.st_size))) {
    } else if (const auto flac = FlacSamples(fd.Get())) {
        source.emplace();
        source->samples = *flac;
    } else if (const auto decoded = RipDecoder::Samples(path)) {
        source.emplace();
        source->samples = *decoded;
    }
    if (source)
        source->path = path;
    return source;
}

QString LastComponent(const QString& name)
{
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    return name.mid(slash + 1);
}

// A FILE name: relative to the sheet's folder, in any ASCII case, spelt in
// UTF-8 or CP932 on the disk; a Windows or absolute path that is not there
// is looked for by its last component beside the sheet.
std::optional<QByteArray> Resolve(const QByteArray& dir, const QString& name)
{
    const bool windowsPath = name.size() >= 2 && name[1] == u':';
    std::vector<QByteArray> candidates;
    if (name.startsWith(u'/'))
        candidates.push_back(drives::ResolvePosixPath(name));
    else if (!windowsPath)
        candidates.push_back(drives::ResolveUnder(dir, name));
    candidates.push_back(drives::ResolveUnder(dir, LastComponent(name)));
    for (const QByteArray& path : candidates)
        if (drives::IsReadableRegularFile(path))
            return path;
    return std::nullopt;
}

std::optional<QByteArray> ResolveFile(const QByteArray& dir, const QByteArray& name, text::Encoding encoding)
{
    const text::Encoding other = encoding == text::Encoding::Utf8 ? text::Encoding::Cp932 : text::Encoding::Utf8;
    for (const text::Encoding tried : {encoding, other})
        if (const auto path = Resolve(dir, text::DecodeText(name, tried)))
            return path;
    return std::nullopt;
}

QByteArray SheetFolder(const QString& cuePath)
{
    return QFile::encodeName(QFileInfo(cuePath).absolutePath());
}

std::optional<QByteArray> ReadSheet(const QString& cuePath)
{
    auto sheet = ReadAtMost(QFile::encodeName(cuePath), kMaxSheetBytes);
    if (!sheet || sheet->size() > kMaxSheetBytes)
        return std::nullopt;
    return sheet;
}

// The kind of FILE of a table of contents, as a cue sheet's type: WAVE and
// compressed files by their names, anything else raw with the most
// significant byte first, as cdrdao reads it.
QByteArray TocFileType(const QByteArray& name)
{
    const QByteArray lower = name.toLower();
    for (const char* suffix : {".wav", ".flac", ".mp3", ".ogg", ".oga", ".opus", ".m4a"})
        if (lower.endsWith(suffix))
            return "WAVE";
    return "MOTOROLA";
}

std::optional<std::int64_t> SizeOf(const QByteArray& path)
{
    const Fd fd(drives::OpenRegularFile(path));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
        return std::nullopt;
    return std::int64_t(info.st_size);
}

// The first thing found wrong, for the log.
void Say(QString* why, const QString& what)
{
    if (why && why->isEmpty())
        *why = what;
}

QString FileProblem(const QByteArray& name, text::Encoding encoding, bool found)
{
    const QString shown = text::DecodeText(name, encoding);
    return found ? QStringLiteral("names \"%1\", whose audio and length cannot be told").arg(shown)
                 : QStringLiteral("names \"%1\", which is not there").arg(shown);
}

std::shared_ptr<const RipDisc> LoadCueSheet(const QByteArray& bytes, const QString& cuePath, QString* why)
{
    const auto sheet = ParseCueSheet(bytes);
    if (!sheet) {
        Say(why, QStringLiteral("is no cue sheet that places a track"));
        return nullptr;
    }
    const text::Encoding encoding = text::DetectEncoding(bytes);
    const QByteArray folder = SheetFolder(cuePath);
    auto disc = std::make_shared<RipDisc>();
    for (const CueFile& file : sheet->files) {
        const auto path = ResolveFile(folder, file.name, encoding);
        auto source = path ? Probe(*path, file.type) : std::nullopt;
        if (!source) {
            Say(why, FileProblem(file.name, encoding, path.has_value()));
            return nullptr;
        }
        disc->sources.push_back(std::move(*source));
    }
    if (!LayOutCueSheet(*sheet, *disc)) {
        Say(why, QStringLiteral("places an INDEX past the end of its file or before the one before it"));
        return nullptr;
    }
    return disc;
}

std::shared_ptr<const RipDisc> LoadTocFile(const QByteArray& bytes, const QString& tocPath, QString* why)
{
    const auto toc = ParseTocFile(bytes);
    if (!toc) {
        Say(why, QStringLiteral("is no table of contents that cdrdao reads"));
        return nullptr;
    }
    const text::Encoding encoding = text::DetectEncoding(bytes);
    const QByteArray folder = SheetFolder(tocPath);
    // A table often names one file for every track: each is probed once.
    std::map<QByteArray, std::optional<RipSource>> probed;
    TocFileProbe probe;
    probe.audio = [&](const QByteArray& name) {
        auto [it, added] = probed.emplace(name, std::nullopt);
        if (added) {
            const auto path = ResolveFile(folder, name, encoding);
            if (path)
                it->second = Probe(*path, TocFileType(name));
            if (!it->second)
                Say(why, FileProblem(name, encoding, path.has_value()));
        }
        return it->second;
    };
    probe.data = [&](const QByteArray& name) -> std::optional<TocDataFile> {
        const auto path = ResolveFile(folder, name, encoding);
        const auto size = path ? SizeOf(*path) : std::nullopt;
        if (!size) {
            Say(why, FileProblem(name, encoding, path.has_value()));
            return std::nullopt;
        }
        return TocDataFile{*path, *size};
    };
    auto disc = LayOutToc(*toc, probe);
    if (!disc) {
        Say(why, QStringLiteral("starts a track past its end, or takes a file from past its end"));
        return nullptr;
    }
    return std::make_shared<const RipDisc>(std::move(*disc));
}

bool IsTocFile(const QString& path)
{
    return path.right(4).compare(QLatin1String(".toc"), Qt::CaseInsensitive) == 0;
}

}  // namespace

bool PlaysAsRip(const QString& target)
{
    if (IsTocFile(target))
        return true;
    const QString suffix = target.right(4);
    if (suffix.compare(QLatin1String(".cue"), Qt::CaseInsensitive) != 0)
        return false;
    // libcdio reads the .bin named like the sheet, extension in the sheet's case.
    QString libcdioBin;
    if (suffix == QLatin1String(".cue"))
        libcdioBin = target.chopped(3) + QLatin1String("bin");
    else if (suffix == QLatin1String(".CUE"))
        libcdioBin = target.chopped(3) + QLatin1String("BIN");
    const auto bytes = ReadSheet(target);
    const auto sheet = bytes ? ParseCueSheet(*bytes) : std::nullopt;
    if (libcdioBin.isEmpty() || !sheet || sheet->files.size() != 1 || sheet->files[0].type != "BINARY")
        return true;
    // libcdio places a track without INDEX 01 before the disc.
    if (std::any_of(sheet->tracks.begin(), sheet->tracks.end(),
                    [](const CueTrack& track) { return track.Start().number != 1; }))
        return true;
    const auto named = ResolveFile(SheetFolder(target), sheet->files[0].name, text::DetectEncoding(*bytes));
    return !named || QFileInfo(QFile::decodeName(*named)).canonicalFilePath() != QFileInfo(libcdioBin).canonicalFilePath();
}

std::shared_ptr<const RipDisc> RipDisc::Load(const QString& sheetPath, QString* why)
{
    const auto bytes = ReadSheet(sheetPath);
    if (!bytes) {
        Say(why, QStringLiteral("cannot be read, or holds more than 1 MB"));
        return nullptr;
    }
    return IsTocFile(sheetPath) ? LoadTocFile(*bytes, sheetPath, why) : LoadCueSheet(*bytes, sheetPath, why);
}

}  // namespace mci
