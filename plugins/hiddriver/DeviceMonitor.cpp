#include "hiddriver/DeviceMonitor.h"

#include "hiddriver/hiddriver_input.h"

namespace veltrix::hiddriver {

DeviceMonitor::DeviceMonitor(std::unique_ptr<DeviceWatch> watch, const VeltrixWindowHandle& window,
                             std::uint32_t reportMessage, std::uint32_t changeMessage)
    : m_watch(std::move(watch)),
      m_window(window),
      m_reportMessage(reportMessage),
      m_changeMessage(changeMessage),
      m_thread(&DeviceMonitor::Run, this) {}

DeviceMonitor::~DeviceMonitor() {
    m_watch->Stop();
    m_thread.join();
}

void DeviceMonitor::Run() {
    std::vector<WatchEvent> events;
    while (m_watch->Wait(events)) {
        for (const WatchEvent& event : events) {
            Post(event);
        }
        events.clear();
    }
}

void DeviceMonitor::Post(const WatchEvent& event) const {
    switch (event.kind) {
        case WatchEvent::Kind::Arrived:
            VeltrixPost(&m_window, m_changeMessage, 1, 0);
            break;
        case WatchEvent::Kind::Removed:
            VeltrixPost(&m_window, m_changeMessage, 0, 0);
            break;
        case WatchEvent::Kind::Input: {
            VeltrixInputEvent input;
            if (VeltrixDecodeInputReport(event.report.data(), event.report.size(), &input) != 0) {
                VeltrixPost(&m_window, m_reportMessage, input.code, input.value);
            }
            break;
        }
    }
}

}  // namespace veltrix::hiddriver
