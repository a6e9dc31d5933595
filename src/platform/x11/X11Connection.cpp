#include "platform/x11/X11Connection.h"

#include <atomic>
#include <map>
#include <mutex>

#include <X11/Xlibint.h>

namespace veltrix::x11 {
namespace {

struct ConnectionState {
    unsigned long id = 0;  // tells a connection from a later one at the same address
    int errors = 0;
    bool broken = false;
};

// The error hooks get only the display, so the state of each open connection is found here.
std::mutex g_mutex;
std::map<const Display*, ConnectionState> g_states;
unsigned long g_lastId = 0;

Bool CountError(Display* display, XErrorEvent* /*event*/, xError* /*wire*/) {
    std::lock_guard lock(g_mutex);
    if (auto it = g_states.find(display); it != g_states.end()) {
        ++it->second.errors;
    }
    return False;  // handled: the process-wide handler never sees it
}

bool MarkBroken(Display* display) {
    std::lock_guard lock(g_mutex);
    auto it = g_states.find(display);
    if (it == g_states.end()) {
        return false;
    }
    it->second.broken = true;
    return true;
}

void KeepRunning(Display* display, void* /*userData*/) {
    MarkBroken(display);
}

// A broken connection reaches the process-wide handler first, whose default ends the process.
// Ours takes the connections of this file and passes every other on to the handler it found.
// It is taken out again when this code is unloaded, unless someone has replaced it meanwhile.
class BrokenConnectionHandler {
  public:
    void Install() {
        std::call_once(m_once, [this] { m_previous = ::XSetIOErrorHandler(&Handle); });
    }
    ~BrokenConnectionHandler() {
        const XIOErrorHandler previous = m_previous;
        if (previous == nullptr) {
            return;
        }
        const XIOErrorHandler current = ::XSetIOErrorHandler(previous);
        if (current != &Handle) {
            ::XSetIOErrorHandler(current);  // someone else's by now: leave it in place
        }
    }

  private:
    static int Handle(Display* display);

    std::once_flag m_once;
    std::atomic<XIOErrorHandler> m_previous{nullptr};
};

BrokenConnectionHandler g_brokenConnectionHandler;

int BrokenConnectionHandler::Handle(Display* display) {
    if (MarkBroken(display)) {
        return 0;
    }
    XIOErrorHandler previous = g_brokenConnectionHandler.m_previous;
    return previous != nullptr ? previous(display) : 0;
}

}  // namespace

X11Connection::X11Connection() {
    m_display = ::XOpenDisplay(nullptr);
    if (m_display == nullptr) {
        return;
    }
    {
        std::lock_guard lock(g_mutex);
        m_id = ++g_lastId;
        g_states[m_display] = {m_id};
    }
    for (int code = 1; code < 256; ++code) {
        ::XESetWireToError(m_display, code, &CountError);
    }
    ::XSetIOErrorExitHandler(m_display, &KeepRunning, nullptr);
    g_brokenConnectionHandler.Install();
}

X11Connection::~X11Connection() {
    if (m_display == nullptr) {
        return;
    }
    // Closing talks to the server one last time, so the connection stays known until it is
    // closed; by then another thread may have a new connection at the same address.
    ::XCloseDisplay(m_display);
    std::lock_guard lock(g_mutex);
    if (auto it = g_states.find(m_display); it != g_states.end() && it->second.id == m_id) {
        g_states.erase(it);
    }
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
