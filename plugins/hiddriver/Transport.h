#pragma once

// What the driver plugin needs of a way to reach the mouse: open it for feature reports, and
// watch it for arrival, removal and input reports. hidapi (hidraw with libudev) reaches a real
// receiver or cable; the emulator transport reaches veltrix-mouse-emulator over its socket.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace veltrix::hiddriver {

struct DeviceId {
    std::int32_t vid = 0;
    std::int32_t pid = 0;
};

// An open device. Send runs on the program's worker thread while Interrupt may run on its UI
// thread; the device is destroyed when neither holds it any more.
class FeatureDevice {
  public:
    virtual ~FeatureDevice() = default;
    // True when the device accepted the report.
    virtual bool Send(std::span<const std::uint8_t> report) = 0;
    // Makes a Send in progress return soon; every later Send fails.
    virtual void Interrupt() = 0;
};

struct WatchEvent {
    enum class Kind { Arrived, Removed, Input };
    Kind kind;
    std::vector<std::uint8_t> report;  // the raw input report, for Input
};

// Watches one device. The device's presence when the watch starts is taken as known and not
// reported; only changes are.
class DeviceWatch {
  public:
    virtual ~DeviceWatch() = default;
    // Blocks until something happened and appends it to `events`. False once Stop was called.
    virtual bool Wait(std::vector<WatchEvent>& events) = 0;
    // Any thread: makes a Wait in progress, and every later one, return false at once.
    virtual void Stop() = 0;
};

class Transport {
  public:
    virtual ~Transport() = default;
    // The device opened for feature reports, or null when it is not there.
    virtual std::shared_ptr<FeatureDevice> Open(DeviceId device) = 0;
    virtual std::unique_ptr<DeviceWatch> Watch(DeviceId device) = 0;
};

// The emulator's transport when the environment names its socket, otherwise hidapi.
std::unique_ptr<Transport> MakeTransport();

}  // namespace veltrix::hiddriver
