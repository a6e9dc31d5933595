#pragma once

// The global input hooks as the pages use them: the seven entry points of the hook plugin, and the
// flags that say which page receives the hook events. The plugin reports every key and mouse
// button event anywhere on the desktop to the window it was installed for, as kMsgHookEvent.

#include <cstdint>

#include "platform/window_handle.h"

namespace veltrix {

// A binding that lacks an entry point skips its calls; callers never look at results.
class HookLibrary {
  public:
    virtual ~HookLibrary() = default;

    virtual void installmousehook(const VeltrixWindowHandle& window) = 0;
    virtual void removemousehook() = 0;
    // 0 pauses the mouse reports, 1 resumes them.
    virtual void enablemousehook(std::int32_t enable) = 0;
    virtual void installhook(const VeltrixWindowHandle& window) = 0;
    virtual void removehook() = 0;
    // 0 pauses the key reports, 1 resumes them.
    virtual void enablehook(std::int32_t enable) = 0;
    // 0 keeps wheel events away.
    virtual void mousewheelenable(std::int32_t enable) = 0;
};

// Owned by the main window, which looks at each flag, independently of the others, for every hook
// event. A page that starts capturing clears all three first, so that only it gets the events.
struct CaptureTargetFlags {
    std::uint8_t byButtonCapture;
    std::uint8_t byMacroRecording;
    std::uint8_t byMacroKeyEdit;

    void Clear() { byButtonCapture = byMacroRecording = byMacroKeyEdit = 0; }
};

static_assert(sizeof(CaptureTargetFlags) == 3);

// How every capture ends, whatever ended it: no page receives hook events any more and both hooks
// are removed at once, so nothing typed afterwards anywhere on the desktop reaches the program.
inline void EndCapture(HookLibrary& hooks, CaptureTargetFlags& flags) {
    flags.Clear();
    hooks.removehook();
    hooks.removemousehook();
}

// The parties a hook event may be meant for while a capture runs.
class HookEventTargets {
  public:
    virtual ~HookEventTargets() = default;
    // The key field of the button page; it ignores keys while no button is selected.
    virtual void CaptureButtonKey(std::uint32_t code, std::uint32_t flag) = 0;
    virtual void RecordMacroEvent(std::uint32_t code, std::uint32_t flag) = 0;
    virtual void EditMacroKey(std::uint32_t code, std::uint32_t flag) = 0;
};

// Hands a hook event to the target of each set flag. Each flag is asked on its own: a page that
// starts capturing has cleared the others, and an event with no flag set goes nowhere.
inline void RouteHookEvent(const CaptureTargetFlags& flags, HookEventTargets& targets,
                           std::uint32_t code, std::uint32_t flag) {
    if (flags.byButtonCapture == 1) {
        targets.CaptureButtonKey(code, flag);
    }
    if (flags.byMacroRecording == 1) {
        targets.RecordMacroEvent(code, flag);
    }
    if (flags.byMacroKeyEdit == 1) {
        targets.EditMacroKey(code, flag);
    }
}

}  // namespace veltrix
