#include "HookBinding.h"

#include <cstdio>

#include "InWindowHooks.h"
#include "platform/HookPluginLink.h"
#include "platform/x11/X11Connection.h"

namespace veltrix::gui {

std::unique_ptr<HookLibrary> BindHookLibrary() {
    if (x11::X11RecordAvailable()) {
        auto plugin = std::make_unique<HookPluginLink>();
        if (plugin->Bind()) {
            return plugin;
        }
        std::fprintf(stderr, "veltrix-wireless: the input hook plugin is not usable (%s)\n",
                     plugin->Error().c_str());
    } else {
        std::fprintf(stderr,
                     "veltrix-wireless: this desktop does not let programs watch all input (no "
                     "X11 RECORD); keys and clicks are recorded while the window has the focus\n");
    }
    return std::make_unique<InWindowHooks>();
}

}  // namespace veltrix::gui
