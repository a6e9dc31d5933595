#include "platform/x11/X11LayoutLookup.h"

#include <memory>
#include <mutex>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"

namespace veltrix::x11 {
namespace {

struct LayoutState {
    std::mutex mutex;
    X11Connection connection;
    X11Keyboard keyboard{connection.Get()};
};

}  // namespace

ScanCodeLookup X11LayoutLookup() {
    auto state = std::make_shared<LayoutState>();
    if (!state->connection.IsOpen()) {
        return {};
    }
    return [state](std::uint32_t virtualKey) -> std::uint32_t {
        std::lock_guard lock(state->mutex);
        if (state->connection.IsBroken()) {
            return 0;
        }
        state->keyboard.Update();
        return state->keyboard.ScanCode(virtualKey);
    };
}

bool InstallX11LayoutLookup() {
    ScanCodeLookup lookup = X11LayoutLookup();
    if (!lookup) {
        return false;
    }
    SetActiveLayoutLookup(std::move(lookup));
    return true;
}

}  // namespace veltrix::x11
