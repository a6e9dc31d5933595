#pragma once

// A colour wheel: hue around the circle, saturation from the centre out, at full brightness.
// Dragging reports every colour on the way; letting go reports the final one. Each arrow key
// step is reported on its own, so that a held key can be told from a pointer let go.

#include <QColor>
#include <QImage>
#include <QWidget>

namespace veltrix::gui {

class ColorWheel final : public QWidget {
    Q_OBJECT

  public:
    explicit ColorWheel(QWidget* parent = nullptr);

    // 0xAARRGGBB, alpha always 0xFF.
    QRgb Color() const { return m_color.rgb(); }
    // Shows the colour on the wheel (by its hue and saturation) without reporting it.
    void SetColor(QRgb color);

    QSize sizeHint() const override { return {160, 160}; }
    QSize minimumSizeHint() const override { return {60, 60}; }

  Q_SIGNALS:
    void ColorChanged(QRgb color);          // while the pointer drags
    void ColorChangedButtonUp(QRgb color);  // when the pointer lets go
    void ColorChangedByKey(QRgb color);     // at each arrow key step

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QRectF WheelRect() const;
    QColor ColorAt(QPointF point) const;
    QPointF PointOf(const QColor& color) const;
    void PickAt(QPointF point);

    QColor m_color{Qt::red};
    QImage m_wheel;
    bool m_bDragging = false;
};

}  // namespace veltrix::gui
