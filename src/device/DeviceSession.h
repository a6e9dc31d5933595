#pragma once

// Everything of the mouse that the device page owns, put together in the program's order and
// taken apart in a safe one: the apply worker, the cable's and then the receiver's driver library,
// and the link state over them.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "device/ApplyWorker.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkView.h"
#include "device/DriverLinkTransport.h"
#include "device/HidDriverLink.h"
#include "platform/Clock.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

// The mouse's two links. Where one is given, the session uses it in place of the driver plugin
// (a stand-in where no mouse can be plugged in); it must outlive the session.
struct DriverLinks {
    DriverLink* receiver = nullptr;
    DriverLink* cable = nullptr;
};

class DeviceSession {
  public:
    // Starts the worker. Everything given must outlive the session; `window` receives the driver
    // plugins', the link's and the worker's messages, and the worker waits on `clock`.
    DeviceSession(ProfileSettings& settings, DeviceLinkView& view,
                  const VeltrixWindowHandle& window, RecordSaver save, Clock& clock,
                  DriverLinks links = {});

    // Lets the worker send what is queued (for at most kQuitSendLimit, or until the end that
    // FinishSending set) and joins it; then closes the devices and monitors (receiver, then
    // cable) and unloads the libraries (receiver, then cable). Closing the devices first would
    // make every queued report fail, and the mouse would miss the user's last changes.
    ~DeviceSession();

    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Binds the cable's library, then the receiver's (unless a link was given in its place), and
    // starts the link over them. A library that does not bind leaves its link absent; its error
    // tells why. The libraries are looked for in `folders`, by default where the program looks
    // for them.
    void Start();
    void Start(std::span<const std::filesystem::path> folders);

    DeviceLink& Link() { return m_link; }
    const HidDriverLink& Receiver() const { return m_receiver; }
    const HidDriverLink& Cable() const { return m_cable; }

    // Queues the worker request (wParam, lParam) on a copy of the record as it is now.
    void Apply(std::uintptr_t wParam, std::intptr_t lParam);

    // Quitting: the worker sends what is queued for at most `limit` (a second call may shorten
    // it), then posts kMsgWorkerStopped to the window, which may then end the session.
    void FinishSending(std::chrono::nanoseconds limit);

  private:
    ProfileSettings& m_settings;
    HidDriverLink m_receiver;
    HidDriverLink m_cable;
    DriverLinks m_links;  // the plugins above where no others were given
    DriverLinkTransport m_transport{*m_links.receiver, *m_links.cable};
    DeviceLink m_link;
    std::unique_ptr<ApplyWorker> m_worker;
};

}  // namespace veltrix
