#pragma once

// The colour picker: sixteen colour buttons and a colour wheel over a swatch of the chosen colour.
// It places itself where its caller says (under the swatch that opened it).

#include <QPoint>
#include <QRgb>

#include "SkinWindow.h"

namespace veltrix::gui {

class ColorWheel;

class CDpiColorWnd final : public SkinWindow {
    Q_OBJECT

  public:
    // `selected` is 0xAARRGGBB; `topLeft` in screen coordinates.
    CDpiColorWnd(QWidget* owner, QRgb selected, QPoint topLeft);

    QRgb SelectedColor() const { return m_selected; }
    // Colour button 1 to 16, as a click on it.
    void ChooseSwatch(int number);

  private:
    void Select(QRgb color);

    QRgb m_selected;
    ColorWheel* m_pWheel = nullptr;
    QWidget* m_pSwatch = nullptr;
};

}  // namespace veltrix::gui
