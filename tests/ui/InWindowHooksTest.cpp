// The input hooks inside the program's own windows, for desktops that let no program watch all
// input: they must report what the hook plugin reports.

#include <QtTest>

#include "HookBinding.h"
#include "InWindowHooks.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"

using namespace veltrix;
using namespace veltrix::gui;

namespace {

constexpr quint32 kKeysymA = 0x61;
constexpr quint32 kKeysymLeftShift = 0xffe1;

void Key(QWindow* window, QEvent::Type type, quint32 keysym) {
    QKeyEvent event(type, 0, Qt::NoModifier, 0, keysym, 0);
    QCoreApplication::sendEvent(window, &event);
}

void Button(QWindow* window, QEvent::Type type, Qt::MouseButton button) {
    QMouseEvent event(type, QPointF(5, 5), QPointF(5, 5), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}

std::vector<Message> Taken(MessageQueue& queue) {
    std::vector<Message> messages;
    while (auto message = queue.TryTake()) {
        messages.push_back(*message);
    }
    return messages;
}

}  // namespace

class InWindowHooksTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void ReportsKeysAndButtonsAsThePluginDoes() {
        QWidget widget;
        widget.show();
        QWindow* window = widget.windowHandle();
        MessageQueue queue;
        InWindowHooks hooks;
        hooks.installhook(queue.Handle());
        hooks.installmousehook(queue.Handle());

        Key(window, QEvent::KeyPress, kKeysymA);
        Key(window, QEvent::KeyRelease, kKeysymA);
        Key(window, QEvent::KeyPress, kKeysymLeftShift);
        Button(window, QEvent::MouseButtonPress, Qt::LeftButton);
        Button(window, QEvent::MouseButtonRelease, Qt::LeftButton);
        Button(window, QEvent::MouseButtonPress, Qt::BackButton);
        Button(window, QEvent::MouseButtonRelease, Qt::ForwardButton);
        const std::vector<Message> expected = {
            {kMsgHookEvent, 0x41, 0}, {kMsgHookEvent, 0x41, 1}, {kMsgHookEvent, 0xA0, 0},
            {kMsgHookEvent, 513, 0},  {kMsgHookEvent, 514, 0},  {kMsgHookEvent, 523, 2},
            {kMsgHookEvent, 524, 1},
        };
        QCOMPARE(Taken(queue), expected);

        // Paused or removed hooks report nothing.
        hooks.enablehook(0);
        hooks.enablemousehook(0);
        Key(window, QEvent::KeyPress, kKeysymA);
        Button(window, QEvent::MouseButtonPress, Qt::LeftButton);
        hooks.enablehook(1);
        hooks.enablemousehook(1);
        hooks.removehook();
        hooks.removemousehook();
        Key(window, QEvent::KeyPress, kKeysymA);
        Button(window, QEvent::MouseButtonPress, Qt::RightButton);
        QVERIFY(Taken(queue).empty());
    }

    // The window binds its hooks only after its first frame: ending a capture before that (as
    // quitting does) binds nothing, and a capture that starts first binds them and hears its key.
    void HooksBoundOnFirstNeedHearTheFirstKey() {
        QWidget widget;
        widget.show();
        MessageQueue queue;
        std::vector<InputPath> told;
        {
            DeferredHooks hooks([&told](InputPath path) { told.push_back(path); });
            hooks.removehook();
            hooks.removemousehook();
            QVERIFY(!hooks.Bound());
            hooks.installhook(queue.Handle());
            Key(widget.windowHandle(), QEvent::KeyPress, kKeysymA);
            const std::vector<Message> expected = {{kMsgHookEvent, 0x41, 0}};
            QCOMPARE(Taken(queue), expected);
            hooks.Bind();
            QCOMPARE(told, std::vector<InputPath>{InputPath::InWindow});
        }
        // Gone with their owner: nothing is heard any more.
        Key(widget.windowHandle(), QEvent::KeyPress, kKeysymA);
        QVERIFY(Taken(queue).empty());
    }
};

QTEST_MAIN(InWindowHooksTest)
#include "InWindowHooksTest.moc"
