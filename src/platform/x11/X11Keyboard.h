#pragma once

// The keyboard of an X server as Windows virtual keys: which virtual key each physical key gives
// under the current layout and group, and the other way round, which physical key gives a
// virtual key. Both directions come from one map, so a key the hook reports always leads back to
// the same physical key.
//
// A key gives the letter or digit on it, unshifted or shifted (AZERTY's "&/1" key gives '1',
// QWERTZ's "z" key gives 'Z'), else the virtual key of its other symbols. A key of the main
// block whose symbols name no free virtual key (an umlaut, say) takes that of its position on a
// US keyboard, or one that no other key gives: no character of its own, but the way back leads
// to its position, which is what the key vocabulary stores.

#include <array>
#include <cstdint>

#include <X11/Xlib.h>

namespace veltrix::x11 {

class X11Keyboard {
  public:
    // Follows the keyboard of `display`, which stays open and is used by one thread at a time
    // while this object lives. The map is read by the first Update.
    explicit X11Keyboard(Display* display);

    // Brings the map up to date with the server: re-reads it after a layout change and takes the
    // group in effect. One round trip, more after a change.
    void Update();

    // The virtual key of an X key code; 0 for a key without one.
    std::uint32_t VirtualKey(unsigned keyCode) const;

    // The PC set-1 scan code of the physical key that gives `virtualKey`; 0 when no key gives it
    // or the key has no one-byte scan code.
    std::uint32_t ScanCode(std::uint32_t virtualKey) const;

  private:
    void Rebuild();

    Display* m_display;
    int m_xkbEventBase = -1;  // -1 when the server has no XKB
    bool m_stale = true;
    int m_group = 0;
    std::array<std::uint32_t, 256> m_keys{};  // virtual key by X key code
};

}  // namespace veltrix::x11
