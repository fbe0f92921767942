#include "platform/ui/DialogTemplate.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>

namespace ui {
namespace {

// "ＭＳ Ｐゴシック" 9 pt at 96 DPI: tmHeight 12, average width of A-Z a-z 6.
constexpr int kBaseWidthAt96 = 6;
constexpr int kBaseHeightAt96 = 12;

double DpiScale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace

QSize DialogUnits::BaseUnits()
{
    const double scale = DpiScale();
    return {qRound(kBaseWidthAt96 * scale), qRound(kBaseHeightAt96 * scale)};
}

// MulDiv rounding as MapDialogRect does it.
static int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

QRect DialogUnits::ToPixels(const QRect& dlu)
{
    const QSize base = BaseUnits();
    const int left = MulDiv(dlu.x(), base.width(), 4);
    const int top = MulDiv(dlu.y(), base.height(), 8);
    const int right = MulDiv(dlu.x() + dlu.width(), base.width(), 4);
    const int bottom = MulDiv(dlu.y() + dlu.height(), base.height(), 8);
    return {left, top, right - left, bottom - top};
}

QSize DialogUnits::ToPixels(const QSize& dlu)
{
    const QSize base = BaseUnits();
    return {MulDiv(dlu.width(), base.width(), 4), MulDiv(dlu.height(), base.height(), 8)};
}

QFont DialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    // 9 pt as pixels at the template's DPI, so text and layout scale together.
    font.setPixelSize(qRound(12 * DpiScale()));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace ui
