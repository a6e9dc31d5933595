#include "ColorWheel.h"

#include <QConicalGradient>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "Language.h"

namespace veltrix::gui {

ColorWheel::ColorWheel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    setAccessibleName(Tr("a11y_colour_wheel_text"));
}

void ColorWheel::SetColor(QRgb color) {
    m_color = QColor::fromRgb(color);
    update();
}

QRectF ColorWheel::WheelRect() const {
    const qreal side = std::min(width(), height()) - 8.0;
    return {(width() - side) / 2.0, (height() - side) / 2.0, side, side};
}

void ColorWheel::resizeEvent(QResizeEvent* /*event*/) {
    // The wheel is drawn once per size; only the marker moves afterwards.
    const QRectF rect = WheelRect();
    const qreal ratio = devicePixelRatioF();
    m_wheel = QImage((size() * ratio), QImage::Format_ARGB32_Premultiplied);
    m_wheel.setDevicePixelRatio(ratio);
    m_wheel.fill(Qt::transparent);
    QPainter painter(&m_wheel);
    painter.setRenderHint(QPainter::Antialiasing);
    QConicalGradient hues(rect.center(), 0);
    for (int step = 0; step <= 6; ++step) {
        // Hue runs counter-clockwise like the conical gradient's angle.
        hues.setColorAt(step / 6.0,
                        QColor::fromHsvF(step == 6 ? 0.0f : static_cast<float>(step) / 6.0f, 1, 1));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(hues);
    painter.drawEllipse(rect);
    QRadialGradient white(rect.center(), rect.width() / 2.0);
    white.setColorAt(0, Qt::white);
    white.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setBrush(white);
    painter.drawEllipse(rect);
}

void ColorWheel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(0, 0, m_wheel);
    const QPointF marker = PointOf(m_color);
    painter.setBrush(m_color);
    painter.setPen(QPen(QColor(0x14, 0x16, 0x1b), 3));
    painter.drawEllipse(marker, 7, 7);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(marker, 7, 7);
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0x00, 0xc2, 0xff), 1, Qt::DotLine));
        painter.drawEllipse(WheelRect().adjusted(-2, -2, 2, 2));
    }
}

QColor ColorWheel::ColorAt(QPointF point) const {
    const QRectF rect = WheelRect();
    const QPointF d = point - rect.center();
    const qreal radius = rect.width() / 2.0;
    qreal angle = std::atan2(-d.y(), d.x());  // screen y grows downwards
    if (angle < 0) {
        angle += 2 * std::numbers::pi;
    }
    const qreal saturation = std::min<qreal>(1.0, std::hypot(d.x(), d.y()) / radius);
    return QColor::fromHsvF(static_cast<float>(angle / (2 * std::numbers::pi)),
                            static_cast<float>(saturation), 1.0f);
}

QPointF ColorWheel::PointOf(const QColor& color) const {
    const QRectF rect = WheelRect();
    const qreal radius = rect.width() / 2.0;
    const qreal hue = std::max<qreal>(0.0, color.hsvHueF());
    const qreal angle = hue * 2 * std::numbers::pi;
    const qreal distance = color.hsvSaturationF() * radius;
    return rect.center() + QPointF(std::cos(angle) * distance, -std::sin(angle) * distance);
}

void ColorWheel::PickAt(QPointF point) {
    m_color = ColorAt(point);
    update();
}

void ColorWheel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_bDragging = true;
    PickAt(event->position());
    Q_EMIT ColorChanged(Color());
}

void ColorWheel::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging) {
        PickAt(event->position());
        Q_EMIT ColorChanged(Color());
    }
}

void ColorWheel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_bDragging) {
        m_bDragging = false;
        PickAt(event->position());
        Q_EMIT ColorChangedButtonUp(Color());
    }
}

void ColorWheel::keyPressEvent(QKeyEvent* event) {
    // Arrows turn the hue and change the saturation, for those who do not use a pointer.
    float hue = std::max(0.0f, m_color.hsvHueF());
    float saturation = m_color.hsvSaturationF();
    switch (event->key()) {
        case Qt::Key_Left:
            hue = std::fmod(hue + 1.0f / 72.0f, 1.0f);
            break;
        case Qt::Key_Right:
            hue = std::fmod(hue + 71.0f / 72.0f, 1.0f);
            break;
        case Qt::Key_Up:
            saturation = std::min(1.0f, saturation + 0.05f);
            break;
        case Qt::Key_Down:
            saturation = std::max(0.0f, saturation - 0.05f);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    m_color = QColor::fromHsvF(hue, saturation, 1.0f);
    update();
    Q_EMIT ColorChangedByKey(Color());
}

}  // namespace veltrix::gui
