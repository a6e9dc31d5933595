// The seven entry points of Hook.so. One recording session serves both hooks: it runs while
// either is installed, and each event goes to the window of its hook while that hook is installed
// and enabled.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "hook/RecordSession.h"
#include "platform/Messages.h"

#pragma GCC visibility push(default)
#include "hook/hook.h"
#pragma GCC visibility pop

namespace veltrix::hook {
namespace {

struct Target {
    bool installed = false;
    VeltrixWindowHandle window{};
};

// The mouse message of an X button press or release, and its lParam. Wheel buttons come as a
// press and a release for each step; the press stands for the step.
struct ButtonMessage {
    std::uint32_t message = 0;
    std::intptr_t lParam = 0;
    bool wheel = false;
};

ButtonMessage MessageOfButton(unsigned button, bool press) {
    switch (button) {
        case 1:
            return {press ? kHookLeftButtonDown : kHookLeftButtonUp, 0};
        case 2:
            return {press ? kHookMiddleButtonDown : kHookMiddleButtonUp, 0};
        case 3:
            return {press ? kHookRightButtonDown : kHookRightButtonUp, 0};
        case 4:
            return {press ? kHookWheel : 0, kHookWheelStep, true};
        case 5:
            return {press ? kHookWheel : 0, -kHookWheelStep, true};
        case 6:
            return {press ? kHookHorizontalWheel : 0, -kHookWheelStep, true};
        case 7:
            return {press ? kHookHorizontalWheel : 0, kHookWheelStep, true};
        case 8:  // back
            return {press ? kHookExtraButtonDown : kHookExtraButtonUp, kHookExtraButton2};
        case 9:  // forward
            return {press ? kHookExtraButtonDown : kHookExtraButtonUp, kHookExtraButton1};
        default:
            return {};
    }
}

enum class Hook : std::size_t { kKeys, kMouse };

class Hooks {
  public:
    Hooks()
        : m_session([this](int type, unsigned detail, x11::X11Keyboard& keyboard) {
              OnEvent(type, detail, keyboard);
          }) {}

    void Install(Hook hook, const VeltrixWindowHandle* window) {
        std::lock_guard calls(m_calls);
        {
            std::lock_guard lock(m_targetMutex);
            TargetOf(hook) = {true, window != nullptr ? *window : VeltrixWindowHandle{}};
        }
        m_session.Start();
    }

    void Remove(Hook hook) {
        std::lock_guard calls(m_calls);
        bool anyInstalled = false;
        {
            std::lock_guard lock(m_targetMutex);
            TargetOf(hook) = {};
            anyInstalled = TargetOf(Hook::kKeys).installed || TargetOf(Hook::kMouse).installed;
        }
        if (!anyInstalled) {
            m_session.Stop();
        }
    }

    void Enable(Hook hook, bool enable) { m_enabled[static_cast<std::size_t>(hook)] = enable; }
    void EnableWheel(bool enable) { m_wheelEnabled = enable; }

  private:
    Target& TargetOf(Hook hook) { return m_targets[static_cast<std::size_t>(hook)]; }
    bool IsEnabled(Hook hook) const { return m_enabled[static_cast<std::size_t>(hook)]; }

    void OnEvent(int type, unsigned detail, x11::X11Keyboard& keyboard) {
        if (type == KeyPress || type == KeyRelease) {
            if (!IsEnabled(Hook::kKeys) || !IsInstalled(Hook::kKeys)) {
                return;
            }
            keyboard.Update();
            const std::uint32_t virtualKey = keyboard.VirtualKey(detail);
            if (virtualKey != 0) {
                Post(Hook::kKeys, virtualKey, type == KeyRelease ? 1 : 0);
            }
            return;
        }
        const ButtonMessage button = MessageOfButton(detail, type == ButtonPress);
        if (button.message != 0 && IsEnabled(Hook::kMouse) && (!button.wheel || m_wheelEnabled)) {
            Post(Hook::kMouse, button.message, button.lParam);
        }
    }

    bool IsInstalled(Hook hook) {
        std::lock_guard lock(m_targetMutex);
        return TargetOf(hook).installed;
    }

    // Posts under the lock, so that once a hook is removed nothing more reaches its window.
    void Post(Hook hook, std::uintptr_t wParam, std::intptr_t lParam) {
        std::lock_guard lock(m_targetMutex);
        if (TargetOf(hook).installed) {
            VeltrixPost(&TargetOf(hook).window, kMsgHookEvent, wParam, lParam);
        }
    }

    std::mutex m_calls;        // one installing or removing call at a time
    std::mutex m_targetMutex;  // the targets, between the calls and the session's thread
    std::array<Target, 2> m_targets;
    // Plain switches, kept across installing and removing.
    std::array<std::atomic<bool>, 2> m_enabled{true, true};
    std::atomic<bool> m_wheelEnabled{false};
    RecordSession m_session;  // last: it ends first, while everything it uses still exists
};

// Destroyed when the library is unloaded, which ends a recording still running.
Hooks g_hooks;

}  // namespace
}  // namespace veltrix::hook

using veltrix::hook::g_hooks;
using veltrix::hook::Hook;

extern "C" {

void installhook(const VeltrixWindowHandle* window) {
    g_hooks.Install(Hook::kKeys, window);
}

void removehook(void) {
    g_hooks.Remove(Hook::kKeys);
}

void enablehook(int32_t enable) {
    g_hooks.Enable(Hook::kKeys, enable != 0);
}

void installmousehook(const VeltrixWindowHandle* window) {
    g_hooks.Install(Hook::kMouse, window);
}

void removemousehook(void) {
    g_hooks.Remove(Hook::kMouse);
}

void enablemousehook(int32_t enable) {
    g_hooks.Enable(Hook::kMouse, enable != 0);
}

void mousewheelenable(int32_t enable) {
    g_hooks.EnableWheel(enable != 0);
}

}  // extern "C"
