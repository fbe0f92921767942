#include "platform/ui/CDialog.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QStyle>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTreeWidget>

#include "platform/ui/Quit.h"

namespace ui {

namespace {
// Height of a drop-down list's selection field in dialog units.
constexpr int kComboBoxHeight = 13;

// Reads one of our PNGs with Qt's own PNG reader, in device pixels (the
// reader takes "@2x" in a name for a density). Left to guess the format, the
// reader would first load every image-format plug-in (and with them the SVG
// library) to ask each whether it reads PNG.
QPixmap ReadPng(const QString& file)
{
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    image.setDevicePixelRatio(1.0);
    return QPixmap::fromImage(std::move(image));
}

QStringList RenderingsOf(const QFileInfo& picture)
{
    return QDir(picture.path()).entryList({picture.fileName() + QLatin1String("-*.png")}, QDir::Files);
}

// A push button that Enter presses while it has the focus, as Space does,
// whichever button is the dialog's default.
class DialogButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(event->modifiers() & ~Qt::KeypadModifier)) {
            event->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

bool NamedByItsCaption(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::IconButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return true;
    default: return false;
    }
}

bool NamedByTheLabelBefore(ControlKind kind)
{
    return kind == ControlKind::ComboDropList || kind == ControlKind::ListView || kind == ControlKind::ListBox;
}

}  // namespace

QString WithoutAccessKey(const QString& caption)
{
    static const QRegularExpression inParentheses(QStringLiteral("\\(&[^&]\\)"));
    QString text = caption;
    text.remove(inParentheses);
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&'))
                name += text.at(++i);
            continue;
        }
        name += text.at(i);
    }
    return name.trimmed();
}

QString ImageFile(const char* name, QSize size, int density)
{
    return QStringLiteral("%1-%2x%3%4.png")
        .arg(QLatin1String(name))
        .arg(size.width())
        .arg(size.height())
        .arg(density > 1 ? QStringLiteral("@%1x").arg(density) : QString());
}

QPixmap LoadImage(const char* name, QSize size)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QSize target = size * ratio;
    // The rendering made for this size and density, else the largest one
    // of the picture, scaled.
    QString file = ImageFile(name, size, ratio > 1.0 ? 2 : 1);
    if (!QFile::exists(file)) {
        const QFileInfo picture(QString::fromLatin1(name));
        file.clear();
        qint64 largest = 0;
        for (const QString& candidate : RenderingsOf(picture)) {
            const QString path = picture.path() + QLatin1Char('/') + candidate;
            QImageReader reader(path, "png");
            reader.setAutoDetectImageFormat(false);
            const QSize found = reader.size();
            if (qint64(found.width()) * found.height() > largest) {
                largest = qint64(found.width()) * found.height();
                file = path;
            }
        }
    }
    QPixmap pixmap = file.isEmpty() ? QPixmap() : ReadPng(file);
    if (!pixmap.isNull() && pixmap.size() != target) {
        const QPixmap scaled = pixmap.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        pixmap = QPixmap(target);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.drawPixmap((target.width() - scaled.width()) / 2, (target.height() - scaled.height()) / 2, scaled);
    }
    if (pixmap.isNull()) {
        pixmap = QPixmap(target);
        pixmap.fill(Qt::transparent);
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon LoadIcon(const char* name)
{
    const QFileInfo picture(QString::fromLatin1(name));
    QIcon icon;
    for (const QString& file : RenderingsOf(picture))
        if (!file.contains(QLatin1Char('@')))
            icon.addPixmap(ReadPng(picture.path() + QLatin1Char('/') + file));
    return icon;
}

QSize ImageBox(const ControlSpec& control)
{
    const QSize px = DialogUnits::ToPixels(QSize(control.w, control.h));
    if (control.kind != ControlKind::IconButton)
        return px;
    const int side = qMax(8, qMin(px.width(), px.height()) - 4);
    return {side, side};
}

CDialog::CDialog(const DialogSpec& dialogTemplate, QWidget* parent) : QDialog(parent), m_spec(dialogTemplate)
{
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    if (dialogTemplate.minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setFont(DialogFont());
    setFixedSize(DialogUnits::ToPixels(QSize(dialogTemplate.width, dialogTemplate.height)));
}

CDialog::~CDialog() = default;

void CDialog::Create()
{
    if (m_created)
        return;
    m_created = true;
    // A label's access key moves the focus to the control after it, as a
    // static text's does.
    QLabel* pendingLabel = nullptr;
    QString labelBefore;
    QLabel* previousLabel = nullptr;
    for (const ControlSpec& control : m_spec.controls) {
        QWidget* widget = MakeControl(control);
        const QString caption = QString::fromUtf8(control.caption ? control.caption : "");
        QString name;
        if (control.name)
            name = QString::fromUtf8(control.name);
        else if (NamedByItsCaption(control.kind))
            name = WithoutAccessKey(caption);
        else if (NamedByTheLabelBefore(control.kind))
            name = WithoutAccessKey(labelBefore).remove(QRegularExpression(QStringLiteral("[:：]$")));
        if (!name.isEmpty())
            widget->setAccessibleName(name);
        // Screen readers on this platform name a drop-down list by its
        // current item and the label tied to it.
        if (NamedByTheLabelBefore(control.kind) && previousLabel)
            previousLabel->setBuddy(widget);
        previousLabel = control.kind == ControlKind::Label ? qobject_cast<QLabel*>(widget) : nullptr;
        if (control.kind == ControlKind::Label || control.kind == ControlKind::GroupBox)
            labelBefore = caption;
        if (control.kind == ControlKind::Label) {
            pendingLabel = caption.contains(QLatin1Char('&')) ? qobject_cast<QLabel*>(widget) : nullptr;
        } else if (pendingLabel && control.kind != ControlKind::GroupBox) {
            pendingLabel->setBuddy(widget);
            pendingLabel = nullptr;
        }
        QRect rect(control.x, control.y, control.w, control.h);
        // A combo box's template height is its drop-down height; the box
        // itself is one line high.
        if (control.kind == ControlKind::ComboDropList)
            rect.setHeight(kComboBoxHeight);
        widget->setGeometry(DialogUnits::ToPixels(rect));
        FitCaption(widget);
        widget->setProperty("ctrlId", control.id);
        if (control.id != -1) {
            widget->setObjectName(QStringLiteral("ctrl_%1").arg(control.id));
            m_items.insert(control.id, widget);
        }
    }
    OnInitDialog();
}

int CDialog::DoModal()
{
    // While the program is being ended no dialog opens; one whose
    // OnInitDialog saw the request is cancelled before it shows.
    if (ui::QuitRequested())
        return IDCANCEL;
    Create();
    if (m_ended)
        return result();
    if (ui::QuitRequested()) {
        reject();
        return IDCANCEL;
    }
    return exec();
}

void CDialog::EndDialog(int result)
{
    done(result);
}

void CDialog::done(int result)
{
    m_ended = true;
    QDialog::done(result);
}

QWidget* CDialog::MakeControl(const ControlSpec& control)
{
    const QString caption = QString::fromUtf8(control.caption ? control.caption : "");
    const int id = control.id;
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new DialogButton(caption, this);
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefPushButton);
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id, kBnClicked); });
        return button;
    }
    case ControlKind::IconButton: {
        auto* button = new DialogButton(this);
        button->setAutoDefault(false);
        button->setToolTip(control.name ? QString::fromUtf8(control.name) : WithoutAccessKey(caption));
        const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
        if (!mnemonic.isEmpty())
            button->setShortcut(mnemonic);
        if (control.image) {
            const QSize side = ImageBox(control);
            button->setIcon(QIcon(LoadImage(control.image, side)));
            button->setIconSize(side);
        }
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id, kBnClicked); });
        return button;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(caption, this);
        connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id, kBnClicked); });
        return box;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(caption, this);
        if ((control.style & kStartsGroup) || !m_radioGroup) {
            m_radioGroup = new QButtonGroup(this);
            m_radioGroup->setExclusive(true);
        }
        m_radioGroup->addButton(radio);
        connect(radio, &QRadioButton::clicked, this, [this, id] { OnCommand(id, kBnClicked); });
        return radio;
    }
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(caption, this);
        group->lower();
        return group;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        if (control.style & kSunken)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    case ControlKind::TimeDisplay: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    case ControlKind::ComboDropList: {
        auto* combo = new QComboBox(this);
        combo->setMaxVisibleItems(qMax(1, control.h / 8 - 1));
        connect(combo, &QComboBox::activated, this, [this, id] { OnCommand(id, kCbnSelChange); });
        return combo;
    }
    case ControlKind::Frame: {
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        return frame;
    }
    case ControlKind::Picture: {
        auto* label = new QLabel(this);
        label->setAlignment(Qt::AlignCenter);
        if (control.image)
            label->setPixmap(LoadImage(control.image, ImageBox(control)));
        return label;
    }
    case ControlKind::ListView: {
        auto* view = new QTreeWidget(this);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setSelectionMode((control.style & kMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                              : QAbstractItemView::SingleSelection);
        return view;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(this);
        if (control.style & kToggleSelect)
            list->setSelectionMode(QAbstractItemView::MultiSelection);
        else
            list->setSelectionMode((control.style & kMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                                  : QAbstractItemView::SingleSelection);
        if (control.style & kSorted)
            list->setSortingEnabled(true);
        // The user's own selection changes are read when a button asks for
        // them; a selection set from code must run no handler.
        return list;
    }
    }
    return new QWidget(this);
}

int CaptionRoom(const QWidget* widget)
{
    const QStyle* style = widget->style();
    if (qobject_cast<const QCheckBox*>(widget))
        return widget->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget)
               - style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
    if (qobject_cast<const QRadioButton*>(widget))
        return widget->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, widget)
               - style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, widget);
    if (qobject_cast<const QPushButton*>(widget))
        return widget->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
    return widget->width();
}

QString CaptionOf(const QWidget* widget)
{
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text = button->text();
    else if (const auto* label = qobject_cast<const QLabel*>(widget))
        text = label->text();
    return text.remove(QLatin1Char('&'));
}

void FitCaption(QWidget* widget)
{
    if (!qobject_cast<QGroupBox*>(widget))
        FitText(widget, CaptionOf(widget));
}

void FitText(QWidget* widget, const QString& sample)
{
    // The substitute font is wider than the template's in places (half-width
    // kana): condense a text that would not fit its control.
    if (sample.isEmpty())
        return;
    int room = CaptionRoom(widget);
    if (const auto* frame = qobject_cast<const QFrame*>(widget))
        room -= 2 * frame->frameWidth() + 2;
    QFont font = widget->font();
    for (int stretch = 95; stretch >= 75 && QFontMetrics(font).horizontalAdvance(sample) > room; stretch -= 5) {
        font.setStretch(stretch);
        widget->setFont(font);
    }
}

QWidget* CDialog::GetDlgItem(int id) const
{
    return m_items.value(id, nullptr);
}

void CDialog::EnableControl(int id, bool enable)
{
    if (QWidget* w = GetDlgItem(id))
        w->setEnabled(enable);
}

void CDialog::ShowControl(int id, bool show)
{
    if (QWidget* w = GetDlgItem(id))
        w->setVisible(show);
}

bool CDialog::IsControlEnabled(int id) const
{
    const QWidget* w = GetDlgItem(id);
    return w && w->isEnabled();
}

void CDialog::SetDlgItemText(int id, const QString& text)
{
    QWidget* w = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(text);
}

QString CDialog::GetDlgItemText(int id) const
{
    QWidget* w = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    return {};
}

void CDialog::CheckDlgButton(int id, bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id)))
        button->setChecked(checked);
}

bool CDialog::IsDlgButtonChecked(int id) const
{
    const auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    return button && button->isChecked();
}

int CDialog::GetCheckedRadioButton(int first, int last) const
{
    for (int id = first; id <= last; ++id)
        if (IsDlgButtonChecked(id))
            return id;
    return 0;
}

void CDialog::CheckRadioButton(int first, int last, int id)
{
    for (int other = first; other <= last; ++other) {
        auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(other));
        if (!button)
            continue;
        // An exclusive group refuses to clear its checked button.
        QButtonGroup* group = button->group();
        const bool exclusive = group && group->exclusive();
        if (group)
            group->setExclusive(false);
        button->setChecked(other == id);
        if (group)
            group->setExclusive(exclusive);
    }
}

void CDialog::NextDlgCtl()
{
    focusNextChild();
}

void CDialog::PostCommand(int id)
{
    QMetaObject::invokeMethod(this, [this, id] { OnCommand(id, kBnClicked); }, Qt::QueuedConnection);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnCommand(int id, int code)
{
    if (code != kBnClicked)
        return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    else if (id == ID_HELP)
        OnHelp();
}

void CDialog::OnOK()
{
    done(IDOK);
}

void CDialog::OnCancel()
{
    done(IDCANCEL);
}

void CDialog::OnHelp() {}

void CDialog::reject()
{
    OnCancel();
}

void CDialog::accept()
{
    OnOK();
}

}  // namespace ui
