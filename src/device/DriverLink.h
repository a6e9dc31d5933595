#pragma once

// One driver library (the receiver's or the cable's) as the device link uses it: the seven entry
// points of the driver plugin. HidDriverLink binds a real plugin; an unbound link answers every
// call with 0 and does nothing.

#include <cstdint>
#include <span>

#include "platform/window_handle.h"

namespace veltrix {

inline constexpr std::int32_t kVeltrixVendorId = 0x1D57;
inline constexpr std::int32_t kReceiverProductId = 0xFA60;
inline constexpr std::int32_t kCableProductId = 0xFA61;

class DriverLink {
  public:
    virtual ~DriverLink() = default;

    virtual std::int32_t Set_VIDPID(std::int32_t vid, std::int32_t pid) = 0;
    virtual std::int32_t Open_DevMonitor(const VeltrixWindowHandle& window,
                                         std::uint32_t reportMessage,
                                         std::uint32_t changeMessage) = 0;
    virtual std::int32_t Open_FeatureDevice() = 0;
    // The worker thread's only call; the others run on the UI thread.
    virtual std::int32_t SetFeature(std::span<const std::uint8_t> report) = 0;
    virtual std::int32_t GetFeature(std::span<std::uint8_t> report) = 0;
    virtual std::int32_t Close_FeatureDevice() = 0;
    virtual std::int32_t Close_DevMonitor() = 0;
};

}  // namespace veltrix
