#include "platform/KeyLayout.h"

#include <memory>
#include <mutex>
#include <utility>

namespace veltrix {
namespace {

std::mutex g_lookupMutex;
std::shared_ptr<const ScanCodeLookup> g_lookup;

}  // namespace

std::uint32_t ActiveLayoutScanCode(std::uint32_t virtualKey) {
    std::shared_ptr<const ScanCodeLookup> lookup;
    {
        std::lock_guard lock(g_lookupMutex);
        lookup = g_lookup;
    }
    // Asked outside the lock: a lookup may talk to the display server.
    return lookup != nullptr ? (*lookup)(virtualKey) : 0;
}

void SetActiveLayoutLookup(ScanCodeLookup lookup) {
    auto installed = lookup ? std::make_shared<const ScanCodeLookup>(std::move(lookup)) : nullptr;
    std::lock_guard lock(g_lookupMutex);
    g_lookup = std::move(installed);
}

}  // namespace veltrix
