#pragma once

// Every key and mouse-button event of the X server, seen through the RECORD extension and handed
// to a function on a thread of its own. Two connections of its own: the control connection
// creates and ends the recording context and reads the keyboard map, the data connection
// receives the recorded events. The thread sleeps on the data connection's socket and on a
// wake-up descriptor, so stopping takes effect at once.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include "platform/x11/X11Keyboard.h"

namespace veltrix::hook {

class RecordSession {
  public:
    // Called on the session's thread for each recorded event: its X type (KeyPress to
    // ButtonRelease), its detail (key code or button) and the keyboard of the server.
    using Handler = std::function<void(int type, unsigned detail, x11::X11Keyboard& keyboard)>;

    explicit RecordSession(Handler handler);
    ~RecordSession();
    RecordSession(const RecordSession&) = delete;
    RecordSession& operator=(const RecordSession&) = delete;

    // Starts recording unless it runs already, and returns once events are being recorded, or
    // recording proved impossible, or a second has passed.
    void Start();
    // Ends recording; once this returns the handler is not called any more.
    void Stop();

  private:
    enum class State { kIdle, kStarting, kRecording, kFailed };

    void Run();
    void SetState(State state);
    static void Intercept(XPointer closure, XRecordInterceptData* data);

    Handler m_handler;
    int m_wake = -1;  // eventfd
    std::thread m_thread;
    x11::X11Keyboard* m_keyboard = nullptr;  // the thread's own, while it records

    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::kIdle;
};

}  // namespace veltrix::hook
