#pragma once

// A transport that keeps every report instead of sending it, and accepts each one, as a mouse
// that is present would. It lets the command line show what a request would send; tests read
// what the worker sent. Thread-safe.

#include <mutex>
#include <vector>

#include "device/FeatureTransport.h"

namespace veltrix {

struct SentReport {
    DeviceLinkKind link;
    std::vector<std::uint8_t> bytes;

    friend bool operator==(const SentReport&, const SentReport&) = default;
};

class RecordingTransport : public FeatureTransport {
  public:
    int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) override;

    std::vector<SentReport> Sent() const;

  private:
    mutable std::mutex m_mutex;
    std::vector<SentReport> m_sent;
};

}  // namespace veltrix
