#pragma once

#include <QComboBox>

namespace veltrix::gui {

// A list whose drop-down is made when it is first opened. Qt's list makes its drop-down (a
// frame, a list view, its scroll bars and scrollers, each styled) as soon as a style sheet gives
// the list a font, which the skin's sheet gives every widget: the button page alone holds nine
// lists that the user may never open. Everything else is Qt's own list; without Q_OBJECT it
// still is a "QComboBox" to style sheets, screen readers and `qobject_cast`.
class DropDownList : public QComboBox {
  public:
    using QComboBox::QComboBox;

    void showPopup() override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    // True once Qt's list made its drop-down, whoever asked for it (a screen reader does).
    bool HasDropDown() const;

    bool m_bFontPending = false;
    // Qt keeps the size it measured until a font change tells it otherwise: a list already
    // measured takes every font change as Qt's own list does.
    mutable bool m_bMeasured = false;
};

}  // namespace veltrix::gui
