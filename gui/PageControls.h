#pragma once

// What the setting pages' widgets share: showing a value that must not come back as the user's
// event, the pages' timers, and the colour swatches.

#include <QObject>
#include <QRgb>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "Language.h"

class QAbstractButton;
class QComboBox;
class QEvent;
class QLineEdit;
class QSlider;
class QTimer;
class QWidget;

namespace veltrix::gui {

// Connects a control of the layout; a control that the layout lacks is skipped.
template <typename Control, typename Signal, typename Receiver, typename Slot>
void ConnectIf(Control* control, Signal signal, const Receiver* receiver, Slot&& slot) {
    if (control != nullptr) {
        QObject::connect(control, signal, receiver, std::forward<Slot>(slot));
    }
}

// Calls `action` on what `target` points to; nothing while it is null: the page is not wired.
template <typename Pointer, typename Action, typename... Args>
void IfWired(const Pointer& target, Action&& action, Args&&... args) {
    if (target != nullptr) {
        std::invoke(std::forward<Action>(action), *target, std::forward<Args>(args)...);
    }
}

// The same as a slot, given as many of the signal's arguments as `action` takes.
template <typename Pointer, typename Action>
auto WhenWired(const Pointer& target, Action action) {
    return
        [&target, action](auto&&... args)
            -> decltype(void(std::invoke(action, *target, std::forward<decltype(args)>(args)...))) {
            IfWired(target, action, std::forward<decltype(args)>(args)...);
        };
}

// Show a value without raising the control's signals; a null control is skipped.
// `item` -1 shows no item.
void SelectSilently(QComboBox* combo, int item);
// A value outside the slider's range shows as the nearest end.
void SetSliderSilently(QSlider* slider, int value);
void SetTextSilently(QLineEdit* edit, const QString& text);

// Checks button `index` and unchecks the others, also when they are exclusive; an index outside
// the set checks none.
void CheckOnly(std::span<QAbstractButton* const> buttons, int index);

// Shows or hides a control of the layout; one that the layout lacks is skipped.
void SetVisibleIf(QWidget* widget, bool visible);

// The key code of the primary button's press or release, or of a key's; a key the vocabulary does
// not know gives 0, any other event nothing.
std::optional<std::uint8_t> InputKeyCode(const QEvent* event);

// A field that captures one key through KeyCapture. The field arms the capture when it takes the
// focus and when it is activated again (clicked, Space or Enter), and ends it when the focus
// leaves. `ownsKeyPress` is KeyCapture::OwnsKeyPress: such a press is the captured key, so the
// field keeps it from every shortcut and from moving the focus.
struct KeyFieldCapture {
    std::function<void()> arm;
    std::function<void()> end;
    std::function<bool()> ownsKeyPress;
    std::function<void()> keyReleased;
};
// For the field's event filter: true when the event was the capture's and must go no further.
bool FilterKeyFieldEvent(QEvent* event, const KeyFieldCapture& capture);
// Shows a field's text, as its accessible description too, from which screen readers announce a
// captured key.
void ShowFieldText(QLineEdit* edit, const QString& text);

// A swatch's background in the colour 0xAARRGGBB.
void PaintSwatch(QWidget* swatch, QRgb color);
// The colour a label's text is drawn in.
void SetTextColor(QWidget* label, QRgb color);

// Calls `settled` with the slider's value once the user has settled on it: the thumb was let
// go, or the value changed without a drag (a click on the track, the keyboard, the wheel, an
// assistive tool). Values shown with signals blocked do not count.
void OnSliderSettled(QSlider* slider, QObject* context, std::function<void(int)> settled);

// One timer per id, each calling `fired(id)` until it is stopped; starting a running timer
// starts it over.
class PageTimers {
  public:
    PageTimers(QObject* owner, std::function<void(int)> fired)
        : m_pOwner(owner), m_fired(std::move(fired)) {}

    void Start(int id, std::chrono::milliseconds period);
    void Stop(int id);
    // Whether timer `id` is counting down.
    bool IsActive(int id) const;

  private:
    QObject* m_pOwner;
    std::function<void(int)> m_fired;
    std::map<int, QTimer*> m_timers;  // owned by m_pOwner
};

}  // namespace veltrix::gui
