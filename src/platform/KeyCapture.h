#pragma once

// One key taken from the keyboard hook for a field the user activated. While armed the field
// waits for a key; the first press is the key (its release and every later key are not), and then
// the capture stops listening. The user arms it again by activating the field again.

#include <cstdint>
#include <optional>

#include "platform/HookLibrary.h"
#include "platform/window_handle.h"

namespace veltrix {

class KeyCapture {
  public:
    // `flag` is the capture target flag that routes the hook events to this capture's page.
    KeyCapture(HookLibrary& hooks, CaptureTargetFlags& flags,
               std::uint8_t CaptureTargetFlags::*flag, const VeltrixWindowHandle& window);

    // Starts listening for one key; only this capture receives hook events then.
    void Arm();
    // Stops listening, whether a key came or not. A capture that is not armed leaves the hooks
    // alone: they may be serving another page.
    void End();
    bool Armed() const { return m_bArmed; }

    // A key event from the hook (flag 0 a press, anything else a release): the virtual key when it
    // is the press this capture waits for, which ends the capture.
    std::optional<std::uint32_t> Take(std::uint32_t virtualKey, std::uint32_t flag);

    // The window sees the same key presses as the hook, in either order. While the capture is
    // armed every key is the key being captured, Space, Enter, Tab and Escape included, and the
    // press just captured stays the capture's until a key is released: the field keeps such a
    // press to itself rather than letting it activate, leave or cancel anything.
    bool OwnsKeyPress() const { return m_bArmed || m_bTakenUntilRelease; }
    void KeyReleased() { m_bTakenUntilRelease = false; }

  private:
    HookLibrary& m_hooks;
    CaptureTargetFlags& m_flags;
    std::uint8_t CaptureTargetFlags::*m_flag;
    VeltrixWindowHandle m_window;
    bool m_bArmed = false;
    bool m_bTakenUntilRelease = false;
};

}  // namespace veltrix
