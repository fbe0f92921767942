#pragma once
// The services seam filled with fakes for the lifetime of the object: media
// windows, CD drives, a drive map, file access, one clock for all of them,
// message boxes and file dialogs. Declare it before the dialog under test.

#include <QMap>
#include <QString>

#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "tests/support/FakeCd.h"
#include "tests/support/FakeFileAccess.h"
#include "tests/support/FakeMedia.h"
#include "tests/support/FileDialogScript.h"
#include "tests/support/MessageBoxRecorder.h"

namespace testsupport {

class TestServices {
public:
    TestServices();
    TestServices(const TestServices&) = delete;
    TestServices& operator=(const TestServices&) = delete;

    // A CD drive ("E:") in the drive map and a disc for it in `cd`.
    FakeDisc& AddCdDrive(const QString& driveName, FakeDisc disc = {});
    // A letter ("C:") for a directory or any other target, as the [Drives] settings give it.
    void MapDrive(const QString& driveName, const QString& target);
    // Moves every fake device on.
    void AdvanceMs(long ms) { clock.Advance(ms); }

    FakeClock clock;
    FakeMediaFactory media{clock};
    FakeCdSystem cd{clock};
    drives::DriveMap drives;
    FakeFileAccess files;
    MessageBoxRecorder boxes;
    FileDialogScript dialogs;
    // What the drive finder proposes for an entry; nothing for the others.
    QMap<QString, QString> proposals;
    QStringList proposalRequests;  // the entries it was asked about

private:
    QMap<QString, QString> m_targets;
    platform::ScopedServices m_scope;
};

}  // namespace testsupport
