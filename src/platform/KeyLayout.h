#pragma once

#include <cstdint>
#include <functional>

namespace veltrix {

// Gives the PC set-1 scan code of a Windows virtual-key code under the active keyboard layout, or
// 0 when the layout has no key for it.
using ScanCodeLookup = std::function<std::uint32_t(std::uint32_t virtualKey)>;

// The scan code of a virtual key under the active layout, through the lookup that
// SetActiveLayoutLookup installed. Until one is installed no layout is known and the answer is
// always 0, which keeps the key code of the virtual key itself: what the command-line tools and
// the tests without a display get.
std::uint32_t ActiveLayoutScanCode(std::uint32_t virtualKey);

// Installs the lookup that ActiveLayoutScanCode asks from now on; an empty lookup goes back to
// knowing no layout. The window program installs the desktop's layout at start-up.
void SetActiveLayoutLookup(ScanCodeLookup lookup);

}  // namespace veltrix
