// Times a program's start-up to its first window without polling: listens on the display for a
// top-level window of the given title being mapped, and prints the moment it was (CLOCK_REALTIME,
// nanoseconds). It says "ready" once it listens, so that the program is started only then; it
// gives up after 20 s (exit 1).

#include <cstdio>
#include <cstring>
#include <ctime>

#include <X11/Xlib.h>
#include <poll.h>

namespace {

long long NowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

bool Titled(Display* display, Window window, const char* title) {
    char* name = nullptr;
    const bool same =
        XFetchName(display, window, &name) != 0 && name != nullptr && std::strcmp(name, title) == 0;
    if (name != nullptr) {
        XFree(name);
    }
    return same;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TITLE\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: no display\n", argv[0]);
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::puts("ready");
    std::fflush(stdout);
    const long long giveUp = NowNs() + 20'000'000'000LL;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (NowNs() < giveUp) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                const long long mapped = NowNs();
                if (Titled(display, event.xmap.window, argv[1])) {
                    std::printf("%lld\n", mapped);
                    XCloseDisplay(display);
                    return 0;
                }
            }
        }
        poll(&connection, 1, 100);
    }
    XCloseDisplay(display);
    return 1;
}
