#include <fstream>

#include <gtest/gtest.h>

#include "macro/MacroFiles.h"
#include "platform/Utf16Text.h"
#include "profile/SettingsFiles.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::TempDir;

MacroRecord NamedMacro(std::u16string_view name) {
    MacroRecord record{};
    SetFieldText(record.szName, name);
    return record;
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
