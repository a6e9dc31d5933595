#pragma once

// The driver plugin's way to veltrix-mouse-emulator: each open device and each watch is one
// connection to the emulator's socket (EmulatorProtocol.h).

#include <string>

#include "hiddriver/Transport.h"

namespace veltrix::hiddriver {

class EmulatorTransport final : public Transport {
  public:
    explicit EmulatorTransport(std::string socketPath) : m_socketPath(std::move(socketPath)) {}

    std::shared_ptr<FeatureDevice> Open(DeviceId device) override;
    // The watch keeps following the device when the emulator goes away: its devices then count
    // as removed, and it connects again (once a second) until an emulator answers.
    std::unique_ptr<DeviceWatch> Watch(DeviceId device) override;

  private:
    std::string m_socketPath;
};

}  // namespace veltrix::hiddriver
