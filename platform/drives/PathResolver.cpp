#include "platform/drives/PathResolver.h"

#include <QList>
#include <algorithm>
#include <chrono>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "platform/text/Cp932.h"

namespace drives {
namespace {

enum class Match { Exact, IgnoreAsciiCase };

// When set, a directory listing gives up once the steady clock passes it.
struct Limit {
    std::optional<std::chrono::steady_clock::time_point> until;
    bool reached = false;

    bool Reached()
    {
        if (until && std::chrono::steady_clock::now() >= *until)
            reached = true;
        return reached;
    }
};

bool Exists(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.isEmpty() ? "." : path.constData(), &info) == 0;
}

QByteArray Join(const QByteArray& dir, const QByteArray& name)
{
    if (dir.isEmpty())
        return name;
    return dir.endsWith('/') ? dir + name : dir + '/' + name;
}

bool IsCp932Lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

unsigned char FoldAscii(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// ASCII letters folded. In CP932 a trail byte may look like a letter, so the
// two bytes of a double-byte character compare exactly.
bool EqualsFolded(const QByteArray& a, const QByteArray& b, bool cp932)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (cp932 && IsCp932Lead(x)) {
            if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (FoldAscii(x) != FoldAscii(y)) {
            return false;
        }
    }
    return true;
}

// The name under dir for a component spelled utf8 (or cp932 when given).
std::optional<QByteArray> FindEntry(const QByteArray& dir, const QByteArray& utf8, const QByteArray& cp932,
                                    Match match, Limit& limit)
{
    if (Exists(Join(dir, utf8)))
        return utf8;
    if (!cp932.isEmpty() && Exists(Join(dir, cp932)))
        return cp932;
    if (match == Match::Exact || utf8 == "." || utf8 == "..")
        return std::nullopt;
    DIR* listing = ::opendir(dir.isEmpty() ? "." : dir.constData());
    if (!listing)
        return std::nullopt;
    std::vector<QByteArray> found;
    while (const dirent* entry = ::readdir(listing)) {
        if (limit.Reached())
            break;
        const QByteArray name(entry->d_name);
        if (EqualsFolded(name, utf8, false) || (!cp932.isEmpty() && EqualsFolded(name, cp932, true)))
            found.push_back(name);
    }
    ::closedir(listing);
    if (found.empty())
        return std::nullopt;
    return *std::min_element(found.begin(), found.end());
}

QByteArray Walk(QByteArray path, const QList<QStringView>& components, Match match, Limit& limit)
{
    bool found = true;
    for (const QStringView component : components) {
        const QByteArray utf8 = component.toUtf8();
        std::optional<QByteArray> name;
        if (found) {
            bool encodable = false;
            QByteArray cp932 = text::EncodeCp932(component, &encodable);
            if (!encodable || cp932 == utf8)
                cp932.clear();
            name = FindEntry(path, utf8, cp932, match, limit);
            if (limit.reached)
                return {};
            found = name.has_value();
        }
        path = Join(path, name.value_or(utf8));
    }
    return path;
}

QList<QStringView> SplitComponents(QStringView rest, bool backslashToo)
{
    QList<QStringView> components;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && rest[i] != u'/' && !(backslashToo && rest[i] == u'\\'))
            continue;
        if (i > start)
            components.append(rest.mid(start, i - start));
        start = i + 1;
    }
    return components;
}

}  // namespace

QByteArray ResolvePosixPath(const QString& path)
{
    const QByteArray utf8 = path.toUtf8();
    if (Exists(utf8))
        return utf8;
    const QByteArray base = path.startsWith(u'/') ? QByteArray("/") : QByteArray();
    Limit none;
    const QByteArray walked = Walk(base, SplitComponents(path, false), Match::Exact, none);
    return Exists(walked) ? walked : utf8;
}

QByteArray ResolveUnder(const QByteArray& base, const QString& rest)
{
    Limit none;
    return Walk(base, SplitComponents(rest, true), Match::IgnoreAsciiCase, none);
}

std::optional<QByteArray> ResolveUnderBefore(const QByteArray& base, const QString& rest,
                                             std::chrono::steady_clock::time_point deadline)
{
    Limit limit{deadline};
    QByteArray path = Walk(base, SplitComponents(rest, true), Match::IgnoreAsciiCase, limit);
    if (limit.reached)
        return std::nullopt;
    return path;
}

}  // namespace drives
