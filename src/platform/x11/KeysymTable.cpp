#include "platform/x11/KeysymTable.h"

#include <algorithm>
#include <array>
#include <utility>

#include <X11/keysym.h>

namespace veltrix::x11 {
namespace {

struct KeysymRow {
    KeySym keysym;
    std::uint32_t virtualKey;
};

// Letters and digits come in ranges (below). The keypad's navigation symbols (KP_Home and so on,
// what the keypad gives with Num Lock off) have no row, so a keypad key is named by its digit
// whatever the state of Num Lock: the key's position is what gets recorded.
// clang-format off
constexpr KeysymRow kRows[] = {
    {XK_Return, 0x0D}, {XK_Escape, 0x1B}, {XK_BackSpace, 0x08}, {XK_Tab, 0x09},
    {XK_ISO_Left_Tab, 0x09}, {XK_space, 0x20},
    {XK_minus, 0xBD}, {XK_equal, 0xBB}, {XK_bracketleft, 0xDB}, {XK_bracketright, 0xDD},
    {XK_backslash, 0xDC}, {XK_semicolon, 0xBA}, {XK_apostrophe, 0xDE}, {XK_grave, 0xC0},
    {XK_comma, 0xBC}, {XK_period, 0xBE}, {XK_slash, 0xBF},
    {XK_Caps_Lock, 0x14},
    {XK_F1, 0x70}, {XK_F2, 0x71}, {XK_F3, 0x72}, {XK_F4, 0x73}, {XK_F5, 0x74}, {XK_F6, 0x75},
    {XK_F7, 0x76}, {XK_F8, 0x77}, {XK_F9, 0x78}, {XK_F10, 0x79}, {XK_F11, 0x7A}, {XK_F12, 0x7B},
    {XK_Print, 0x2C}, {XK_Scroll_Lock, 0x91}, {XK_Pause, 0x13},
    {XK_Insert, 0x2D}, {XK_Home, 0x24}, {XK_Prior, 0x21}, {XK_Delete, 0x2E}, {XK_End, 0x23},
    {XK_Next, 0x22}, {XK_Right, 0x27}, {XK_Left, 0x25}, {XK_Down, 0x28}, {XK_Up, 0x26},
    {XK_Num_Lock, 0x90}, {XK_KP_Divide, 0x6F}, {XK_KP_Multiply, 0x6A}, {XK_KP_Subtract, 0x6D},
    {XK_KP_Add, 0x6B},
    // The keypad's Enter as the keypad separator, which the key vocabulary reads as keypad Enter;
    // the main Enter key keeps 0x0D.
    {XK_KP_Enter, 0x6C},
    {XK_KP_0, 0x60}, {XK_KP_1, 0x61}, {XK_KP_2, 0x62}, {XK_KP_3, 0x63}, {XK_KP_4, 0x64},
    {XK_KP_5, 0x65}, {XK_KP_6, 0x66}, {XK_KP_7, 0x67}, {XK_KP_8, 0x68}, {XK_KP_9, 0x69},
    // Layouts with a decimal comma put the separator symbol on the keypad's decimal key.
    {XK_KP_Decimal, 0x6E}, {XK_KP_Separator, 0x6E},
    {XK_Menu, 0x5D},
    {XK_Control_L, 0xA2}, {XK_Shift_L, 0xA0}, {XK_Alt_L, 0xA4}, {XK_Super_L, 0x5B},
    {XK_Control_R, 0xA3}, {XK_Shift_R, 0xA1}, {XK_Alt_R, 0xA5}, {XK_Super_R, 0x5C},
    // AltGr, the right Alt key of most layouts outside the US.
    {XK_ISO_Level3_Shift, 0xA5},
};
// clang-format on

}  // namespace

bool IsLetterOrDigit(KeySym keysym) {
    return (keysym >= XK_a && keysym <= XK_z) || (keysym >= XK_A && keysym <= XK_Z) ||
           (keysym >= XK_0 && keysym <= XK_9);
}

std::uint32_t VirtualKeyOfKeysym(KeySym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) {
        return static_cast<std::uint32_t>(keysym - XK_a) + 0x41;
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return static_cast<std::uint32_t>(keysym - XK_A) + 0x41;
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return static_cast<std::uint32_t>(keysym - XK_0) + 0x30;
    }
    const auto* row = std::find_if(std::begin(kRows), std::end(kRows),
                                   [keysym](const KeysymRow& r) { return r.keysym == keysym; });
    return row != std::end(kRows) ? row->virtualKey : 0;
}

}  // namespace veltrix::x11
