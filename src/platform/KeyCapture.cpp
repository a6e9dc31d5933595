#include "platform/KeyCapture.h"

namespace veltrix {

KeyCapture::KeyCapture(HookLibrary& hooks, CaptureTargetFlags& flags,
                       std::uint8_t CaptureTargetFlags::*flag, const VeltrixWindowHandle& window)
    : m_hooks(hooks), m_flags(flags), m_flag(flag), m_window(window) {}

// The hook may have been paused by another page since it was last enabled, so arming always
// enables it.
void KeyCapture::Arm() {
    m_flags.Clear();
    m_flags.*m_flag = 1;
    m_bArmed = true;
    m_bTakenUntilRelease = false;
    m_hooks.installhook(m_window);
    m_hooks.enablehook(1);
}

void KeyCapture::End() {
    if (m_bArmed) {
        m_bArmed = false;
        EndCapture(m_hooks, m_flags);
    }
}

std::optional<std::uint32_t> KeyCapture::Take(std::uint32_t virtualKey, std::uint32_t flag) {
    if (!m_bArmed || flag != 0) {
        return std::nullopt;
    }
    End();
    m_bTakenUntilRelease = true;
    return virtualKey;
}

}  // namespace veltrix
