// Every entry the player cannot play says why in one line on stderr, with
// Skip on (nothing else tells the user) as with Skip off.
#include "options/CDriveDlg.h"
#include "tests/player/PlayerFixture.h"
#include <QApplication>
#include <QTimer>

#include "tests/support/StderrCapture.h"

namespace {

using playertest::CdEntry;
using playertest::Disc;

class PlayerReasonsTest : public playertest::PlayerFixture {};

TEST_F(PlayerReasonsTest, EachSkippedEntryNamesItselfAndItsReason)
{
    const struct {
        const char* name;
        QString entry;
        std::function<void(testsupport::TestServices&)> setUp;
        QByteArray line;
    } cases[] = {
        {"missing file", "/m/gone.mid", [](auto&) {}, "lirabox: cannot play /m/gone.mid: not found\n"},
        {"unreadable file", "/m/locked.wav", [](auto& s) { s.files.Set("/m/locked.wav", 0); },
         "lirabox: cannot play /m/locked.wav: cannot be read\n"},
        {"unmapped drive", "C:\\MIDI\\a.mid", [](auto&) {},
         "lirabox: cannot play C:\\MIDI\\a.mid: drive C: is not mapped\n"},
        {"track the disc lacks", CdEntry("E:", 7), [](auto& s) { s.AddCdDrive("E:", Disc(3)); },
         "lirabox: cannot play E:\\ CDﾄﾗｯｸ 07: no track 7 on the disc in E:\n"},
        {"no disc", CdEntry("E:", 1),
         [](auto& s) {
             testsupport::FakeDisc empty = Disc(3);
             empty.present = false;
             s.AddCdDrive("E:", empty);
         },
         "lirabox: cannot play E:\\ CDﾄﾗｯｸ 01: no disc in E:\n"},
        {"unmapped CD drive", CdEntry("R:", 1), [](auto&) {},
         "lirabox: cannot play R:\\ CDﾄﾗｯｸ 01: drive R: is not mapped\n"},
        {"data track", CdEntry("E:", 1),
         [](auto& s) {
             testsupport::FakeDisc disc = Disc(3);
             disc.dataTracks = {1};
             s.AddCdDrive("E:", disc);
         },
         "lirabox: cannot play E:\\ CDﾄﾗｯｸ 01: track 1 on the disc in E: is a data track\n"},
        {"unreadable image", CdEntry("R:", 2),
         [](auto& s) {
             testsupport::FakeDisc image = Disc(3);
             image.present = false;
             image.problem = "the disc image /d/a.cue names \"a.bin\", which is not there";
             s.AddCdDrive("R:", image);
         },
         "lirabox: cannot play R:\\ CDﾄﾗｯｸ 02: the disc image /d/a.cue names \"a.bin\", which is not there\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TestServices services;
        c.setUp(services);
        services.files.Set("/m/ok.wav", platform::kAccessReadWrite);
        services.media.AddFile("/m/ok.wav", testsupport::FakeMediaFile::Audio(2'000));
        PlayerState state;
        state.m_skip = 1;
        testsupport::MemoryStateStore store;
        CPlayerDlg dlg(state, store);
        state.m_entries = {c.entry, "/m/ok.wav"};
        dlg.Create();
        dlg.m_entryCount = 2;
        dlg.FillTitleList();
        // A letter nothing maps is asked about first; skipped here.
        QTimer::singleShot(0, [] {
            if (auto* question = qobject_cast<CDriveDlg*>(QApplication::activeModalWidget()))
                question->EndDialog(CDriveDlg::IDC_SKIP);
        });
        testsupport::StderrCapture stderrText;
        dlg.OnPlay();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(stderrText.Text(), c.line);
        EXPECT_TRUE(services.boxes.Texts().isEmpty());
        EXPECT_EQ(services.media.Creations().back().path, "/m/ok.wav") << "skipped to the next entry";
    }
}

}  // namespace
