#include "platform/text/MbString.h"

#include <climits>

namespace text {
namespace {

bool IsCSpace(char16_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char16_t FoldAscii(char16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + ('a' - 'A')) : c; }

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

int Atoi(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i].unicode()))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

int MbsCmp(QStringView a, QStringView b)
{
    return Sign(a.compare(b, Qt::CaseSensitive));
}

int MbsICmp(QStringView a, QStringView b)
{
    const qsizetype common = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t ca = FoldAscii(a[i].unicode());
        const char16_t cb = FoldAscii(b[i].unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

}  // namespace text
