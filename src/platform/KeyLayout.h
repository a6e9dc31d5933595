#pragma once

#include <cstdint>
#include <functional>

namespace veltrix {

// Gives the PC set-1 scan code of a Windows virtual-key code under the active keyboard layout, or
// 0 when the layout has no key for it.
using ScanCodeLookup = std::function<std::uint32_t(std::uint32_t virtualKey)>;

// The active layout of this platform. The input hook names keys by their physical position, so
// the virtual keys it delivers already are positional: no layout remapping is left to do and the
// lookup reports no scan code, which keeps the key code of the virtual key itself.
std::uint32_t ActiveLayoutScanCode(std::uint32_t virtualKey);

}  // namespace veltrix
