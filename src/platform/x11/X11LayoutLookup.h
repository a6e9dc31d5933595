#pragma once

// The X server's keyboard layout as the active layout of the key vocabulary, so that a key
// recorded on an AZERTY or QWERTZ keyboard is stored by the position of the key that was
// pressed.

#include "platform/KeyLayout.h"

namespace veltrix::x11 {

// A lookup over a connection of its own that follows layout and group changes; empty when no X
// server can be reached. Safe to call from any thread.
ScanCodeLookup X11LayoutLookup();

// Makes X11LayoutLookup() the active layout (SetActiveLayoutLookup). False, with the active
// layout left as it was, when no X server can be reached.
bool InstallX11LayoutLookup();

}  // namespace veltrix::x11
