#include "pages/ApplyHold.h"

#include "platform/Messages.h"
#include "profile/ProfileSettings.h"
#include "profile/RecordAccess.h"

namespace veltrix {

void PostApplyRequest(const VeltrixWindowHandle& window, std::uintptr_t area, int profile) {
    VeltrixPost(&window, kMsgApplyRequest, area, InRange(profile, 0, kProfileCount - 1));
}

void ApplyHold::Restart(int profile) {
    m_uPendingProfiles |= 1u << InRange(profile, 0, kProfileCount - 1);
    m_view.StartTimer(m_iTimerId, kApplyHoldTime);
}

void ApplyHold::Fire() {
    m_view.StopTimer(m_iTimerId);
    for (int profile = 0; profile < kProfileCount; ++profile) {
        if ((m_uPendingProfiles & 1u << profile) != 0) {
            PostApplyRequest(m_window, m_area, profile);
        }
    }
    m_uPendingProfiles = 0;
}

}  // namespace veltrix
