#include "hiddriver/Transport.h"

#include <cstdlib>

#include "hiddriver/EmulatorProtocol.h"
#include "hiddriver/EmulatorTransport.h"
#include "hiddriver/HidapiTransport.h"

namespace veltrix::hiddriver {

std::unique_ptr<Transport> MakeTransport() {
    // With an emulator named, hidraw is never touched: a real mouse plugged in at the same time
    // must not receive what a test or a demo sends.
    const char* socketPath = std::getenv(emulator::kSocketVariable);
    if (socketPath != nullptr && socketPath[0] != '\0') {
        return std::make_unique<EmulatorTransport>(socketPath);
    }
    return std::make_unique<HidapiTransport>();
}

}  // namespace veltrix::hiddriver
