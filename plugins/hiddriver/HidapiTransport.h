#pragma once

// The driver plugin's way to a real receiver or cable: hidapi over hidraw for feature reports,
// libudev for arrival and removal, and the device's hidraw nodes for its input reports.
//
// hidapi keeps process-wide error state in its enumerate and open calls, and both plugin copies
// share one hidapi. Those calls therefore run only from Open, which the program calls on its UI
// thread; the monitor thread finds and reads the hidraw nodes through libudev and plain reads,
// and the worker thread only sends feature reports on its own open device.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "hiddriver/Transport.h"

struct hid_device_info;

namespace veltrix::hiddriver {

// Usage pages from here on are the vendor's own: the interface that carries the mouse's feature
// and input reports, as opposed to its standard mouse and keyboard interfaces.
inline constexpr std::uint16_t kVendorUsagePage = 0xFF00;

class HidapiTransport final : public Transport {
  public:
    // Opens the device's vendor interface (the first interface when it has none).
    std::shared_ptr<FeatureDevice> Open(DeviceId device) override;
    // Input reports are read only from the vendor interface: a standard mouse interface's
    // movement reports could otherwise be taken for events.
    std::unique_ptr<DeviceWatch> Watch(DeviceId device) override;
};

// The vendor and product of a HID device from its udev HID_ID property ("0003:00001D57:0000FA60").
std::optional<DeviceId> ParseHidId(std::string_view hidId);

// The first usage page that a HID report descriptor declares.
std::optional<std::uint16_t> FirstUsagePage(std::span<const std::uint8_t> descriptor);

// The interface to open among hid_enumerate's list: the first with a vendor usage page, else the
// first; null for an empty list.
const hid_device_info* PickInterface(const hid_device_info* interfaces);

}  // namespace veltrix::hiddriver
