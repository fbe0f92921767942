#pragma once
// The window a media file plays in: paints the latest frame scaled into its
// rectangle with the picture's aspect kept, black around it.

#include <QImage>
#include <QSize>
#include <QWidget>

namespace mci {

class VideoWidget : public QWidget {
    Q_OBJECT

public:
    VideoWidget(QWidget* parent, Qt::WindowFlags flags);

    // The picture's shape on screen (pixel aspect applied).
    void SetDisplaySize(QSize size) { m_display = size; }
    void SetFrame(const QImage& frame);
    // Close requests from the window system are refused until allowed.
    void SetCloseAllowed(bool allowed) { m_closeAllowed = allowed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QImage m_frame;
    QSize m_display;
    bool m_closeAllowed = true;
};

}  // namespace mci
