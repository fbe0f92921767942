#pragma once
// Windows path rules on QString: _splitpath and path comparison.

#include <QString>
#include <QStringView>

namespace text {

struct PathParts {
    QString drive;  // "X:" or empty
    QString dir;    // up to and including the last separator
    QString fname;  // base name
    QString ext;    // from the last dot of the last component, or empty
};

// _splitpath: "\" and "/" both separate; drive + dir + fname + ext == path.
PathParts SplitPath(QStringView path);

// Drive-letter paths ("X:...") name files of a case-insensitive file system
// and compare with ASCII letters folded; any other path, POSIX ones above
// all, compares exactly.
bool SamePath(QStringView a, QStringView b);

}  // namespace text
