#include <array>

#include <gtest/gtest.h>

#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

using Bytes = std::array<std::uint8_t, 3>;

ButtonEntry Entry(std::uint8_t funcCode, std::uint8_t modifiers = 0, std::uint8_t key = 0) {
    ButtonEntry entry{};
    entry.byFuncCode = funcCode;
    entry.byKeyModifiers = modifiers;
    entry.byKeyCode = key;
    return entry;
}

constexpr FunctionCategory kListCategories[] = {
    FunctionCategory::Mouse, FunctionCategory::Dpi,    FunctionCategory::Profile,
    FunctionCategory::Media, FunctionCategory::System, FunctionCategory::Shortcut};

TEST(FunctionLists, EveryItemShowsItselfAndHasALabel) {
    const int sizes[] = {14, 3, 3, 18, 3, 15};
    for (std::size_t c = 0; c < std::size(kListCategories); ++c) {
        const FunctionCategory category = kListCategories[c];
        for (int index = 0; index < sizes[c]; ++index) {
            const std::optional<std::uint8_t> code = ListCodeAt(category, index);
            ASSERT_TRUE(code.has_value()) << "category " << c << " item " << index;
            EXPECT_EQ(ListIndexOf(category, *code), index);
            EXPECT_FALSE(FunctionTextId(*code).empty()) << int{*code};
        }
        EXPECT_EQ(ListCodeAt(category, sizes[c]), std::nullopt);
        EXPECT_EQ(ListCodeAt(category, -1), std::nullopt);
    }
    EXPECT_EQ(ListCodeAt(FunctionCategory::Keyboard, 0), std::nullopt);
    EXPECT_EQ(ListCodeAt(FunctionCategory::Macro, 0), std::nullopt);
}

TEST(EncodeButtonFunction, KeyAndMacroCarryTheirOwnBytesOtherRowsAreFixed) {
    struct Case {
        ButtonEntry entry;
        std::uint8_t slot;
        Bytes expected;
    };
    ButtonEntry cut = Entry(32, 0x80, 99);
    cut.byFuncType = 5;  // the category never changes the bytes
    const Case cases[] = {
        {Entry(16, 0, 4), 0, {17, 0, 4}},
        {Entry(16, 0x22, 30), 9, {17, 0x22, 30}},
        {Entry(17, 0x11, 0x44), 3, {18, 0, 3}},
        {cut, 7, {17, 1, 27}},
        {Entry(115), 0, {20, 0, 0}},
        {Entry(0), 0, {1, 0, 0}},
        {Entry(118, 1, 4), 1, {0, 0, 0}},
        {Entry(15, 1, 4), 1, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeButtonFunction(c.entry, c.slot), c.expected) << int{c.entry.byFuncCode};
    }
    EXPECT_EQ(FunctionTextId(13), "titl_right_text");
    EXPECT_EQ(FunctionTextId(17), "");  // labelled by the macro name
}

TEST(EncodeButtonFunction, ShortcutsSendTheirKeyWithTheirModifier) {
    struct Shortcut {
        std::uint8_t code;
        std::uint8_t modifier;  // 1 left Ctrl, 4 left Alt, 8 left Windows key
        const char* key;
    };
    const Shortcut shortcuts[] = {
        {32, 1, "key_X"},  {33, 1, "key_C"},   {34, 1, "key_V"}, {35, 1, "key_O"}, {36, 1, "key_S"},
        {37, 1, "key_F"},  {38, 1, "key_Y"},   {39, 1, "key_Z"}, {40, 1, "key_A"}, {41, 1, "key_P"},
        {42, 4, "key_F4"}, {43, 4, "key_Tab"}, {44, 8, "key_D"}, {45, 8, "key_R"}, {46, 8, "key_L"},
        {47, 1, "key_N"},  {48, 1, "key_="},   {49, 1, "key_-"},
    };
    for (const Shortcut& s : shortcuts) {
        const Bytes bytes = EncodeButtonFunction(Entry(s.code), 0);
        EXPECT_EQ(bytes[0], 17) << int{s.code};
        EXPECT_EQ(bytes[1], s.modifier) << int{s.code};
        EXPECT_EQ(KeyTextId(bytes[2]), s.key) << int{s.code};
    }
}

}  // namespace
}  // namespace veltrix
