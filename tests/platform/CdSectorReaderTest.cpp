// The sectors a play reads from a disc image: read plainly, many at a time,
// they are the sectors paranoia gives, whatever the sizes of the reads and
// wherever tracks start, and they end where the image's data does.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cdio/cdio.h>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <utility>

#include "platform/drives/CdioSetup.h"
#include "platform/mci/CdSectorReader.h"
#include "platform/mci/DiscImage.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/FileBytes.h"

using mci::kSectorBytes;
using mci::SectorReading;
using testsupport::TrackSpec;

namespace {

// Track lengths that no read size below divides.
const std::vector<TrackSpec> kTracks{{440, 1000}, {880, 700}, {660, 900}};

class Image {
public:
    explicit Image(const QString& path)
    {
        drives::InitCdio();
        m_cdio = cdio_open(QFile::encodeName(path).constData(), DRIVER_UNKNOWN);
    }
    ~Image()
    {
        if (m_cdio)
            cdio_destroy(m_cdio);
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    bool Opened() const { return m_cdio != nullptr; }
    std::int32_t LeadOut() const { return cdio_get_track_lsn(m_cdio, CDIO_CDROM_LEADOUT_TRACK); }
    std::int32_t ReadableEnd() { return mci::ReadableEnd(m_cdio, 0, LeadOut()); }

    std::unique_ptr<mci::CdSectorReader> Reader(std::int32_t from, SectorReading reading)
    {
        return mci::CdSectorReader::Create(m_cdio, m_mutex, from, reading);
    }

private:
    CdIo_t* m_cdio = nullptr;
    std::mutex m_mutex;
};

// Reads `sectors` sectors with reads of the sizes given, taken in turn; stops
// early at a short read. A byte the reader does not write stays 0xAA.
QByteArray ReadSectors(mci::SectorSource& reader, int sectors, const std::vector<int>& sizes)
{
    QByteArray bytes;
    for (std::size_t i = 0; bytes.size() < qsizetype(sectors) * kSectorBytes; ++i) {
        const int want = std::min(sizes[i % sizes.size()], sectors - int(bytes.size() / kSectorBytes));
        QByteArray chunk(qsizetype(want) * kSectorBytes, char(0xAA));
        const int got = reader.Read(reinterpret_cast<std::uint8_t*>(chunk.data()), want);
        bytes += chunk.left(qsizetype(got) * kSectorBytes);
        if (got < want)
            break;
    }
    return bytes;
}

class CdSectorReaderTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

TEST_F(CdSectorReaderTest, PlainReadsGiveParanoiasSectorsAcrossReadsAndTracks)
{
    ASSERT_TRUE(testsupport::WriteCueBin(Path("disc.cue"), kTracks));
    ASSERT_TRUE(testsupport::WriteTocFor(Path("disc.toc"), Path("disc.bin"), kTracks));
    const std::vector<int> starts = testsupport::TrackStartSectors(kTracks);
    for (const char* name : {"disc.cue", "disc.toc"}) {
        Image image(Path(name));
        ASSERT_TRUE(image.Opened()) << name;
        const std::int32_t leadOut = image.LeadOut();
        ASSERT_EQ(leadOut, starts.back() + testsupport::TrackSectors(kTracks.back().lengthMs)) << name;
        // From the start of the disc, from inside track 1, from the last
        // sector of track 2: reads straddle both track starts.
        for (const std::int32_t from : {0, 40, starts[2] - 1}) {
            SCOPED_TRACE(std::string(name) + " from " + std::to_string(from));
            const int sectors = leadOut - from;
            const auto paranoia = image.Reader(from, SectorReading::Paranoia);
            const auto plain = image.Reader(from, SectorReading::Plain);
            ASSERT_TRUE(paranoia && plain);
            const QByteArray expected = ReadSectors(*paranoia, sectors, {5});
            ASSERT_EQ(expected.size(), qsizetype(sectors) * kSectorBytes);
            const QByteArray read = ReadSectors(*plain, sectors, {7, 25, 1, 33, 2});
            EXPECT_EQ(read.size(), expected.size());
            EXPECT_TRUE(read == expected) << "first difference at byte "
                                          << std::mismatch(read.begin(), read.end(), expected.begin()).first -
                                                 read.begin();
            std::uint8_t past[kSectorBytes];
            EXPECT_EQ(plain->Read(past, 1), 0) << "a sector past the lead-out";
        }
    }
}

// The .bin misses the second half of sector 112: its cue sheet's lead-out,
// taken from the .bin, is 112; the table of contents', 225.
TEST_F(CdSectorReaderTest, PlainReadsEndWhereTheImageDataEnds)
{
    const std::vector<TrackSpec> tracks{{440, 1000}, {880, 1000}, {660, 1000}};
    testsupport::DiscImageOptions options;
    options.cutShortMs = 1500;
    ASSERT_TRUE(testsupport::WriteCueBin(Path("cut.cue"), tracks, options));
    ASSERT_TRUE(testsupport::WriteTocFor(Path("cut.toc"), Path("cut.bin"), tracks));
    const QByteArray bin = testsupport::ReadFileBytes(Path("cut.bin"));
    ASSERT_GT(bin.size(), 112 * kSectorBytes);
    ASSERT_LT(bin.size(), 113 * kSectorBytes);
    for (const auto& [name, end] : {std::pair{"cut.cue", 112}, std::pair{"cut.toc", 113}}) {
        SCOPED_TRACE(name);
        Image image(Path(name));
        ASSERT_TRUE(image.Opened());
        ASSERT_EQ(image.ReadableEnd(), end);
        constexpr std::int32_t kFrom = 90;
        const auto plain = image.Reader(kFrom, SectorReading::Plain);
        ASSERT_TRUE(plain);
        // What the file holds from kFrom on; silence after its last byte.
        QByteArray expected = bin.mid(qsizetype(kFrom) * kSectorBytes, qsizetype(end - kFrom) * kSectorBytes);
        expected.append(qsizetype(end - kFrom) * kSectorBytes - expected.size(), '\0');
        const QByteArray read = ReadSectors(*plain, 40, {10, 25});
        EXPECT_EQ(read.size() / kSectorBytes, end - kFrom);
        EXPECT_TRUE(read == expected);
        std::uint8_t past[kSectorBytes];
        EXPECT_EQ(plain->Read(past, 1), 0);
    }
}

}  // namespace
