#pragma once
// A player window on fake devices, with the helpers the player's tests share:
// a collection handed over in memory, clicks, picks, whole seconds of play
// and the enabled state of the transport controls.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "tests/support/MemoryStateStore.h"
#include "player/CPlayerDlg.h"
#include "tests/support/TestServices.h"

namespace playertest {

using testsupport::FakeDisc;
using testsupport::FakeMediaFile;

inline const QString kCd = QStringLiteral("CDﾄﾗｯｸ");

inline QString CdEntry(const char* drive, int track)
{
    return QStringLiteral("%1\\ %2 %3").arg(QLatin1String(drive), kCd).arg(track, 2, 10, QLatin1Char('0'));
}

inline FakeDisc Disc(int tracks, long trackMs = 60'000)
{
    FakeDisc disc;
    disc.trackLengthsMs.assign(tracks, trackMs);
    return disc;
}

// The enabled state of Play, Stop, Pause, Home, Previous, Next and Shuffle, as "1000001".
inline QString EnabledControls(const CPlayerDlg& dlg)
{
    QString s;
    for (int id : {CPlayerDlg::IDC_PLAY, CPlayerDlg::IDC_STOP, CPlayerDlg::IDC_PAUSE, CPlayerDlg::IDC_HOME,
                   CPlayerDlg::IDC_PREVIOUS, CPlayerDlg::IDC_NEXT, CPlayerDlg::IDC_SHUFFLE})
        s += dlg.IsControlEnabled(id) ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

class PlayerFixture : public testing::Test {
protected:
    void AddFile(const QString& path, FakeMediaFile file = FakeMediaFile::Audio(5'000))
    {
        m_services.media.AddFile(path, file);
        m_services.files.Set(path, platform::kAccessReadWrite);
    }

    // Opens the player on a collection held in memory, as the editor hands one over.
    void Open(const QStringList& entries)
    {
        m_state.m_entries = entries;
        m_dlg.Create();
        m_dlg.m_entryCount = entries.size();
        m_dlg.FillTitleList();
    }

    void Click(int id)
    {
        qobject_cast<QAbstractButton*>(m_dlg.GetDlgItem(id))->click();
        Flush();
    }

    void Pick(int item)
    {
        m_dlg.m_titleCombo->setCurrentIndex(item);
        m_dlg.OnSelchangeTitle();
        Flush();
    }

    static void Flush() { QCoreApplication::sendPostedEvents(); }

    // Moves the devices on by whole seconds, with one timer tick a second.
    void Seconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            m_services.AdvanceMs(1000);
            m_dlg.OnTimer();
            Flush();
        }
    }

    QString Enabled() const { return EnabledControls(m_dlg); }

    QStringList PlayedPaths() const
    {
        QStringList paths;
        for (const auto& creation : m_services.media.Creations())
            if (creation.opened)
                paths.append(creation.path);
        return paths;
    }

    QStringList CdCalls(const char* prefix) const
    {
        return m_services.cd.Calls().filter(QRegularExpression(QStringLiteral("^") + QLatin1String(prefix)));
    }

    testsupport::TestServices m_services;
    PlayerState m_state;
    testsupport::MemoryStateStore m_store;
    CPlayerDlg m_dlg{m_state, m_store};
};

}  // namespace playertest
