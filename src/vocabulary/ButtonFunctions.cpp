#include "vocabulary/ButtonFunctions.h"

#include <algorithm>
#include <span>

namespace veltrix {
namespace {

struct FunctionRow {
    std::uint8_t code;
    std::string_view textId;
    bool hasReport;
    std::array<std::uint8_t, 3> report;  // A, B, C
};

// Shortcut functions travel as the keyboard function (A = 17) with a fixed modifier and usage.
constexpr std::uint8_t kLeftCtrl = 1;
constexpr std::uint8_t kLeftAlt = 4;
constexpr std::uint8_t kLeftWin = 8;

// clang-format off
constexpr FunctionRow kFunctions[] = {
    {0,   "button_off_text",        true,  {1, 0, 0}},
    {1,   "left_click_text",        true,  {2, 0, 0}},
    {2,   "right_click_text",       true,  {3, 0, 0}},
    {3,   "wheel_click_text",       true,  {4, 0, 0}},
    {4,   "forward_text",           true,  {6, 0, 0}},
    {5,   "backward_text",          true,  {5, 0, 0}},
    {6,   "dpi_cycle_text",         true,  {13, 0, 0}},
    {7,   "dpi_up_text",            true,  {14, 0, 0}},
    {8,   "dpi_down_text",          true,  {15, 0, 0}},
    {9,   "double_click_text",      true,  {7, 0, 0}},
    {10,  "fire_button_text",       true,  {8, 0, 0}},
    {11,  "scroll_up_text",         true,  {9, 0, 0}},
    {12,  "scroll_down_text",       true,  {10, 0, 0}},
    {13,  "titl_right_text",        true,  {11, 0, 0}},
    {14,  "titl_left_text",         true,  {12, 0, 0}},
    {16,  "",                       true,  {17, 0, 0}},
    {17,  "",                       true,  {18, 0, 0}},
    {19,  "",                       true,  {19, 0, 0}},
    {21,  "",                       true,  {43, 0, 0}},
    {22,  "easy_aim_text",          true,  {16, 0, 0}},
    {32,  "cut_text",               true,  {17, kLeftCtrl, 27}},
    {33,  "copy_text",              true,  {17, kLeftCtrl, 6}},
    {34,  "paste_text",             true,  {17, kLeftCtrl, 25}},
    {35,  "open_text",              true,  {17, kLeftCtrl, 18}},
    {36,  "save_text",              true,  {17, kLeftCtrl, 22}},
    {37,  "find_text",              true,  {17, kLeftCtrl, 9}},
    {38,  "redo_text",              true,  {17, kLeftCtrl, 28}},
    {39,  "undo_text",              true,  {17, kLeftCtrl, 29}},
    {40,  "select_all_text",        true,  {17, kLeftCtrl, 4}},
    {41,  "print_text",             true,  {17, kLeftCtrl, 19}},
    {42,  "close_window_text",      true,  {17, kLeftAlt, 61}},
    {43,  "swap_windows_text",      true,  {17, kLeftAlt, 43}},
    {44,  "show_desktop_text",      true,  {17, kLeftWin, 7}},
    {45,  "run_command_text",       true,  {17, kLeftWin, 21}},
    {46,  "lock_pc_text",           true,  {17, kLeftWin, 15}},
    {47,  "",                       true,  {17, kLeftCtrl, 17}},
    {48,  "",                       true,  {17, kLeftCtrl, 46}},
    {49,  "",                       true,  {17, kLeftCtrl, 45}},
    {54,  "profile_cycle_text",     true,  {52, 0, 0}},
    {55,  "profile_up_text",        true,  {53, 0, 0}},
    {56,  "profile_down_text",      true,  {54, 0, 0}},
    {64,  "media_player_text",      true,  {21, 0, 0}},
    {65,  "play_pause_text",        true,  {24, 0, 0}},
    {66,  "media_stop_text",        true,  {25, 0, 0}},
    {67,  "previous_track_text",    true,  {22, 0, 0}},
    {68,  "next_track_text",        true,  {23, 0, 0}},
    {69,  "volume_up_text",         true,  {27, 0, 0}},
    {70,  "volume_down_text",       true,  {28, 0, 0}},
    {71,  "mute_text",              true,  {26, 0, 0}},
    {80,  "browser_home_text",      true,  {37, 0, 0}},
    {81,  "browser_favorites_text", true,  {31, 0, 0}},
    {82,  "browser_forward_text",   true,  {32, 0, 0}},
    {83,  "browser_backward_text",  true,  {33, 0, 0}},
    {84,  "browser_stop_text",      true,  {34, 0, 0}},
    {85,  "browser_refresh_text",   true,  {36, 0, 0}},
    {86,  "browser_search_text",    true,  {38, 0, 0}},
    {87,  "email_text",             true,  {30, 0, 0}},
    {88,  "caculator_text",         true,  {29, 0, 0}},
    {89,  "my_computer_text",       true,  {35, 0, 0}},
    {115, "",                       true,  {20, 0, 0}},
    {117, "power_text",             false, {}},
    {118, "sleep_text",             false, {}},
    {119, "wake_up_text",           false, {}},
};

// The button page's lists, item by item.
constexpr std::uint8_t kMouseList[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 22, 11, 12, 0};
constexpr std::uint8_t kDpiList[] = {6, 7, 8};
constexpr std::uint8_t kProfileList[] = {54, 55, 56};
constexpr std::uint8_t kMediaList[] = {64, 65, 66, 67, 68, 69, 70, 71,
                                       80, 81, 82, 83, 84, 85, 86, 87, 88, 89};
constexpr std::uint8_t kSystemList[] = {117, 118, 119};
constexpr std::uint8_t kShortcutList[] = {32, 33, 34, 35, 36, 37, 38, 39,
                                          40, 41, 42, 43, 44, 45, 46};

// left click, right click, wheel click, forward, backward, DPI up, DPI down, off, off, off,
// scroll up, scroll down
constexpr std::uint8_t kDefaultFunctions[kShownButtonCount] = {1, 2, 3, 4, 5, 7, 8, 0, 0, 0, 11, 12};
// clang-format on

const FunctionRow* FindFunction(std::uint8_t code) {
    const auto* row = std::find_if(std::begin(kFunctions), std::end(kFunctions),
                                   [code](const FunctionRow& r) { return r.code == code; });
    return row == std::end(kFunctions) ? nullptr : row;
}

std::span<const std::uint8_t> ListOf(FunctionCategory category) {
    switch (category) {
        case FunctionCategory::Mouse:
            return kMouseList;
        case FunctionCategory::Dpi:
            return kDpiList;
        case FunctionCategory::Profile:
            return kProfileList;
        case FunctionCategory::Media:
            return kMediaList;
        case FunctionCategory::System:
            return kSystemList;
        case FunctionCategory::Shortcut:
            return kShortcutList;
        case FunctionCategory::Default:
        case FunctionCategory::Keyboard:
        case FunctionCategory::Macro:
            break;
    }
    return {};
}

}  // namespace

std::string_view FunctionTextId(std::uint8_t funcCode) {
    const FunctionRow* row = FindFunction(funcCode);
    return row == nullptr ? std::string_view{} : row->textId;
}

std::optional<std::uint8_t> ListCodeAt(FunctionCategory category, int index) {
    const std::span<const std::uint8_t> list = ListOf(category);
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) {
        return std::nullopt;
    }
    return list[static_cast<std::size_t>(index)];
}

int ListIndexOf(FunctionCategory category, std::uint8_t funcCode) {
    const std::span<const std::uint8_t> list = ListOf(category);
    const auto item = std::find(list.begin(), list.end(), funcCode);
    return item == list.end() ? 0 : static_cast<int>(item - list.begin());
}

std::uint8_t DefaultFunctionCode(int buttonNumber) {
    const int button = ((buttonNumber % kShownButtonCount) + kShownButtonCount) % kShownButtonCount;
    return kDefaultFunctions[button];
}

std::array<std::uint8_t, 3> EncodeButtonFunction(const ButtonEntry& entry, std::uint8_t macroSlot) {
    const FunctionRow* row = FindFunction(entry.byFuncCode);
    if (row == nullptr || !row->hasReport) {
        return {0, 0, 0};
    }
    std::array<std::uint8_t, 3> bytes = row->report;
    if (entry.byFuncCode == kFuncKeyboardKey) {
        bytes[1] = entry.byKeyModifiers;
        bytes[2] = entry.byKeyCode;
    } else if (entry.byFuncCode == kFuncMacro) {
        bytes[1] = 0;
        bytes[2] = macroSlot;
    }
    return bytes;
}

}  // namespace veltrix
