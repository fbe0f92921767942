#include "app/IniText.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cctype>

namespace ini {
namespace {

// A value as Qt writes it in an INI settings file, so that Qt reads it back:
// UTF-8, C escapes for control characters, quotes around a value with a
// separator or with a space at either end, "@" doubled at the start.
QByteArray EscapedValue(const QString& text)
{
    const QString value = text.startsWith(u'@') ? u'@' + text : text;
    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextIfHexDigit = false;  // "\x1" followed by "f" would read as "\x1f"
    for (qsizetype i = 0; i < value.size();) {
        const char16_t c = value.at(i).unicode();
        if (c == 0xFEFF) {
            // Read as UTF-8, it would be taken for a byte order mark and dropped.
            out += "\\xfeff";
            escapeNextIfHexDigit = true;
            ++i;
            continue;
        }
        if (c >= 0x80) {
            qsizetype end = i;
            while (end < value.size() && value.at(end).unicode() >= 0x80 && value.at(end).unicode() != 0xFEFF)
                ++end;
            out += QStringView(value).sliced(i, end - i).toUtf8();
            escapeNextIfHexDigit = false;
            i = end;
            continue;
        }
        ++i;
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHexDigit && std::isxdigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (c) {
        case '\0': out += "\\0"; escapeNextIfHexDigit = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeNextIfHexDigit = true;
            } else {
                out += char(c);
            }
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

// One line of an INI file as Qt's settings reader reads it: a backslash takes the next
// byte (a line end too) into the line, a double quote runs to the next one
// across line ends, and a ";" outside quotes starts a comment to the end of
// the line.
struct IniLine {
    QByteArrayView text;  // without the line end
    QByteArrayView body;  // text before the comment
    QByteArrayView end;   // "\n", "\r\n", ... or empty at the end of the file
    // False for a last line that would take in whatever followed it (in
    // quotes, or after a backslash).
    bool closed = true;
};

QList<IniLine> SplitLines(QByteArrayView file)
{
    QList<IniLine> lines;
    qsizetype start = 0;
    while (start < file.size()) {
        qsizetype i = start;
        qsizetype comment = -1;
        bool inQuotes = false;
        bool escaped = false;  // the last byte was taken in by a backslash
        while (i < file.size()) {
            const char c = file[i];
            escaped = comment < 0 && c == '\\';
            if (escaped) {
                i += 2;
                if (i < file.size() && (file[i - 1] == '\n' || file[i - 1] == '\r')
                    && (file[i] == '\n' || file[i] == '\r') && file[i] != file[i - 1])
                    ++i;
                continue;
            }
            if ((c == '\n' || c == '\r') && !inQuotes)
                break;
            if (comment < 0 && c == '"')
                inQuotes = !inQuotes;
            else if (comment < 0 && c == ';' && !inQuotes)
                comment = i;
            ++i;
        }
        i = std::min(i, file.size());
        qsizetype next = i;
        if (next < file.size()) {
            ++next;
            if (next < file.size() && (file[next] == '\n' || file[next] == '\r') && file[next] != file[i])
                ++next;
        }
        const QByteArrayView text = file.sliced(start, i - start);
        const bool closed = next > i || (!inQuotes && !escaped);
        lines.append({text, comment < 0 ? text : file.sliced(start, comment - start), file.sliced(i, next - i), closed});
        start = next;
    }
    return lines;
}

QByteArrayView Trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

// A key or group name as Qt's settings spell it in a file: "%XX" and "%UXXXX"
// stand for characters, "\" for "/".
QString UnescapedName(QByteArrayView name)
{
    const QString decoded = QString::fromUtf8(name);
    QString result;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded.at(i);
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == decoded.size() - 1) {
            result += c;
            ++i;
            continue;
        }
        const bool wide = decoded.at(i + 1) == u'U';
        const qsizetype first = i + (wide ? 2 : 1);
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code = first + digits <= decoded.size()
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

// The group a "[name]" line opens; nullopt for any other line.
std::optional<QString> GroupOf(QByteArrayView body)
{
    body = Trimmed(body);
    if (!body.startsWith('['))
        return std::nullopt;
    const qsizetype close = body.indexOf(']');
    // Names are trimmed of all white space, \v and \f too.
    return UnescapedName(body.sliced(1, (close < 0 ? body.size() : close) - 1).trimmed());
}

// Where the value of a "key=value" line starts, after its "="; 0 for a line
// that is no value.
qsizetype ValueStart(QByteArrayView body)
{
    bool inQuotes = false;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] == '\\')
            ++i;
        else if (body[i] == '"')
            inQuotes = !inQuotes;
        else if (body[i] == '=' && !inQuotes)
            return i + 1;
    }
    return 0;
}

// The key of a "key=value" line; empty for anything else.
QString KeyOf(QByteArrayView body)
{
    const qsizetype start = ValueStart(body);
    return start > 0 ? UnescapedName(body.first(start - 1).trimmed()) : QString();
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// A value's text after "=" as Qt's settings reader unescapes it: spaces before it and
// after it go, unless quoted; double quotes enclose text; a backslash starts
// a C escape ("\x" hex and octal as many digits as follow), takes a line end
// away or drops the byte after it. "@@" at the start stands for "@".
// Unlike Qt's reader, a comma never splits the value into a list.
std::optional<QString> UnescapedValue(QByteArrayView raw)
{
    QString result;
    qsizetype chopLimit = 0;  // escaped and quoted text is never chopped
    bool inQuotes = false;
    bool quoted = false;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        chopLimit = result.size();
    };
    skipSpaces();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= raw.size())
                break;
            const char e = raw[i++];
            static constexpr std::pair<char, char16_t> kEscapes[] = {
                {'a', u'\a'}, {'b', u'\b'}, {'f', u'\f'}, {'n', u'\n'}, {'r', u'\r'}, {'t', u'\t'},
                {'v', u'\v'}, {'"', u'"'}, {'?', u'?'}, {'\'', u'\''}, {'\\', u'\\'}};
            const auto* simple = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                              [e](const auto& pair) { return pair.first == e; });
            if (simple != std::end(kEscapes)) {
                result += QChar(simple->second);
            } else if (e == 'x' || IsOctal(e)) {
                char16_t code = e == 'x' ? 0 : char16_t(e - '0');
                const bool hex = e == 'x';
                bool any = !hex;
                while (i < raw.size() && (hex ? std::isxdigit(uchar(raw[i])) != 0 : IsOctal(raw[i]))) {
                    const char d = raw[i++];
                    const int digit = hex ? (std::isdigit(uchar(d)) ? d - '0' : (std::tolower(uchar(d)) - 'a' + 10))
                                          : d - '0';
                    code = char16_t(code * (hex ? 16 : 8) + digit);
                    any = true;
                }
                if (any)
                    result += QChar(code);
            } else if ((e == '\n' || e == '\r') && i < raw.size() && (raw[i] == '\n' || raw[i] == '\r')
                       && raw[i] != e) {
                ++i;
            }
            chopLimit = result.size();
            continue;
        }
        if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
            continue;
        }
        qsizetype end = i + 1;
        while (end < raw.size() && raw[end] != '\\' && raw[end] != '"')
            ++end;
        result += QString::fromUtf8(raw.sliced(i, end - i));
        i = end;
    }
    if (!quoted)
        while (result.size() > chopLimit && (result.back() == u' ' || result.back() == u'\t'))
            result.chop(1);
    if (result.startsWith(QLatin1String("@@")))
        return result.mid(1);
    if (result == QLatin1String("@Invalid()"))
        return std::nullopt;
    return result;
}

}  // namespace

QList<std::pair<QString, QString>> ReadGroup(QByteArrayView file, const QString& group)
{
    if (file.startsWith("\xEF\xBB\xBF"))
        file = file.sliced(3);
    QList<std::pair<QString, QString>> values;
    QHash<QString, qsizetype> positions;
    bool inGroup = false;
    for (const IniLine& line : SplitLines(file)) {
        if (const std::optional<QString> name = GroupOf(line.body)) {
            inGroup = *name == group;
            continue;
        }
        if (!inGroup)
            continue;
        const QString key = KeyOf(line.body);
        if (key.isEmpty())
            continue;
        const qsizetype equals = ValueStart(line.body);
        std::optional<QString> value = UnescapedValue(line.body.sliced(equals));
        const auto known = positions.constFind(key);
        if (!value) {
            if (known != positions.cend())
                values[*known].second.clear();
            continue;
        }
        if (known != positions.cend()) {
            values[*known].second = std::move(*value);
        } else {
            positions.insert(key, values.size());
            values.append({key, std::move(*value)});
        }
    }
    return values;
}

QByteArray EditGroup(const QByteArray& file, const QString& group, const QList<Change>& changes)
{
    // The last change of each name, in the order the names first appear.
    QStringList names;
    QHash<QString, std::optional<QString>> values;
    for (const Change& change : changes) {
        if (!values.contains(change.first))
            names.append(change.first);
        values.insert(change.first, change.second);
    }

    const QList<IniLine> lines = SplitLines(file);
    QByteArray out;
    QSet<QString> written;
    bool inGroup = false;
    // In out: after the last line of the last [Settings] that is not blank
    // and after which a line can start.
    qsizetype groupEnd = -1;
    for (const IniLine& line : lines) {
        if (const std::optional<QString> name = GroupOf(line.body)) {
            inGroup = *name == group;
            out += line.text;
            out += line.end.isEmpty() && inGroup ? QByteArrayView("\n") : line.end;
            if (inGroup)
                groupEnd = line.closed ? out.size() : -1;
            continue;
        }
        const QString key = inGroup ? KeyOf(line.body) : QString();
        const auto change = values.constFind(key);
        if (key.isEmpty() || change == values.cend()) {
            out += line.text;
            out += line.end;
        } else if (change->has_value() && !written.contains(key)) {
            out += key.toUtf8() + '=' + EscapedValue(**change) + (line.end.isEmpty() ? "\n" : line.end.toByteArray());
            written.insert(key);
        }
        if (inGroup && !Trimmed(line.text).isEmpty() && line.closed)
            groupEnd = out.size();
    }

    QByteArray added;
    for (const QString& name : names)
        if (values.value(name).has_value() && !written.contains(name))
            added += name.toUtf8() + '=' + EscapedValue(*values.value(name)) + '\n';
    if (added.isEmpty())
        return out;
    if (groupEnd >= 0) {
        if (groupEnd > 0 && out[groupEnd - 1] != '\n' && out[groupEnd - 1] != '\r')
            added.prepend('\n');
        out.insert(groupEnd, added);
        return out;
    }
    const QByteArray header = "[" + group.toUtf8() + "]\n" + added;
    if (!lines.isEmpty() && !lines.last().closed) {
        // Nothing can follow the last line: the group goes first, and the
        // lines that were first stay in the group they were in.
        const qsizetype bom = out.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        out.insert(bom, header + "\n[General]\n");
        return out;
    }
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
        out += '\n';
    if (!out.isEmpty())
        out += '\n';
    return out + header;
}

}  // namespace ini
