#pragma once

// Key codes name keys by their USB HID keyboard usage (4 = A, 224 = left Ctrl), plus 241 to 245
// for the mouse buttons. Keyboard and hook deliver Windows virtual-key codes; this is where they
// become key codes, and where every key code gets its text id.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/KeyLayout.h"

namespace veltrix {

inline constexpr std::uint8_t kKeyLeftButton = 241;
inline constexpr std::uint8_t kKeyRightButton = 242;
inline constexpr std::uint8_t kKeyMiddleButton = 243;
inline constexpr std::uint8_t kKeyBackwardButton = 244;
inline constexpr std::uint8_t kKeyForwardButton = 245;

constexpr bool IsMouseButtonKey(std::uint8_t keyCode) {
    return keyCode >= kKeyLeftButton && keyCode <= kKeyForwardButton;
}

struct KeyTranslationRow {
    std::uint32_t virtualKey;
    std::uint32_t keyCode;
    std::uint32_t scanCode;  // set-1 make code; 0 outside the keys that layouts move around
};

// The 111 rows of the translation table, in their fixed order (the order decides which row a
// search meets first).
extern const KeyTranslationRow kKeyTranslationTable[111];

// The key code of a virtual key, by the physical position of the key under the layout that
// lookupScanCode describes. Empty when the table has no row for the virtual key.
std::optional<std::uint8_t> KeyCodeFromVirtualKey(
    std::uint32_t virtualKey, const ScanCodeLookup& lookupScanCode = ActiveLayoutScanCode);

// The text id of a key code; the empty text for codes without one.
std::string_view KeyTextId(std::uint8_t keyCode);

}  // namespace veltrix
