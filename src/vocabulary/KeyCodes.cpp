#include "vocabulary/KeyCodes.h"

#include <array>
#include <utility>

namespace veltrix {

// clang-format off
const KeyTranslationRow kKeyTranslationTable[111] = {
    // A to Z
    {0x41,  4, 0x1E}, {0x42,  5, 0x30}, {0x43,  6, 0x2E}, {0x44,  7, 0x20}, {0x45,  8, 0x12},
    {0x46,  9, 0x21}, {0x47, 10, 0x22}, {0x48, 11, 0x23}, {0x49, 12, 0x17}, {0x4A, 13, 0x24},
    {0x4B, 14, 0x25}, {0x4C, 15, 0x26}, {0x4D, 16, 0x32}, {0x4E, 17, 0x31}, {0x4F, 18, 0x18},
    {0x50, 19, 0x19}, {0x51, 20, 0x10}, {0x52, 21, 0x13}, {0x53, 22, 0x1F}, {0x54, 23, 0x14},
    {0x55, 24, 0x16}, {0x56, 25, 0x2F}, {0x57, 26, 0x11}, {0x58, 27, 0x2D}, {0x59, 28, 0x15},
    {0x5A, 29, 0x2C},
    // 1 to 9, then 0
    {0x31, 30, 0x02}, {0x32, 31, 0x03}, {0x33, 32, 0x04}, {0x34, 33, 0x05}, {0x35, 34, 0x06},
    {0x36, 35, 0x07}, {0x37, 36, 0x08}, {0x38, 37, 0x09}, {0x39, 38, 0x0A}, {0x30, 39, 0x0B},
    // Enter, Esc, Backspace, Tab, Space
    {0x0D, 40, 0x1C}, {0x1B, 41, 0x01}, {0x08, 42, 0x0E}, {0x09, 43, 0x0F}, {0x20, 44, 0x39},
    // - = [ ] \ ; ' ` , . /
    {0xBD, 45, 0x0C}, {0xBB, 46, 0x0D}, {0xDB, 47, 0x1A}, {0xDD, 48, 0x1B}, {0xDC, 49, 0x2B},
    {0xBA, 51, 0x27}, {0xDE, 52, 0x28}, {0xC0, 53, 0x29}, {0xBC, 54, 0x33}, {0xBE, 55, 0x34},
    {0xBF, 56, 0x35},
    // Caps Lock, F1 to F12
    {0x14, 57, 0x3A},
    {0x70, 58, 0x3B}, {0x71, 59, 0x3C}, {0x72, 60, 0x3D}, {0x73, 61, 0x3E}, {0x74, 62, 0x3F},
    {0x75, 63, 0x40}, {0x76, 64, 0x41}, {0x77, 65, 0x42}, {0x78, 66, 0x43}, {0x79, 67, 0x44},
    {0x7A, 68, 0x57}, {0x7B, 69, 0x58},
    // Print Screen, Scroll Lock, Pause, Insert, Home, Page Up, Delete, End, Page Down
    {0x2C, 70, 0}, {0x91, 71, 0}, {0x13, 72, 0}, {0x2D, 73, 0}, {0x24, 74, 0},
    {0x21, 75, 0}, {0x2E, 76, 0}, {0x23, 77, 0}, {0x22, 78, 0},
    // Right, Left, Down, Up
    {0x27, 79, 0}, {0x25, 80, 0}, {0x28, 81, 0}, {0x26, 82, 0},
    // Num Lock, keypad / * - + and the separator (sent as keypad Enter)
    {0x90, 83, 0}, {0x6F, 84, 0}, {0x6A, 85, 0}, {0x6D, 86, 0}, {0x6B, 87, 0}, {0x6C, 88, 0},
    // keypad 1 to 5, then 7 before 6, 8, 9, 0 and the decimal point
    {0x61, 89, 0}, {0x62, 90, 0}, {0x63, 91, 0}, {0x64, 92, 0}, {0x65, 93, 0},
    {0x67, 95, 0}, {0x66, 94, 0}, {0x68, 96, 0}, {0x69, 97, 0}, {0x60, 98, 0}, {0x6E, 99, 0},
    // Application
    {0x5D, 101, 0},
    // left Ctrl, Shift, Alt, Windows; right Ctrl, Shift, Alt, Windows
    {0xA2, 224, 0}, {0xA0, 225, 0}, {0xA4, 226, 0}, {0x5B, 227, 0},
    {0xA3, 228, 0}, {0xA1, 229, 0}, {0xA5, 230, 0}, {0x5C, 231, 0},
    // OEM keys 0xF0 to 0xF4, 0xF7 and 0xF8
    {0xF0, 240, 0}, {0xF1, 241, 0}, {0xF2, 242, 0}, {0xF3, 243, 0}, {0xF4, 244, 0},
    {0xF7, 247, 0}, {0xF8, 248, 0},
};

constexpr std::pair<std::uint8_t, std::string_view> kKeyTextIds[] = {
    {4, "key_A"}, {5, "key_B"}, {6, "key_C"}, {7, "key_D"}, {8, "key_E"}, {9, "key_F"},
    {10, "key_G"}, {11, "key_H"}, {12, "key_I"}, {13, "key_J"}, {14, "key_K"}, {15, "key_L"},
    {16, "key_M"}, {17, "key_N"}, {18, "key_O"}, {19, "key_P"}, {20, "key_Q"}, {21, "key_R"},
    {22, "key_S"}, {23, "key_T"}, {24, "key_U"}, {25, "key_V"}, {26, "key_W"}, {27, "key_X"},
    {28, "key_Y"}, {29, "key_Z"},
    {30, "key_1"}, {31, "key_2"}, {32, "key_3"}, {33, "key_4"}, {34, "key_5"}, {35, "key_6"},
    {36, "key_7"}, {37, "key_8"}, {38, "key_9"}, {39, "key_0"},
    {40, "key_Enter"}, {41, "key_Esc"}, {42, "key_BackSpace"}, {43, "key_Tab"}, {44, "key_Space"},
    {45, "key_-"}, {46, "key_="}, {47, "key_["}, {48, "key_]"}, {49, "key_xiexian"},
    {50, "\uFFE5"},
    {51, "key_;"}, {52, "key_'"}, {53, "key_`"}, {54, "key_,"}, {55, "key_."}, {56, "key_/"},
    {57, "key_Caplk"},
    {58, "key_F1"}, {59, "key_F2"}, {60, "key_F3"}, {61, "key_F4"}, {62, "key_F5"},
    {63, "key_F6"}, {64, "key_F7"}, {65, "key_F8"}, {66, "key_F9"}, {67, "key_F10"},
    {68, "key_F11"}, {69, "key_F12"},
    {70, "key_Print Scr"}, {71, "key_Scroll Lock"}, {72, "key_Pause"},
    {73, "key_Insert"}, {74, "key_Home"}, {75, "key_Page Up"}, {76, "key_Delete"},
    {77, "key_End"}, {78, "key_Page Down"},
    {79, "key_Right"}, {80, "key_Left"}, {81, "key_Down"}, {82, "key_Up"},
    {83, "key_Num Lock"},
    {84, "key_Num_/"}, {85, "key_Num_*"}, {86, "key_Num_-"}, {87, "key_Num_+"},
    {88, "key_Num_Enter"},
    {89, "key_Num_1"}, {90, "key_Num_2"}, {91, "key_Num_3"}, {92, "key_Num_4"},
    {93, "key_Num_5"}, {94, "key_Num_6"}, {95, "key_Num_7"}, {96, "key_Num_8"},
    {97, "key_Num_9"}, {98, "key_Num_0"}, {99, "key_Num_."},
    {100, "key_\\"}, {101, "key_APP"},
    {130, "Sleep"}, {136, "Kana/Roma"}, {221, "`"},
    {224, "key_LCtrl"}, {225, "key_LShift"}, {226, "key_LAlt"}, {227, "key_LWin"},
    {228, "key_RCtrl"}, {229, "key_RShift"}, {230, "key_RAlt"}, {231, "key_RWin"},
    {241, "L_Button"}, {242, "R_Button"}, {243, "M_Button"}, {244, "Backward_Button"},
    {245, "Forward_Button"},
};
// clang-format on

namespace {

constexpr std::uint32_t kFirstPositionalKey = 4;  // letters through F12: the keys layouts move
constexpr std::uint32_t kLastPositionalKey = 69;

constexpr auto kTextIdByCode = [] {
    std::array<std::string_view, 256> byCode{};
    for (const auto& [code, id] : kKeyTextIds) {
        byCode[code] = id;
    }
    return byCode;
}();

const KeyTranslationRow* FindRow(bool (*matches)(const KeyTranslationRow&, std::uint32_t),
                                 std::uint32_t value) {
    for (const KeyTranslationRow& row : kKeyTranslationTable) {
        if (matches(row, value)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<std::uint8_t> KeyCodeFromVirtualKey(std::uint32_t virtualKey,
                                                  const ScanCodeLookup& lookupScanCode) {
    const KeyTranslationRow* row =
        FindRow([](const KeyTranslationRow& r, std::uint32_t vk) { return r.virtualKey == vk; },
                virtualKey);
    if (row == nullptr) {
        return std::nullopt;
    }
    std::uint32_t keyCode = row->keyCode;
    if (keyCode >= kFirstPositionalKey && keyCode <= kLastPositionalKey) {
        // Name the key by where it sits, not by what is printed on it: the mouse sends the usage
        // back and the host's layout turns it into the character the user pressed. A layout
        // without a scan code for the key leaves nothing to move, so the key keeps its own code
        // rather than meeting the first row without a scan code (Print Screen).
        const std::uint32_t scanCode = lookupScanCode ? lookupScanCode(virtualKey) : 0;
        if (scanCode != 0) {
            const KeyTranslationRow* physical = FindRow(
                [](const KeyTranslationRow& r, std::uint32_t sc) { return r.scanCode == sc; },
                scanCode);
            if (physical != nullptr) {
                keyCode = physical->keyCode;
            }
        }
    }
    return static_cast<std::uint8_t>(keyCode);
}

std::string_view KeyTextId(std::uint8_t keyCode) {
    return kTextIdByCode[keyCode];
}

}  // namespace veltrix
