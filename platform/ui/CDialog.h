#pragma once
// A modal dialog built from a template, with the framework's command model:
// controls addressed by id, commands routed to OnCommand, posted commands
// run after the current handler returns.

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QPixmap>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/WinTypes.h"

class QButtonGroup;

namespace ui {

// Notification codes that reach OnCommand besides a button click.
inline constexpr int kBnClicked = 0;
inline constexpr int kCbnSelChange = 1;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int ID_HELP = 57670;

class CDialog : public QDialog {
    Q_OBJECT

public:
    explicit CDialog(const DialogSpec& dialogTemplate, QWidget* parent = nullptr);
    ~CDialog() override;

    // Builds the controls and runs OnInitDialog, once; DoModal does it too.
    void Create();
    // Runs the dialog modally and returns the code given to EndDialog. A
    // dialog ended during OnInitDialog returns at once, never shown.
    int DoModal();
    void EndDialog(int result);
    // True once the dialog was ended (EndDialog, OnOK, OnCancel).
    bool IsEnded() const { return m_ended; }

    QWidget* GetDlgItem(int id) const;
    template <typename T>
    T* Item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }

    void EnableControl(int id, bool enable);
    void ShowControl(int id, bool show);
    bool IsControlEnabled(int id) const;
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    void CheckDlgButton(int id, bool checked);
    bool IsDlgButtonChecked(int id) const;
    // The checked radio button among first..last, or 0.
    int GetCheckedRadioButton(int first, int last) const;
    void CheckRadioButton(int first, int last, int id);
    // Moves the focus to the next control in tab order (WM_NEXTDLGCTL 0, 0).
    void NextDlgCtl();

    // Queues a command to this dialog, to run after the current handler.
    void PostCommand(int id);

    const DialogSpec& Template() const { return m_spec; }

    // Escape and the close box reach OnCancel, Enter the default button.
    void reject() override;
    void accept() override;

protected:
    virtual BOOL OnInitDialog();
    // A command from a control (button click, list selection change) or posted.
    virtual void OnCommand(int id, int code);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnHelp();

    void done(int result) override;

private:
    QWidget* MakeControl(const ControlSpec& control);

    const DialogSpec& m_spec;
    QHash<int, QWidget*> m_items;
    QButtonGroup* m_radioGroup = nullptr;
    bool m_created = false;
    bool m_ended = false;
};

// The room a control leaves for its caption, in pixels.
int CaptionRoom(const QWidget* widget);
// A control's caption without its access-key marks.
QString CaptionOf(const QWidget* widget);
// A caption as a screen reader says it: "選曲(&C)..." is "選曲...".
QString WithoutAccessKey(const QString& caption);
// Condenses the font of a control whose caption would not fit it.
void FitCaption(QWidget* widget);
// Condenses the font of a control until sample fits it.
void FitText(QWidget* widget, const QString& sample);

// The pictures are PNG resources drawn at build time, named
// "<name>-<w>x<h>.png" after the size in pixels at 96 DPI, with "@2x" for
// twice the density; name is their resource path without the size
// (":/icons/129-play").
QString ImageFile(const char* name, QSize size, int density = 1);
// The picture for a box of the given size on the screen: the rendering made
// for it, or the largest one scaled to fit and centred.
QPixmap LoadImage(const char* name, QSize size);
// An icon of every rendering of the picture.
QIcon LoadIcon(const char* name);
// The size of the picture a control with an image shows.
QSize ImageBox(const ControlSpec& control);

}  // namespace ui
