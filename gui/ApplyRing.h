#pragma once

// The busy ring shown while the worker writes to the mouse. It animates only while shown, so an
// idle window costs nothing.

#include <QTimer>
#include <QWidget>

namespace veltrix::gui {

class ApplyRing final : public QWidget {
    Q_OBJECT

  public:
    explicit ApplyRing(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {22, 22}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QTimer m_timer;
    int m_iAngle = 0;
};

}  // namespace veltrix::gui
