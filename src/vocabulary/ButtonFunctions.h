#pragma once

// Function codes say what a mouse button does (left click, DPI up, a key, a macro, ...). Each has
// a text id, may appear in one of the button page's lists, and is sent to the mouse as three
// bytes of the key-mapping report.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "profile/ProfileSettings.h"

namespace veltrix {

inline constexpr std::uint8_t kFuncButtonOff = 0;
inline constexpr std::uint8_t kFuncKeyboardKey = 16;
inline constexpr std::uint8_t kFuncMacro = 17;

// Which list of the button page a function was chosen from; stored as byFuncType, never sent.
enum class FunctionCategory : std::uint8_t {
    Default = 0,
    Mouse = 1,
    Dpi = 2,
    Profile = 3,
    Keyboard = 4,
    Media = 5,
    System = 6,
    Macro = 7,
    Shortcut = 8,
};

// The text id of a function code; the empty text for codes without one. Codes 16 and 17 are
// labelled by their callers (the key's text id, the macro's name).
std::string_view FunctionTextId(std::uint8_t funcCode);

// The function code of item `index` of a category's list; empty for a category without a list
// (default, keyboard, macro) or an index past its end.
std::optional<std::uint8_t> ListCodeAt(FunctionCategory category, int index);

// The item of a category's list that shows `funcCode`; 0 when the list does not offer it.
int ListIndexOf(FunctionCategory category, std::uint8_t funcCode);

// The factory function of a button (0 to 11; higher entries repeat the twelve).
std::uint8_t DefaultFunctionCode(int buttonNumber);

// The three bytes (A, B, C) of a button's slot in the key-mapping report. macroSlot is the slot
// number that the macro upload gave this button.
std::array<std::uint8_t, 3> EncodeButtonFunction(const ButtonEntry& entry, std::uint8_t macroSlot);

}  // namespace veltrix
