#include "platform/x11/X11Connection.h"

#include <map>
#include <mutex>

#include <X11/Xlibint.h>

namespace veltrix::x11 {
namespace {

struct ConnectionState {
    int errors = 0;
    bool broken = false;
};

// The error hooks get only the display, so the state of each open connection is found here.
std::mutex g_mutex;
std::map<const Display*, ConnectionState> g_states;

Bool CountError(Display* display, XErrorEvent* /*event*/, xError* /*wire*/) {
    std::lock_guard lock(g_mutex);
    if (auto it = g_states.find(display); it != g_states.end()) {
        ++it->second.errors;
    }
    return False;  // handled: the process-wide handler never sees it
}

void MarkBroken(Display* display, void* /*userData*/) {
    std::lock_guard lock(g_mutex);
    if (auto it = g_states.find(display); it != g_states.end()) {
        it->second.broken = true;
    }
}

}  // namespace

X11Connection::X11Connection() {
    m_display = ::XOpenDisplay(nullptr);
    if (m_display == nullptr) {
        return;
    }
    {
        std::lock_guard lock(g_mutex);
        g_states[m_display] = {};
    }
    for (int code = 1; code < 256; ++code) {
        ::XESetWireToError(m_display, code, &CountError);
    }
    ::XSetIOErrorExitHandler(m_display, &MarkBroken, nullptr);
}

X11Connection::~X11Connection() {
    if (m_display == nullptr) {
        return;
    }
    // Forgotten before it closes: another thread may get the same address for a new connection
    // at once. An error still arriving is dropped all the same, only no longer counted.
    {
        std::lock_guard lock(g_mutex);
        g_states.erase(m_display);
    }
    ::XCloseDisplay(m_display);
}

int X11Connection::Fd() const {
    return m_display != nullptr ? ConnectionNumber(m_display) : -1;
}

int X11Connection::ErrorCount() const {
    std::lock_guard lock(g_mutex);
    auto it = g_states.find(m_display);
    return it != g_states.end() ? it->second.errors : 0;
}

bool X11Connection::IsBroken() const {
    std::lock_guard lock(g_mutex);
    auto it = g_states.find(m_display);
    return it != g_states.end() && it->second.broken;
}

bool X11RecordAvailable() {
    X11Connection connection;
    int opcode = 0;
    int event = 0;
    int error = 0;
    return connection.IsOpen() &&
           ::XQueryExtension(connection.Get(), "RECORD", &opcode, &event, &error) == True;
}

}  // namespace veltrix::x11
