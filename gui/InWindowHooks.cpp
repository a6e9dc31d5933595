#include "InWindowHooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/Messages.h"
#include "platform/x11/KeysymTable.h"

// X's headers name two event types with macros that collide with Qt's enumerators.
#undef KeyPress
#undef KeyRelease

namespace veltrix::gui {
namespace {

// The event codes of a press of each button; the release is the next code.
std::uint32_t ButtonDownCode(Qt::MouseButton button, std::intptr_t& extra) {
    extra = 0;
    switch (button) {
        case Qt::LeftButton:
            return kHookLeftButtonDown;
        case Qt::RightButton:
            return kHookRightButtonDown;
        case Qt::MiddleButton:
            return kHookMiddleButtonDown;
        case Qt::BackButton:
            extra = kHookExtraButton2;
            return kHookExtraButtonDown;
        case Qt::ForwardButton:
            extra = kHookExtraButton1;
            return kHookExtraButtonDown;
        default:
            return 0;
    }
}

}  // namespace

InWindowHooks::InWindowHooks() {
    qApp->installEventFilter(this);
}

InWindowHooks::~InWindowHooks() {
    qApp->removeEventFilter(this);
}

void InWindowHooks::installmousehook(const VeltrixWindowHandle& window) {
    m_mouseTarget = window;
    m_bMouseInstalled = true;
}

void InWindowHooks::removemousehook() {
    m_bMouseInstalled = false;
}

void InWindowHooks::installhook(const VeltrixWindowHandle& window) {
    m_keyTarget = window;
    m_bKeysInstalled = true;
}

void InWindowHooks::removehook() {
    m_bKeysInstalled = false;
}

bool InWindowHooks::eventFilter(QObject* watched, QEvent* event) {
    // Each input event passes the filter once for every object it is offered to; only the one
    // addressed to a window counts, as the desktop would report it once.
    if (!watched->isWindowType()) {
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (!m_bKeysInstalled || !m_bKeysEnabled) {
                break;
            }
            const auto* key = static_cast<QKeyEvent*>(event);
            // The xcb and wayland platforms give the key symbol of the key under the layout, the
            // same the hook plugin translates.
            const std::uint32_t virtualKey = x11::VirtualKeyOfKeysym(key->nativeVirtualKey());
            if (virtualKey != 0) {
                VeltrixPost(&m_keyTarget, kMsgHookEvent, virtualKey,
                            event->type() == QEvent::KeyRelease ? 1 : 0);
            }
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: {
            if (!m_bMouseInstalled || !m_bMouseEnabled) {
                break;
            }
            std::intptr_t extra = 0;
            const std::uint32_t down =
                ButtonDownCode(static_cast<QMouseEvent*>(event)->button(), extra);
            if (down != 0) {
                const bool release = event->type() == QEvent::MouseButtonRelease;
                VeltrixPost(&m_mouseTarget, kMsgHookEvent, release ? down + 1 : down, extra);
            }
            break;
        }
        case QEvent::Wheel:
            if (m_bMouseInstalled && m_bMouseEnabled && m_bWheelEnabled) {
                const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y();
                if (steps != 0) {
                    VeltrixPost(&m_mouseTarget, kMsgHookEvent, kHookWheel, steps);
                }
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace veltrix::gui
