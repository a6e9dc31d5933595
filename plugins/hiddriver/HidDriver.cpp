// The seven entry points of the driver plugin. This file is compiled into hiddriver_1.so and
// hiddriver_2.so alike; each copy keeps its own state, and only these seven names are exported.

#include <memory>
#include <mutex>

#include "hiddriver/DeviceMonitor.h"
#include "hiddriver/Transport.h"

#pragma GCC visibility push(default)
#include "hiddriver/hiddriver.h"
#pragma GCC visibility pop

namespace veltrix::hiddriver {
namespace {

class Driver {
  public:
    ~Driver() {
        // The program may unload the plugin without closing it: the monitor thread must not
        // outlive the code it runs.
        CloseMonitor();
        CloseFeature();
    }

    void SetDevice(DeviceId device) {
        m_device = device;
        m_transport = MakeTransport();
    }

    bool OpenMonitor(const VeltrixWindowHandle& window, std::uint32_t reportMessage,
                     std::uint32_t changeMessage) {
        CloseMonitor();
        if (m_transport) {
            m_monitor = std::make_unique<DeviceMonitor>(m_transport->Watch(m_device), window,
                                                        reportMessage, changeMessage);
        }
        return m_monitor != nullptr;
    }

    void CloseMonitor() { m_monitor.reset(); }

    bool OpenFeature() {
        CloseFeature();
        std::shared_ptr<FeatureDevice> device = m_transport ? m_transport->Open(m_device) : nullptr;
        const bool opened = device != nullptr;
        std::lock_guard lock(m_featureMutex);
        m_feature = std::move(device);
        return opened;
    }

    void CloseFeature() {
        std::shared_ptr<FeatureDevice> device;
        {
            std::lock_guard lock(m_featureMutex);
            device = std::move(m_feature);
        }
        // A send in progress on the worker keeps its own reference; the device closes when
        // that send returns.
        if (device) {
            device->Interrupt();
        }
    }

    // Worker thread.
    bool SendFeature(std::span<const std::uint8_t> report) {
        std::shared_ptr<FeatureDevice> device;
        {
            std::lock_guard lock(m_featureMutex);
            device = m_feature;
        }
        return device && device->Send(report);
    }

  private:
    // Everything but m_feature is touched by the UI thread only.
    DeviceId m_device;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<DeviceMonitor> m_monitor;
    std::mutex m_featureMutex;
    std::shared_ptr<FeatureDevice> m_feature;
};

Driver& TheDriver() {
    static Driver driver;
    return driver;
}

}  // namespace
}  // namespace veltrix::hiddriver

using veltrix::hiddriver::TheDriver;

extern "C" {

int32_t Set_VIDPID(int32_t vid, int32_t pid) {
    TheDriver().SetDevice({vid, pid});
    return 1;
}

int32_t Open_DevMonitor(const VeltrixWindowHandle* window, uint32_t reportMessage,
                        uint32_t changeMessage) {
    return window != nullptr && TheDriver().OpenMonitor(*window, reportMessage, changeMessage) ? 1
                                                                                               : 0;
}

int32_t Open_FeatureDevice(void) {
    return TheDriver().OpenFeature() ? 1 : 0;
}

int32_t SetFeature(const uint8_t* data, int32_t length) {
    if (data == nullptr || length <= 0) {
        return 0;
    }
    return TheDriver().SendFeature({data, static_cast<std::size_t>(length)}) ? 1 : 0;
}

// The mouse answers no feature requests: nothing reads them.
int32_t GetFeature(uint8_t* /*data*/, int32_t /*length*/) {
    return 0;
}

int32_t Close_FeatureDevice(void) {
    TheDriver().CloseFeature();
    return 1;
}

int32_t Close_DevMonitor(void) {
    TheDriver().CloseMonitor();
    return 1;
}

}  // extern "C"
