#pragma once
// Drive letters mapped to discs made by tests/support, opened through the
// real "cdaudio" device family, and plays captured and set against the
// samples the disc holds.

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>

#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/CdAudio.h"
#include "tests/support/AudioCapture.h"

namespace mediatest {

class DiscPlayTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Drive R: leads to target, S: to m_good.
    void Map(const QString& target)
    {
        m_drives = drives::DriveMap::Build({}, {{QStringLiteral("R"), target}, {QStringLiteral("S"), m_good}}, {});
        platform::GetServices().drives = &m_drives;
        platform::GetServices().cd = &m_cd;
    }

    mci::DeviceId Open(const char* drive = "R:")
    {
        const auto id = m_cd.Open(QString::fromLatin1(drive));
        EXPECT_TRUE(id && m_cd.SetTimeFormatMs(*id));
        return id.value_or(0);
    }

    long Mode(mci::DeviceId id) { return long(m_cd.Status(id, mci::StatusItem::Mode).value_or(0)); }
    // A drive whose image cannot be read: not ready, no tracks, no play.
    void ExpectNotReady(mci::DeviceId id)
    {
        EXPECT_EQ(m_cd.Status(id, mci::StatusItem::Ready), 0u);
        EXPECT_EQ(Mode(id), mci::kModeNotReady);
        EXPECT_FALSE(m_cd.Status(id, mci::StatusItem::NumberOfTracks));
        EXPECT_FALSE(m_cd.Play(id, 0, std::nullopt));
    }
    std::uint32_t Position(mci::DeviceId id) { return m_cd.Status(id, mci::StatusItem::Position).value_or(0); }
    std::uint32_t Start(mci::DeviceId id, int track)
    {
        return m_cd.Status(id, mci::StatusItem::Position, track).value_or(0);
    }

    void WaitWhilePlaying(mci::DeviceId id)
    {
        QElapsedTimer timer;
        timer.start();
        while (Mode(id) == mci::kModePlaying && timer.elapsed() < 30000)
            QThread::msleep(20);
    }

    static std::uint32_t SectorMs(int sector) { return std::uint32_t(sector * 1000 / 75); }

    // The capture against the disc's samples [fromSector, toSector): the
    // first sample that differs, or -1 when every one is there and no more.
    static long long FirstDifference(const QString& raw, const std::vector<qint16>& disc, int fromSector,
                                     int toSector)
    {
        QFile file(raw);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray bytes = file.readAll();
        const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
        const std::size_t first = std::size_t(fromSector) * 588;
        const std::size_t count = std::size_t(toSector - fromSector) * 588;
        const std::size_t captured = std::size_t(bytes.size()) / 4;
        for (std::size_t i = 0; i < std::min(count, captured); ++i)
            if (samples[2 * i] != disc[first + i] || samples[2 * i + 1] != disc[first + i])
                return (long long)i;
        return captured == count ? -1 : (long long)std::min(count, captured);
    }

    // Plays tracks first to last of drive R as the player plays a run of
    // them, to the start of the track after, or to the end of the disc after
    // its last track. starts: the sector of each track's INDEX 01 from the
    // disc's first track (firstTrack), then the lead-out. The play ends
    // where it should; the result is FirstDifference of what was heard.
    long long PlayTracks(int first, int last, const std::vector<qint16>& disc, const std::vector<int>& starts,
                         int firstTrack = 1)
    {
        const QString raw = Path(QStringLiteral("play%1.raw").arg(++m_plays));
        {
            testsupport::AudioCapture capture(raw);
            const mci::DeviceId id = Open();
            const bool toEnd = std::size_t(last - firstTrack + 2) == starts.size();
            const std::optional<std::uint32_t> to = toEnd ? std::nullopt : std::optional(Start(id, last + 1));
            EXPECT_TRUE(m_cd.Play(id, Start(id, first), to));
            WaitWhilePlaying(id);
            EXPECT_EQ(Mode(id), mci::kModeStopped);
            EXPECT_EQ(Position(id), to.value_or(SectorMs(starts.back())));
            m_cd.Close(id);
        }
        return FirstDifference(raw, disc, starts[std::size_t(first - firstTrack)],
                               starts[std::size_t(last - firstTrack + 1)]);
    }

    QTemporaryDir m_dir;
    QString m_good;
    int m_plays = 0;
    drives::DriveMap m_drives;
    mci::RealCdSystem m_cd{m_drives};
    platform::ScopedServices m_scope{platform::Services{}};
};

}  // namespace mediatest
