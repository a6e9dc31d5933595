#include "WindowMessages.h"

#include <QCoreApplication>

namespace veltrix::gui {

QEvent::Type MessageEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void MessagePort::PostThunk(void* context, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    // postEvent takes ownership and is thread-safe; events for one receiver keep their order.
    QCoreApplication::postEvent(static_cast<MessagePort*>(context),
                                new MessageEvent(Message{message, wParam, lParam}));
}

bool MessagePort::event(QEvent* event) {
    if (event->type() == MessageEvent::EventType()) {
        m_handler(static_cast<MessageEvent*>(event)->Get());
        return true;
    }
    return QObject::event(event);
}

}  // namespace veltrix::gui
