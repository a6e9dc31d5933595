#pragma once

// A private connection to the X server that DISPLAY names, for code that must not disturb the
// program's own: a protocol error on it is counted instead of reaching the process-wide error
// handler (whose default ends the process), and a broken connection marks it broken instead of
// ending the process. Used by one thread at a time.

#include <X11/Xlib.h>

namespace veltrix::x11 {

class X11Connection {
  public:
    // Opens the connection; IsOpen() tells whether that worked.
    X11Connection();
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool IsOpen() const { return m_display != nullptr; }
    Display* Get() const { return m_display; }
    // The connection's socket, for waiting on it.
    int Fd() const;

    // Protocol errors seen so far, and whether the server went away.
    int ErrorCount() const;
    bool IsBroken() const;

  private:
    Display* m_display = nullptr;
    unsigned long m_id = 0;
};

// Whether an X server can be reached and offers the RECORD extension, which the input hook
// needs to see keys and buttons outside the program's own windows.
bool X11RecordAvailable();

}  // namespace veltrix::x11
