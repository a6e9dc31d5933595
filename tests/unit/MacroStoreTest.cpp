#include <gtest/gtest.h>

#include "macro/MacroStore.h"
#include "platform/Utf16Text.h"

namespace veltrix {
namespace {

void AddNamed(MacroStore& store, std::u16string_view name) {
    MacroRecord record{};
    SetFieldText(record.szName, name);
    store.Append(record);
}

TEST(MacroNames, UniqueNamesAlwaysFitTheNameField) {
    MacroStore store;
    const std::u16string full = u"ABCDEFGHIJKLMNOPQRSTUVW";  // 23, the longest name
    EXPECT_EQ(store.UniqueName(full + u"XYZ"), full);
    AddNamed(store, full);
    EXPECT_EQ(store.UniqueName(full + u"XYZ"), u"ABCDEFGHIJKLMNOPQRSTU_1")
        << "a longer name is taken once cut, and the suffix replaces its end";
    for (int i = 1; i <= 9; ++i) {
        AddNamed(store, store.UniqueName(full));
    }
    EXPECT_EQ(store.UniqueName(full), u"ABCDEFGHIJKLMNOPQRST_10");

    const std::u16string pair = u"ABCDEFGHIJKLMNOPQRST\U0001F5B1";  // 22 units
    AddNamed(store, pair);
    EXPECT_EQ(store.UniqueName(pair), u"ABCDEFGHIJKLMNOPQRST_1") << "no half surrogate pair";
}

TEST(MacroNames, NewMacroIsNamedAfterTheCountNotARunningNumber) {
    MacroStore store;
    const TextLookup lookup = [](std::string_view id) {
        return id == "mouse_macro_function_text" ? u"Macro" : u"?";
    };
    EXPECT_EQ(FieldText(store.NewMacro(lookup).szName), u"Macro1");
    store.Erase(0);
    AddNamed(store, u"Macro2");
    AddNamed(store, u"macro3");
    EXPECT_EQ(FieldText(store.NewMacro(lookup).szName), u"Macro3_1");
    store.Erase(0);
    EXPECT_EQ(FieldText(store.NewMacro(lookup).szName), u"Macro3_2");
}

}  // namespace
}  // namespace veltrix
