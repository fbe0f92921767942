#include "platform/mci/VideoWidget.h"

#include <QCloseEvent>
#include <QPainter>

namespace mci {

VideoWidget::VideoWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void VideoWidget::SetFrame(const QImage& frame)
{
    m_frame = frame;
    update();
}

void VideoWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    QSize shape = m_display.isEmpty() ? m_frame.size() : m_display;
    shape.scale(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - shape.width()) / 2, (height() - shape.height()) / 2), shape);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}

void VideoWidget::closeEvent(QCloseEvent* event)
{
    if (m_closeAllowed)
        event->accept();
    else
        event->ignore();
}

}  // namespace mci
