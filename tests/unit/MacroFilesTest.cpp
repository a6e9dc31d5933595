#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "macro/MacroFiles.h"
#include "macro/MacroSync.h"
#include "platform/Utf16Text.h"
#include "profile/SettingsFiles.h"
#include "support/TempDir.h"
#include "vocabulary/ButtonFunctions.h"

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

TEST(MacroRename, ButtonsFollowTheNewNameAndKeepTheirMacro) {
    TempDir dir;
    ProfileSettings settings{};
    ButtonEntry& runs = settings.Profiles[4].aButton[11];
    runs.byFuncCode = kFuncMacro;
    SetFieldText(runs.szMacroName, u"old");
    ButtonEntry& other = settings.Profiles[0].aButton[2];
    other.byFuncCode = kFuncMacro;
    SetFieldText(other.szMacroName, u"Another");

    MacroStore store;
    MacroRecord renamed = NamedMacro(u"New name");
    renamed.iActionCount = 1;
    renamed.aAction[0] = {4, kDirectionPress, 7};
    store.Append(renamed);
    store.Append(NamedMacro(u"Another"));
    RenameButtonMacros(settings, u"OLD", u"New name");
    EXPECT_TRUE(PublishMacroChange(store, settings, dir.Path(), VeltrixWindowHandle{}));

    EXPECT_EQ(runs.byFuncCode, kFuncMacro);
    EXPECT_EQ(FieldText(runs.szMacroName), u"New name");
    EXPECT_EQ(runs.wMacroActionCount, 1);
    EXPECT_EQ(FieldText(other.szMacroName), u"Another");
    ProfileSettings saved{};
    ASSERT_EQ(LoadSettings(saved, dir.Path()), SettingsSource::File);
    EXPECT_EQ(std::memcmp(&saved, &settings, sizeof(saved)), 0);
}

}  // namespace
}  // namespace veltrix
