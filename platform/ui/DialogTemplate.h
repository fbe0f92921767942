#pragma once
// Dialog templates as data: every control with its id, kind, caption and
// position in dialog units, turned into widgets by CDialog.

#include <QRect>
#include <QSize>
#include <span>

class QFont;
class QWidget;

namespace ui {

enum class ControlKind {
    PushButton,
    DefPushButton,
    IconButton,       // push button showing an icon; the caption is its access key
    CheckBox,
    RadioButton,      // auto radio button
    GroupBox,
    Label,            // static text, left aligned
    TimeDisplay,      // static text, centred, sunken and bordered
    ComboDropList,    // drop-down list; the template height is the drop-down height
    Frame,            // static frame
    Picture,          // bitmap or icon static
    ListView,         // report-style list view
    ListBox,
};

// Control style bits of our own that a template can carry.
inline constexpr unsigned kStartsGroup = 0x1;
inline constexpr unsigned kMultiSelect = 0x2;
inline constexpr unsigned kSorted = 0x4;
inline constexpr unsigned kToggleSelect = 0x8;  // list box: a click toggles an item
inline constexpr unsigned kSunken = 0x10;       // static text: sunken edge

struct ControlSpec {
    int id;  // -1 for controls the program never addresses
    ControlKind kind;
    const char* caption;
    int x, y, w, h;
    const char* image = nullptr;  // resource name of a picture (see ui::LoadImage)
    unsigned style = 0;
    // What a screen reader says for the control, where its caption does not
    // say what it does (an icon button's caption is only its access key).
    // Without it: the caption without its access key, or for a list the
    // caption of the label or group before it.
    const char* name = nullptr;
};

struct DialogSpec {
    int templateId;
    const char* caption;
    int width, height;  // dialog units
    std::span<const ControlSpec> controls;
    bool minimizeBox = false;
};

// Dialog units of the templates' font, 9-point "ＭＳ Ｐゴシック": Windows
// derives them from that font's average character width and height, so the
// layout must not follow the metrics of whichever substitute font is drawn.
class DialogUnits {
public:
    // Base units (average character width, character height) in pixels at the screen's DPI.
    static QSize BaseUnits();
    static QRect ToPixels(const QRect& dlu);
    static QSize ToPixels(const QSize& dlu);
};

// "MS PGothic", then "IPAPGothic", then "Noto Sans CJK JP", 9 pt.
QFont DialogFont();

}  // namespace ui
