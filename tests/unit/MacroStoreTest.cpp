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

TEST(MacroNames, LookupAndUniqueNamesIgnoreCase) {
    MacroStore store;
    EXPECT_EQ(store.IndexOfName(u""), -1);
    EXPECT_EQ(store.UniqueName(u"\u00C4rger"), u"\u00C4rger");
    AddNamed(store, u"Jump");
    AddNamed(store, u"\u00E4RGER");
    AddNamed(store, u"jUMP");  // a damaged file may hold both
    EXPECT_EQ(store.IndexOfName(u"JUMP"), 0);
    EXPECT_FALSE(store.HasName(u"Jum"));
    AddNamed(store, u"\u00C4RGER_1");
    AddNamed(store, u"\u00C4rger_3");
    EXPECT_EQ(store.UniqueName(u"\u00C4rger"), u"\u00C4rger_2");
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
    const MacroRecord& made = store.NewMacro(lookup);
    EXPECT_EQ(FieldText(made.szName), u"Macro3_2");
    EXPECT_EQ(&made, &store.At(2));
    EXPECT_EQ(made.iActionCount, 0);
}

}  // namespace
}  // namespace veltrix
