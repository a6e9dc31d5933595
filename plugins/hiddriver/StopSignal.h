#pragma once

// A stop request that a thread blocked in poll() notices at once: raising it makes its
// descriptor readable.

#include <atomic>
#include <cstdint>

#include <sys/eventfd.h>

#include "hiddriver/UniqueFd.h"

namespace veltrix::hiddriver {

class StopSignal {
  public:
    StopSignal() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

    // Any thread.
    void Raise() {
        m_raised = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_fd.Get(), &one, sizeof one);
    }
    bool IsRaised() const { return m_raised; }

    // The descriptor to poll for POLLIN alongside the others.
    int Fd() const { return m_fd.Get(); }

    // A poll timeout that still notices the stop when no descriptor could be made (the process
    // ran out of them): then waits are cut into short slices.
    int PollTimeout(int wantedMs) const {
        constexpr int kSliceMs = 100;
        return m_fd.IsValid() || (wantedMs >= 0 && wantedMs < kSliceMs) ? wantedMs : kSliceMs;
    }

  private:
    std::atomic<bool> m_raised{false};
    UniqueFd m_fd;
};

}  // namespace veltrix::hiddriver
