#pragma once

// The monitor thread of one driver plugin: it waits on the transport's watch and posts what
// happens to the program's window, the same way for every transport.
//   arrival  -> changeMessage, wParam 1
//   removal  -> changeMessage, wParam 0
//   an input report of the mouse -> reportMessage, wParam the event code, lParam the value
// Input reports that are not events of the mouse (hiddriver_input.h) are dropped.

#include <cstdint>
#include <memory>
#include <thread>

#include "hiddriver/Transport.h"
#include "platform/window_handle.h"

namespace veltrix::hiddriver {

class DeviceMonitor {
  public:
    DeviceMonitor(std::unique_ptr<DeviceWatch> watch, const VeltrixWindowHandle& window,
                  std::uint32_t reportMessage, std::uint32_t changeMessage);
    // Stops the thread and joins it: nothing is posted once this returns.
    ~DeviceMonitor();

    DeviceMonitor(const DeviceMonitor&) = delete;
    DeviceMonitor& operator=(const DeviceMonitor&) = delete;

  private:
    void Run();
    void Post(const WatchEvent& event) const;

    std::unique_ptr<DeviceWatch> m_watch;
    const VeltrixWindowHandle m_window;
    const std::uint32_t m_reportMessage;
    const std::uint32_t m_changeMessage;
    std::thread m_thread;
};

}  // namespace veltrix::hiddriver
