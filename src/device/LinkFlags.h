#pragma once

#include <atomic>

namespace veltrix {

inline constexpr int kLinkAbsent = 0;  // not present since start-up
inline constexpr int kLinkPresent = 1;
inline constexpr int kLinkRemoved = 2;  // removed since start-up

// The link state that the worker reads while the UI thread changes it. Written by the device
// link state on the UI thread only.
struct LinkFlags {
    std::atomic<int> m_iReceiverState{kLinkAbsent};
    std::atomic<int> m_iCableState{kLinkAbsent};
    std::atomic<int> m_bAsleep{1};

    // What the worker asks before it takes a request: a link is present and the mouse is awake.
    bool AcceptsRequests() const {
        const bool linked =
            m_iCableState.load() == kLinkPresent || m_iReceiverState.load() == kLinkPresent;
        return linked && m_bAsleep.load() != 1;
    }
};

}  // namespace veltrix
