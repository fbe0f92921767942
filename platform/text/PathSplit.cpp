#include "platform/text/PathSplit.h"

#include "platform/text/MbString.h"

namespace text {
namespace {

bool HasDrive(QStringView path) { return path.size() >= 2 && path[1] == u':'; }

bool IsDriveLetterPath(QStringView path)
{
    if (!HasDrive(path))
        return false;
    const char16_t c = path[0].unicode();
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

PathParts SplitPath(QStringView path)
{
    PathParts parts;
    if (HasDrive(path)) {
        parts.drive = path.first(2).toString();
        path = path.sliced(2);
    }
    qsizetype nameStart = 0;
    qsizetype lastDot = -1;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == u'\\' || path[i] == u'/') {
            nameStart = i + 1;
            lastDot = -1;
        } else if (path[i] == u'.') {
            lastDot = i;
        }
    }
    parts.dir = path.first(nameStart).toString();
    const qsizetype extStart = lastDot >= 0 ? lastDot : path.size();
    parts.fname = path.sliced(nameStart, extStart - nameStart).toString();
    parts.ext = path.sliced(extStart).toString();
    return parts;
}

bool SamePath(QStringView a, QStringView b)
{
    if (IsDriveLetterPath(a) && IsDriveLetterPath(b))
        return MbsICmp(a, b) == 0;
    return a == b;
}

}  // namespace text
