#include <map>
#include <set>
#include <string>

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

TEST(KeyTranslationTable, ScanCodesFollowThePhysicalKeyboard) {
    // Set-1 scan codes run along the keyboard rows: Q..P from 0x10, A..L from 0x1E, Z..M from
    // 0x2C. A row with a wrong letter or scan code breaks the run.
    const std::string rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const std::uint32_t firstScan[] = {0x10, 0x1E, 0x2C};
    std::map<std::uint32_t, std::uint32_t> scanOfVk;
    for (const KeyTranslationRow& row : kKeyTranslationTable) {
        scanOfVk.emplace(row.virtualKey, row.scanCode);
    }
    for (int r = 0; r < 3; ++r) {
        for (std::size_t i = 0; i < rows[r].size(); ++i) {
            EXPECT_EQ(scanOfVk[static_cast<std::uint32_t>(rows[r][i])], firstScan[r] + i)
                << rows[r][i];
        }
    }
    for (std::uint32_t digit = 1; digit <= 9; ++digit) {
        EXPECT_EQ(scanOfVk['0' + digit], digit + 1);
    }
    EXPECT_EQ(scanOfVk['0'], 0x0Bu);
    for (std::uint32_t f = 0; f < 10; ++f) {
        EXPECT_EQ(scanOfVk[0x70 + f], 0x3B + f) << "F" << f + 1;
    }
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

TEST(KeyCodeFromVirtualKey, NamesThePhysicalPositionUnderTheLayout) {
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41, UsLayout), 4);
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41, LayoutWith(0x41, 0x10)), 20);  // A where Q is
    EXPECT_EQ(KeyTextId(*KeyCodeFromVirtualKey(0x41, LayoutWith(0x41, 0x10))), "key_Q");
    EXPECT_EQ(KeyCodeFromVirtualKey(0x7A, UsLayout), 68);  // F11 through 0x57, not F10 + 1
}

TEST(KeyCodeFromVirtualKey, KeepsTheOwnCodeWhenTheLayoutGivesNoScanCode) {
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41, LayoutWith(0, 0)), 4);        // not Print Screen
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41, LayoutWith(0x41, 0x7F)), 4);  // unknown scan code
    EXPECT_EQ(KeyCodeFromVirtualKey(0x41), 4);  // this platform's own layout
    // Keys outside letters..F12 never consult the layout.
    EXPECT_EQ(KeyCodeFromVirtualKey(0x2C, LayoutWith(0x2C, 0x1E)), 70);
}

TEST(KeyCodeFromVirtualKey, RowsWithoutScanCode) {
    const std::pair<std::uint32_t, std::optional<std::uint8_t>> cases[] = {
        {0x11, std::nullopt},               // generic Ctrl has no row
        {0xA2, 224},                        // left Ctrl does
        {0x6C, 88},                         // separator as keypad Enter
        {0x0D, 40},           {0x66, 94},   // keypad 6 and 7 stand swapped in the table
        {0x67, 95},           {0xF1, 241},  // OEM keys that read as mouse buttons
        {0xF4, 244},          {0xF8, 248},
    };
    for (const auto& [vk, code] : cases) {
        EXPECT_EQ(KeyCodeFromVirtualKey(vk), code) << vk;
    }
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
