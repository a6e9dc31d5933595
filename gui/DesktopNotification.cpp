#include "DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMetaObject>
#include <QStringList>
#include <QVariantMap>

#include "Language.h"

namespace veltrix::gui {

void SendDesktopNotification(QObject* context, const DesktopNotification& notification,
                             std::function<void(unsigned id)> answered) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (answered) {
            QMetaObject::invokeMethod(
                context, [answered] { answered(0); }, Qt::QueuedConnection);
        }
        return;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                         "/org/freedesktop/Notifications",
                                                         "org.freedesktop.Notifications", "Notify");
    QVariantMap hints{{"desktop-entry", QStringLiteral("io.veltrix.Wireless")},
                      {"urgency", QVariant::fromValue<uchar>(notification.urgency)}};
    if (notification.transient) {
        hints.insert("transient", true);
    }
    notify << Tr("mouse_name_text") << static_cast<uint>(notification.replaces)
           << QStringLiteral("veltrix-wireless") << notification.summary << notification.body
           << QStringList{} << hints << notification.expireMs;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, answered = std::move(answered)] {
                         watcher->deleteLater();
                         const QDBusPendingReply<uint> reply = *watcher;
                         if (answered) {
                             answered(reply.isError() ? 0u : reply.value());
                         }
                     });
}

}  // namespace veltrix::gui
