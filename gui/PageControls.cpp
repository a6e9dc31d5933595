#include "PageControls.h"

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include "Skin.h"
#include "platform/x11/KeysymTable.h"
#include "vocabulary/KeyCodes.h"

// X's headers name event types with macros that collide with Qt's enumerators.
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut

namespace veltrix::gui {

std::optional<std::uint8_t> InputKeyCode(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton) {
                return kKeyLeftButton;
            }
            return std::nullopt;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            std::uint32_t virtualKey = x11::VirtualKeyOfKeysym(key->nativeVirtualKey());
            if (virtualKey == 0 && key->key() == Qt::Key_Space) {
                virtualKey = 0x20;  // platforms without key symbols
            }
            return KeyCodeFromVirtualKey(virtualKey).value_or(0);
        }
        default:
            return std::nullopt;
    }
}

void SetVisibleIf(QWidget* widget, bool visible) {
    if (widget != nullptr) {
        widget->setVisible(visible);
    }
}

bool FilterKeyFieldEvent(QEvent* event, const KeyFieldCapture& capture) {
    switch (event->type()) {
        case QEvent::FocusIn:
            capture.arm();
            return false;
        case QEvent::FocusOut:
            capture.end();
            return false;
        case QEvent::MouseButtonPress:
            capture.arm();
            return false;
        case QEvent::ShortcutOverride:
            if (capture.ownsKeyPress()) {
                event->accept();  // no shortcut: the key goes to the field, which keeps it
                return true;
            }
            return false;
        case QEvent::KeyPress: {
            if (capture.ownsKeyPress()) {
                return true;
            }
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat() && key->modifiers() == Qt::NoModifier &&
                (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                 key->key() == Qt::Key_Enter)) {
                capture.arm();
                return true;
            }
            return false;
        }
        case QEvent::KeyRelease:
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
                capture.keyReleased();
            }
            return false;
        default:
            return false;
    }
}

void ShowFieldText(QLineEdit* edit, const QString& text) {
    if (edit == nullptr || edit->text() == text) {
        return;
    }
    edit->setText(text);
    // A screen reader reads out the text changes of the field that has the focus; the description
    // changes too, so that the key is announced also where a read-only field's text is not.
    edit->setAccessibleDescription(text);
}

void SelectSilently(QComboBox* combo, int item) {
    if (combo == nullptr) {
        return;
    }
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(item >= 0 && item < combo->count() ? item : -1);
}

void SetSliderSilently(QSlider* slider, int value) {
    if (slider == nullptr) {
        return;
    }
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

void SetTextSilently(QLineEdit* edit, const QString& text) {
    if (edit == nullptr) {
        return;
    }
    const QSignalBlocker blocker(edit);
    edit->setText(text);
}

void CheckOnly(std::span<QAbstractButton* const> buttons, int index) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QAbstractButton* button = buttons[i];
        if (button == nullptr) {
            continue;
        }
        const QSignalBlocker blocker(button);
        // An exclusive button refuses to be unchecked by itself.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(static_cast<int>(i) == index);
        button->setAutoExclusive(exclusive);
    }
}

void PaintSwatch(QWidget* swatch, QRgb color) {
    if (swatch != nullptr) {
        swatch->setStyleSheet(QString("background-color: %1;").arg(QColor(color).name()));
    }
}

void SetTextColor(QWidget* label, QRgb color) {
    if (label != nullptr) {
        SetSkinTextColor(label, color);
    }
}

void OnSliderSettled(QSlider* slider, QObject* context, std::function<void(int)> settled) {
    if (slider == nullptr) {
        return;
    }
    QObject::connect(slider, &QSlider::sliderReleased, context,
                     [slider, settled] { settled(slider->value()); });
    QObject::connect(slider, &QSlider::valueChanged, context, [slider, settled](int value) {
        if (!slider->isSliderDown()) {
            settled(value);
        }
    });
}

void PageTimers::Start(int id, std::chrono::milliseconds period) {
    QTimer*& timer = m_timers[id];
    if (timer == nullptr) {
        timer = new QTimer(m_pOwner);
        QObject::connect(timer, &QTimer::timeout, m_pOwner, [this, id] { m_fired(id); });
    }
    timer->start(period);
}

void PageTimers::Stop(int id) {
    if (const auto found = m_timers.find(id); found != m_timers.end()) {
        found->second->stop();
    }
}

bool PageTimers::IsActive(int id) const {
    const auto found = m_timers.find(id);
    return found != m_timers.end() && found->second->isActive();
}

}  // namespace veltrix::gui
