#pragma once

// Which Windows virtual key an X key symbol stands for: the one table between the two worlds,
// read in both directions through the keyboard map (X11Keyboard).

#include <cstdint>

#include <X11/X.h>

namespace veltrix::x11 {

// The virtual key of a key symbol; 0 for a symbol that stands for none.
std::uint32_t VirtualKeyOfKeysym(KeySym keysym);

// A letter A to Z (either case) or a digit 0 to 9.
bool IsLetterOrDigit(KeySym keysym);

}  // namespace veltrix::x11
