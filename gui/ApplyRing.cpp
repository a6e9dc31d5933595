#include "ApplyRing.h"

#include <QPainter>

#include "Language.h"

namespace veltrix::gui {

ApplyRing::ApplyRing(QWidget* parent) : QWidget(parent) {
    setAccessibleName(Tr("a11y_sending_to_the_mouse_text"));
    m_timer.setInterval(40);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_iAngle = (m_iAngle + 12) % 360;
        update();
    });
}

void ApplyRing::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 4;
    const QRectF ring((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(QColor(0x32, 0x37, 0x43), 2.5));
    painter.drawEllipse(ring);
    painter.setPen(QPen(QColor(0x00, 0xc2, 0xff), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -m_iAngle * 16, 100 * 16);
}

void ApplyRing::showEvent(QShowEvent* event) {
    m_timer.start();
    QWidget::showEvent(event);
}

void ApplyRing::hideEvent(QHideEvent* event) {
    m_timer.stop();
    QWidget::hideEvent(event);
}

}  // namespace veltrix::gui
