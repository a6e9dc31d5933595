#pragma once

#include <chrono>
#include <string>

#include "device/DeviceEventLoop.h"
#include "device/DeviceSession.h"

namespace veltrix::ctl {

// The mouse as a command reaches it: the program's device session over the real driver plugins,
// which drive a real receiver and cable or, when VELTRIX_EMULATOR names its socket, the emulated
// mouse. Its events are handled on the command's own thread.
class MouseSession {
  public:
    // `save` runs whenever the mouse changes the record (empty: the record is not saved).
    MouseSession(ProfileSettings& settings, RecordSaver save);

    // Binds both plugins and starts the link. False, with `error` set, when a plugin is missing.
    bool Start(std::string& error);

    DeviceLink& Link() { return m_session.Link(); }
    DeviceSession& Session() { return m_session; }

    // Handles the mouse's events until `done` holds or the time is out; see DeviceEventLoop.
    bool RunUntil(std::chrono::milliseconds timeout, const std::function<bool()>& done,
                  const std::function<void(const Message&)>& other = {}) {
        return m_loop.RunUntil(m_session.Link(), timeout, done, other);
    }

  private:
    DeviceEventLoop m_loop{SystemClock()};
    DeviceSession m_session;
};

}  // namespace veltrix::ctl
