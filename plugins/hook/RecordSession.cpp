#include "hook/RecordSession.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/x11/X11Connection.h"

namespace veltrix::hook {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(1);

// Without a server that records, the hook can see nothing outside the program's own windows.
// Said once per process: the program installs and removes hooks all the time.
void ReportUnavailable(const char* why) {
    static std::once_flag said;
    std::call_once(said, [why] {
        std::fprintf(stderr,
                     "Hook.so: %s; keys and mouse buttons outside the program's windows cannot "
                     "be reported\n",
                     why);
    });
}

}  // namespace

RecordSession::RecordSession(Handler handler)
    : m_handler(std::move(handler)), m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

RecordSession::~RecordSession() {
    Stop();
    if (m_wake >= 0) {
        ::close(m_wake);
    }
}

void RecordSession::Start() {
    if (m_wake < 0) {
        return;  // a thread that could not be woken could not be stopped either
    }
    std::unique_lock lock(m_mutex);
    if (m_state == State::kStarting || m_state == State::kRecording) {
        m_changed.wait_for(lock, kStartTimeout, [this] { return m_state != State::kStarting; });
        return;
    }
    lock.unlock();
    Stop();  // a thread that failed has ended; collect it before trying again
    lock.lock();
    m_state = State::kStarting;
    m_thread = std::thread(&RecordSession::Run, this);
    m_changed.wait_for(lock, kStartTimeout, [this] { return m_state != State::kStarting; });
}

void RecordSession::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
    m_thread.join();
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_wake, &count, sizeof count);
    SetState(State::kIdle);
}

void RecordSession::SetState(State state) {
    {
        std::lock_guard lock(m_mutex);
        m_state = state;
    }
    m_changed.notify_all();
}

void RecordSession::Intercept(XPointer closure, XRecordInterceptData* data) {
    auto* self = reinterpret_cast<RecordSession*>(closure);
    if (data->category == XRecordStartOfData) {
        self->SetState(State::kRecording);
    } else if (data->category == XRecordFromServer && data->data_len > 0) {
        // A recorded device event in its wire form: type, then detail.
        const int type = data->data[0] & 0x7F;
        const unsigned detail = data->data[1];
        if (type >= KeyPress && type <= ButtonRelease) {
            self->m_handler(type, detail, *self->m_keyboard);
        }
    }
    ::XRecordFreeData(data);
}

void RecordSession::Run() {
    x11::X11Connection control;
    x11::X11Connection data;
    int major = 0;
    int minor = 0;
    if (!control.IsOpen() || !data.IsOpen()) {
        ReportUnavailable("no X server");
        SetState(State::kFailed);
        return;
    }
    int opcode = 0;
    int event = 0;
    int error = 0;
    // Asked first without a word on stderr; the library would complain of a missing extension.
    if (!::XQueryExtension(control.Get(), "RECORD", &opcode, &event, &error) ||
        !::XRecordQueryVersion(control.Get(), &major, &minor)) {
        ReportUnavailable("the X server has no RECORD extension");
        SetState(State::kFailed);
        return;
    }
    XRecordRange* range = ::XRecordAllocRange();
    if (range == nullptr) {
        SetState(State::kFailed);
        return;
    }
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonRelease;
    XRecordClientSpec clients = XRecordAllClients;
    const XRecordContext context = ::XRecordCreateContext(control.Get(), 0, &clients, 1, &range, 1);
    ::XFree(range);
    ::XSync(control.Get(), False);

    x11::X11Keyboard keyboard(control.Get());
    keyboard.Update();
    m_keyboard = &keyboard;
    if (context == 0 || control.ErrorCount() > 0 ||
        !::XRecordEnableContextAsync(data.Get(), context, &RecordSession::Intercept,
                                     reinterpret_cast<XPointer>(this))) {
        ReportUnavailable("the X server refuses to record input");
        if (context != 0) {
            ::XRecordFreeContext(control.Get(), context);
            ::XSync(control.Get(), False);
        }
        m_keyboard = nullptr;
        SetState(State::kFailed);
        return;
    }
    ::XFlush(data.Get());

    pollfd waits[2] = {{data.Fd(), POLLIN, 0}, {m_wake, POLLIN, 0}};
    while (!data.IsBroken()) {
        // Reads what the socket holds and hands on every complete event.
        ::XRecordProcessReplies(data.Get());
        if (::poll(waits, 2, -1) < 0 && errno != EINTR) {
            break;
        }
        if ((waits[1].revents & POLLIN) != 0 || (waits[0].revents & (POLLERR | POLLHUP)) != 0) {
            break;
        }
    }
    if (!control.IsBroken()) {
        ::XRecordDisableContext(control.Get(), context);
        ::XRecordFreeContext(control.Get(), context);
        ::XSync(control.Get(), False);
    }
    m_keyboard = nullptr;
    // Ended, by Stop or because the server went away: the next Start begins afresh.
    SetState(State::kFailed);
}

}  // namespace veltrix::hook
