#pragma once

// The window handle that the driver and hook plugins, the worker and the pages post to, delivered
// as Qt events on the UI thread in the order of posting. Posting is safe from any thread.

#include <QEvent>
#include <QObject>
#include <cstdint>
#include <functional>

#include "platform/MessageQueue.h"
#include "platform/window_handle.h"

namespace veltrix::gui {

class MessageEvent final : public QEvent {
  public:
    static QEvent::Type EventType();

    explicit MessageEvent(const Message& message) : QEvent(EventType()), m_message(message) {}
    const Message& Get() const { return m_message; }

  private:
    Message m_message;
};

// Receives the posted messages and hands each to `handler` on the UI thread. It must outlive
// every party that posts to its handle: the owner declares it before them.
class MessagePort final : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void(const Message&)>;

    explicit MessagePort(Handler handler) : m_handler(std::move(handler)) {}

    const VeltrixWindowHandle& Handle() const { return m_handle; }
    // Delivers at once on the calling (UI) thread, as a synchronous send would.
    void Send(const Message& message) { m_handler(message); }

  protected:
    bool event(QEvent* event) override;

  private:
    static void PostThunk(void* context, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);

    Handler m_handler;
    VeltrixWindowHandle m_handle{this, &MessagePort::PostThunk};
};

}  // namespace veltrix::gui
