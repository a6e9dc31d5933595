#pragma once

// Notifications through the desktop's notification service (org.freedesktop.Notifications on the
// session bus). Sent asynchronously: a slow or absent service never holds up the window.

#include <QString>
#include <functional>

class QObject;

namespace veltrix::gui {

struct DesktopNotification {
    QString summary;
    QString body;
    // The service's id of a notification this one replaces in place; 0 for a new one.
    unsigned replaces = 0;
    // How long it stays, in milliseconds; -1 lets the desktop decide.
    int expireMs = -1;
    // 0 low, 1 normal, 2 critical.
    unsigned char urgency = 1;
    // A transient notification is not kept in the desktop's history.
    bool transient = false;
};

// Sends `notification`; `answered` is called from the event loop (unless `context` is gone by
// then) with the id the service gave it, or 0 when there is no session bus or the service failed.
void SendDesktopNotification(QObject* context, const DesktopNotification& notification,
                             std::function<void(unsigned id)> answered = {});

}  // namespace veltrix::gui
