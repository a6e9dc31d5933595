// Macro names in the store, and macros brought into it from a .macro file.

#include <fstream>

#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "macro/MacroFiles.h"
#include "profile/SettingsFiles.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::NamedMacro;
using test::TempDir;

TEST(MacroNames, UniqueNamesAlwaysFitTheNameField) {
    MacroStore store;
    const std::u16string full = u"ABCDEFGHIJKLMNOPQRSTUVW";  // 23, the longest name
    EXPECT_EQ(store.UniqueName(full + u"XYZ"), full);
    store.Append(NamedMacro(full));
    EXPECT_EQ(store.UniqueName(full + u"XYZ"), u"ABCDEFGHIJKLMNOPQRSTU_1")
        << "a longer name is taken once cut, and the suffix replaces its end";
    for (int i = 1; i <= 9; ++i) {
        store.Append(NamedMacro(store.UniqueName(full)));
    }
    EXPECT_EQ(store.UniqueName(full), u"ABCDEFGHIJKLMNOPQRST_10");

    const std::u16string pair = u"ABCDEFGHIJKLMNOPQRST\U0001F5B1";  // 22 units
    store.Append(NamedMacro(pair));
    EXPECT_EQ(store.UniqueName(pair), u"ABCDEFGHIJKLMNOPQRST_1") << "no half surrogate pair";
}

TEST(MacroNames, NewMacroIsNamedAfterTheCountNotARunningNumber) {
    MacroStore store;
    const TextLookup lookup = [](std::string_view id) {
        return id == "mouse_macro_function_text" ? u"Macro" : u"?";
    };
    EXPECT_EQ(FieldText(store.NewMacro(lookup).szName), u"Macro1");
    store.Erase(0);
    store.Append(NamedMacro(u"Macro2"));
    store.Append(NamedMacro(u"macro3"));
    EXPECT_EQ(FieldText(store.NewMacro(lookup).szName), u"Macro3_1");
    store.Erase(0);
    EXPECT_EQ(FieldText(store.NewMacro(lookup).szName), u"Macro3_2");
}

// A file that no well-behaved program wrote: a name that fills its field with no terminator, a
// count past the 46 steps, and bytes in the reserved field.
TEST(MacroFileImport, BringsAnUntrustedRecordIntoRangeAndKeepsTheRest) {
    TempDir dir;
    MacroRecord odd{};
    odd.szName.fill(u'x');
    odd.iReserved48 = 0x01020304;
    odd.iActionCount = 99;
    odd.aAction[45] = {4, kDirectionRelease, 65535};
    ASSERT_TRUE(ExportMacroFile(odd, dir / "odd.macro"));

    MacroStore store;
    store.Append(NamedMacro(std::u16string(23, u'X')));
    const MacroImportResult result =
        ImportMacroFile(store, dir / "odd.macro", MacroFile(dir.Path()));
    ASSERT_TRUE(result.Imported());
    ASSERT_EQ(result.index, 1);
    const MacroRecord& imported = store.At(1);
    // The name is taken in another case, so it gets a number, cut to fit with its terminator.
    EXPECT_EQ(FieldText(imported.szName), std::u16string(21, u'x') + u"_1");
    EXPECT_EQ(imported.iActionCount, 46);
    EXPECT_EQ(imported.iReserved48, 0x01020304);
    EXPECT_EQ(imported.aAction, odd.aAction);

    MacroStore onDisk;
    LoadMacroList(onDisk, dir.Path());
    EXPECT_EQ(onDisk.Count(), 2);
}

TEST(MacroFileImport, AFailureChangesNeitherTheStoreNorItsFile) {
    TempDir dir;
    MacroStore store;
    store.Append(NamedMacro(u"Kept"));
    EXPECT_EQ(ImportMacroFile(store, dir / "missing.macro", MacroFile(dir.Path())).status,
              MacroImportStatus::Unreadable);
    std::ofstream(dir / "long.macro", std::ios::binary) << std::string(241, 'a');
    EXPECT_EQ(ImportMacroFile(store, dir / "long.macro", MacroFile(dir.Path())).status,
              MacroImportStatus::WrongSize);
    // The macro file cannot be written where a folder stands in its way.
    ASSERT_TRUE(ExportMacroFile(NamedMacro(u"New"), dir / "new.macro"));
    std::filesystem::create_directories(dir / "blocked" / "macro.data");
    EXPECT_EQ(ImportMacroFile(store, dir / "new.macro", dir / "blocked" / "macro.data").status,
              MacroImportStatus::NotSaved);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_FALSE(std::filesystem::exists(MacroFile(dir.Path())));
}

}  // namespace
}  // namespace veltrix
