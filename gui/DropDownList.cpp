#include "DropDownList.h"

#include <QEvent>

namespace veltrix::gui {

void DropDownList::showPopup() {
    if (m_bFontPending) {
        m_bFontPending = false;
        // What Qt's list does on a font change: the drop-down takes the list's font.
        QEvent fontChange(QEvent::FontChange);
        QComboBox::changeEvent(&fontChange);
    }
    QComboBox::showPopup();
}

QSize DropDownList::sizeHint() const {
    m_bMeasured = true;
    return QComboBox::sizeHint();
}

QSize DropDownList::minimumSizeHint() const {
    m_bMeasured = true;
    return QComboBox::minimumSizeHint();
}

void DropDownList::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange && !m_bMeasured && !HasDropDown()) {
        m_bFontPending = true;
        QWidget::changeEvent(event);
        return;
    }
    if (event->type() == QEvent::FontChange) {
        m_bFontPending = false;
    }
    QComboBox::changeEvent(event);
}

bool DropDownList::HasDropDown() const {
    for (const QObject* child : children()) {
        if (child->isWidgetType() && static_cast<const QWidget*>(child)->isWindow()) {
            return true;
        }
    }
    return false;
}

}  // namespace veltrix::gui
