#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

// A layout that moves one key: the given virtual key sits where `scanCode` is.
ScanCodeLookup LayoutWith(std::uint32_t virtualKey, std::uint32_t scanCode) {
    return [=](std::uint32_t vk) -> std::uint32_t { return vk == virtualKey ? scanCode : 0; };
}

// The US layout, straight from the table's own scan codes.
std::uint32_t UsLayout(std::uint32_t vk) {
    for (const KeyTranslationRow& row : kKeyTranslationTable) {
        if (row.virtualKey == vk) {
            return row.scanCode;
        }
    }
    return 0;
}

TEST(KeyTranslationTable, ScanCodesExactlyInTheFirst65RowsWithKeyCodes4To69) {
    std::set<std::uint32_t> keyCodes;
    std::set<std::uint32_t> scanCodes;
    for (std::size_t i = 0; i < 111; ++i) {
        const KeyTranslationRow& row = kKeyTranslationTable[i];
        EXPECT_EQ(row.scanCode != 0, i < 65) << "row " << i + 1;
        EXPECT_EQ(row.keyCode >= 4 && row.keyCode <= 69, i < 65) << "row " << i + 1;
        if (i < 65) {
            keyCodes.insert(row.keyCode);
            scanCodes.insert(row.scanCode);
        }
    }
    EXPECT_EQ(keyCodes.size(), 65u) << "each of 4..69 but 50 once";
    EXPECT_FALSE(keyCodes.count(50));
    EXPECT_EQ(scanCodes.size(), 65u);
}

// The key code names the key's position: the layout says where a letter or F key sits, and a key
// it cannot place, or any other key, keeps the table's own code.
TEST(KeyCodeFromVirtualKey, NamesThePhysicalPositionUnderTheLayout) {
    const ScanCodeLookup kOwn = ActiveLayoutScanCode;
    const std::tuple<std::uint32_t, ScanCodeLookup, std::optional<std::uint8_t>> cases[] = {
        {0x41, UsLayout, 4},
        {0x41, LayoutWith(0x41, 0x10), 20},  // A where Q is
        {0x7A, UsLayout, 68},                // F11 through 0x57, not F10 + 1
        {0x41, LayoutWith(0, 0), 4},         // not Print Screen
        {0x41, LayoutWith(0x41, 0x7F), 4},   // unknown scan code
        {0x41, kOwn, 4},                     // this platform's own layout
        {0x2C, LayoutWith(0x2C, 0x1E), 70},  // outside letters..F12: never the layout
        // Rows without scan code.
        {0x11, kOwn, std::nullopt},  // generic Ctrl has no row
        {0xA2, kOwn, 224},           // left Ctrl does
        {0x6C, kOwn, 88},            // separator as keypad Enter
        {0x0D, kOwn, 40},
        {0x66, kOwn, 94},  // keypad 6 and 7 stand swapped in the table
        {0x67, kOwn, 95},
        {0xF1, kOwn, 241},  // OEM keys that read as mouse buttons
        {0xF4, kOwn, 244},
        {0xF8, kOwn, 248},
    };
    for (const auto& [vk, layout, code] : cases) {
        EXPECT_EQ(KeyCodeFromVirtualKey(vk, layout), code) << vk;
    }
    EXPECT_EQ(KeyTextId(*KeyCodeFromVirtualKey(0x41, LayoutWith(0x41, 0x10))), "key_Q");
}

TEST(KeyTextId, NamesEveryKeyAndNothingElse) {
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(KeyTextId(static_cast<std::uint8_t>(4 + i)),
                  std::string("key_") + static_cast<char>('A' + i));
    }
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(KeyTextId(static_cast<std::uint8_t>(57 + i)), "key_F" + std::to_string(i));
    }
    EXPECT_EQ(KeyTextId(50), "\uFFE5");  // the few ids without the "key_" prefix
    EXPECT_EQ(KeyTextId(221), "`");
    EXPECT_EQ(KeyTextId(244), "Backward_Button");
    for (int none : {0, 102, 129, 232, 246}) {
        EXPECT_EQ(KeyTextId(static_cast<std::uint8_t>(none)), "") << none;
    }
    // Every key the table produces by virtual key and position has a name, but the OEM codes.
    for (const KeyTranslationRow& row : kKeyTranslationTable) {
        const auto code = static_cast<std::uint8_t>(row.keyCode);
        EXPECT_EQ(KeyTextId(code).empty(), code == 240 || code == 247 || code == 248)
            << row.keyCode;
    }
}

}  // namespace
}  // namespace veltrix
