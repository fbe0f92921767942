#pragma once
// File access with scripted answers: root reads and writes anything, so
// "exists but not writable" can only be tested through this seam.

#include <QHash>
#include <QString>

#include "platform/Services.h"

namespace testsupport {

class FakeFileAccess : public platform::FileAccess {
public:
    // The modes path allows: kAccessExists, kAccessRead, kAccessWrite bits. Unknown paths do not exist.
    void Set(const QString& path, int modes) { m_modes.insert(path, modes | platform::kAccessExists); }
    void Remove(const QString& path) { m_modes.remove(path); }

    bool Access(const QString& path, int mode) const override
    {
        const auto it = m_modes.constFind(path);
        return it != m_modes.cend() && (it.value() & mode) == mode;
    }

private:
    QHash<QString, int> m_modes;
};

}  // namespace testsupport
