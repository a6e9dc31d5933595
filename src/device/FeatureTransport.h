#pragma once

// What the report senders need of the two driver links: hand a feature report to the SetFeature
// of the receiver or of the cable library. The driver links implement it for a real mouse (or the
// emulator); the command line's dry run implements it by recording.

#include <cstdint>
#include <span>

namespace veltrix {

enum class DeviceLinkKind { Receiver, Cable };

class FeatureTransport {
  public:
    virtual ~FeatureTransport() = default;

    // Non-zero when the library accepted the report. Called on the worker thread only.
    virtual int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) = 0;
};

}  // namespace veltrix
