#include "pages/ApplyHold.h"

#include <utility>

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

bool ApplyHold::Flush(const ApplySender& send) {
    m_view.StopTimer(m_iTimerId);
    const unsigned pending = std::exchange(m_uPendingProfiles, 0u);
    for (int profile = 0; profile < kProfileCount; ++profile) {
        if ((pending & 1u << profile) != 0) {
            send(m_area, profile);
        }
    }
    return pending != 0;
}

void ApplyHold::Fire() {
    Flush([this](std::uintptr_t area, int profile) { PostApplyRequest(m_window, area, profile); });
}

}  // namespace veltrix
