#include <vector>

#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "pages/DevicePageRules.h"
#include "platform/BinaryFile.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "profile/ProfileTransfer.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsFiles.h"
#include "profile/SettingsKeeper.h"
#include "support/ByteImage.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::BytesOf;
using test::FileBytes;
using test::NamedMacro;
using test::TempDir;
using test::WriteBytes;

void GiveMacro(ButtonEntry& entry, std::u16string_view name, int actions, std::int32_t repeats) {
    entry.byFuncCode = 17;
    entry.byFuncType = 7;
    SetFieldText(entry.szMacroName, name);
    entry.iMacroRepeatCount = repeats;
    entry.wMacroActionCount = static_cast<std::uint16_t>(actions);
    for (int k = 0; k < actions; ++k) {
        entry.aMacroAction[static_cast<std::size_t>(k)] = {static_cast<std::uint8_t>(4 + k / 2),
                                                           static_cast<std::uint8_t>(1 + k % 2),
                                                           static_cast<std::uint16_t>(10 * k + 5)};
    }
}

std::vector<std::u16string> Names(const MacroStore& store) {
    std::vector<std::u16string> names;
    for (int i = 0; i < store.Count(); ++i) {
        names.emplace_back(FieldText(store.At(i).szName));
    }
    return names;
}

class ProfileTransferTest : public ::testing::Test {
  protected:
    ProfileTransferTest() {
        *m_settings = DefaultProfileSettings();
        m_settings->iCurProfile = 4;
    }

    ProfileImportResult Import(const std::filesystem::path& file) {
        return ImportProfileFile(CurrentProfile(*m_settings), m_store, file, MacroFile(m_data));
    }

    TempDir m_dir;
    std::filesystem::path m_data = m_dir / "Data";
    std::unique_ptr<ProfileSettings> m_settings = std::make_unique<ProfileSettings>();
    MacroStore m_store;
};

TEST_F(ProfileTransferTest, ARoundTripToAFreshInstallationKeepsTheProfileAndItsMacros) {
    // The exporting installation: profile 2 with three macro buttons, one of them in the upper
    // twelve entries, and edits of its own.
    auto source = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ProfileData& exported = source->Profiles[1];
    exported.aiDpiValue[2] = 72;
    exported.iLightMode = 3;
    GiveMacro(exported.aButton[2], u"Reload", 6, 3);
    GiveMacro(exported.aButton[5], u"\u00C4rger", 46, 255);
    GiveMacro(exported.aButton[14], u"Combo", 0, 1);
    exported.aButton[2].iMacroIndex = 0;
    exported.aButton[5].iMacroIndex = 1;
    exported.aButton[14].iMacroIndex = 2;
    const std::filesystem::path file = m_dir / "shared.pro";
    ASSERT_TRUE(ExportProfileFile(exported, file));
    EXPECT_EQ(FileBytes(file), BytesOf(exported));

    auto expected = std::make_unique<ProfileSettings>(*m_settings);
    expected->Profiles[4] = exported;
    const ProfileImportResult result = Import(file);
    ASSERT_TRUE(result.Imported());
    EXPECT_EQ(result.macrosAdded, 3);
    EXPECT_EQ(BytesOf(*m_settings), BytesOf(*expected)) << "only the current profile changes";
    ASSERT_EQ(Names(m_store), (std::vector<std::u16string>{u"Reload", u"\u00C4rger", u"Combo"}));
    const MacroRecord& long46 = m_store.At(1);
    EXPECT_EQ(long46.iActionCount, 46);
    EXPECT_EQ(long46.iReserved48, 255) << "the button's repeat count travels with the macro";
    EXPECT_EQ(long46.aAction, exported.aButton[5].aMacroAction);
    EXPECT_EQ(FileBytes(MacroFile(m_data)).size(), 3u * sizeof(MacroRecord));
}

TEST_F(ProfileTransferTest, CollidingNamesAreNumberedIgnoringCaseAndCutToFit) {
    m_store.Append(NamedMacro(u"ABCDEFGHIJKLMNOPQRSTUVW"));  // 23 characters, the most a name has
    m_store.Append(NamedMacro(u"abcdefghijklmnopqrstu_1"));
    m_store.Append(NamedMacro(u"Reload"));
    auto profile = std::make_unique<ProfileData>(DefaultProfileSettings().Profiles[0]);
    GiveMacro(profile->aButton[0], u"ABCDEFGHIJKLMNOPQRSTUVW", 2, 1);
    GiveMacro(profile->aButton[1], u"RELOAD", 2, 1);
    GiveMacro(profile->aButton[2], u"Reload", 2, 1);  // taken by the button before it
    // 24 units and no terminator: only a damaged or foreign file holds that.
    GiveMacro(profile->aButton[3], u"", 2, 1);
    std::fill(profile->aButton[3].szMacroName.begin(), profile->aButton[3].szMacroName.end(), u'x');
    const std::filesystem::path file = m_dir / "collide.pro";
    ASSERT_TRUE(ExportProfileFile(*profile, file));

    ASSERT_EQ(Import(file).macrosAdded, 4);
    const std::vector<std::u16string> expected = {u"ABCDEFGHIJKLMNOPQRSTU_2", u"RELOAD_1",
                                                  u"Reload_2", std::u16string(23, u'x')};
    const std::vector<std::u16string> names = Names(m_store);
    EXPECT_EQ(std::vector<std::u16string>(names.begin() + 3, names.end()), expected);
    for (std::size_t b = 0; b < 4; ++b) {
        const ButtonEntry& entry = m_settings->Profiles[4].aButton[b];
        EXPECT_EQ(FieldText(entry.szMacroName), expected[b]);
        EXPECT_EQ(entry.iMacroIndex, static_cast<int>(b) + 3);
    }
}

TEST_F(ProfileTransferTest, RefusedImportsChangeNothingInMemoryOrOnDisk) {
    m_store.Append(NamedMacro(u"Kept"));
    ASSERT_TRUE(SettingsKeeper(SettingsFile(m_data)).Save(*m_settings));
    ASSERT_TRUE(SaveMacroList(m_store, m_data));
    const auto settingsBefore = BytesOf(*m_settings);
    const auto configBefore = FileBytes(SettingsFile(m_data));
    const auto macrosBefore = FileBytes(MacroFile(m_data));

    auto withMacro = std::make_unique<ProfileData>(DefaultProfileSettings().Profiles[0]);
    GiveMacro(withMacro->aButton[0], u"New", 2, 1);
    std::vector<std::uint8_t> bytes = BytesOf(*withMacro);
    for (const std::size_t size : {std::size_t{0}, kProfileFileSize - 1, kProfileFileSize + 1}) {
        bytes.resize(size, 0x11);
        WriteBytes(m_dir / "wrong.pro", bytes);
        const ProfileImportResult result = Import(m_dir / "wrong.pro");
        EXPECT_EQ(result.status, ProfileImportStatus::WrongSize) << size;
        EXPECT_EQ(result.macrosAdded, 0);
        EXPECT_EQ(ProfileImportWarningTextId(result.status), "import_profile_size_text");
    }
    for (const auto& path : {m_dir / "missing.pro", m_dir.Path()}) {
        const ProfileImportResult result = Import(path);
        EXPECT_EQ(result.status, ProfileImportStatus::Unreadable) << path;
        EXPECT_EQ(ProfileImportWarningTextId(result.status), "import_profile_failed_text");
    }
    // A good profile whose new macro cannot be saved: the macro file's folder is a plain file.
    ASSERT_TRUE(ExportProfileFile(*withMacro, m_dir / "good.pro"));
    WriteBytes(m_dir / "blocker", {1});
    const ProfileImportResult result = ImportProfileFile(
        CurrentProfile(*m_settings), m_store, m_dir / "good.pro", m_dir / "blocker" / "macro.data");
    EXPECT_EQ(result.status, ProfileImportStatus::MacrosNotSaved);
    EXPECT_EQ(ProfileImportWarningTextId(result.status), "import_profile_failed_text");

    EXPECT_EQ(BytesOf(*m_settings), settingsBefore);
    EXPECT_EQ(Names(m_store), std::vector<std::u16string>{u"Kept"});
    EXPECT_EQ(FileBytes(SettingsFile(m_data)), configBefore);
    EXPECT_EQ(FileBytes(MacroFile(m_data)), macrosBefore);
    EXPECT_EQ(ProfileImportWarningTextId(ProfileImportStatus::Imported), "");
}

// The device page's profile buttons, reset, import and the start-up's own request.
class DevicePageRulesTest : public ::testing::Test, public DevicePageView {
  protected:
    using Post = std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>;

    DevicePageRulesTest() { ResetProfileSettings(m_settings); }
    void ReloadPages() override { ++m_reloads; }
    void SelectProfileButtonSilently(int profile) override { m_checkedButton = profile; }
    void FillMacroLists() override { ++m_refills; }
    static void Posted(void* self, std::uint32_t id, std::uintptr_t w, std::intptr_t l) {
        static_cast<DevicePageRulesTest*>(self)->m_posts.emplace_back(id, w, l);
    }

    TempDir m_data;
    ProfileSettings m_settings{};
    SettingsKeeper m_keeper{SettingsFile(m_data.Path())};
    MacroStore m_store;
    DevicePageRules m_rules{m_settings, m_keeper, *this, {this, &Posted}};
    int m_reloads = 0, m_refills = 0, m_checkedButton = -1;
    std::vector<Post> m_posts;
};

TEST_F(DevicePageRulesTest, OnlyTheStartUpsOwnSelectionLeavesAnUnreadableFileAlone) {
    std::filesystem::create_directories(SettingsFolder(m_data.Path()));
    std::filesystem::create_symlink(m_data / "nowhere", SettingsFile(m_data.Path()));
    ASSERT_EQ(m_keeper.Load(m_settings), SettingsSource::Unreadable);
    m_rules.ExpectStartupSelection();
    m_rules.SelectProfile(2);
    EXPECT_EQ(m_settings.iCurProfile, 2);
    EXPECT_EQ(m_reloads, 1);
    ASSERT_EQ(m_posts, (std::vector<Post>{{kMsgApplyRequest, kApplyProfiles, 0}}));
    m_rules.NoteApplyRequest(kApplyProfiles, 0);
    EXPECT_TRUE(m_keeper.SavingHeld());
    m_rules.NoteApplyRequest(kApplyProfiles, 0);  // the same request again is the user's
    EXPECT_FALSE(m_keeper.SavingHeld());

    ASSERT_EQ(m_keeper.Load(m_settings), SettingsSource::Unreadable);
    m_rules.ExpectStartupSelection();
    m_rules.NoteApplyRequest(kApplyDpi, 0);  // any other request first is the user's
    EXPECT_FALSE(m_keeper.SavingHeld());
}

TEST_F(DevicePageRulesTest, ImportReplacesTheCurrentProfileAndResetReplacesAll) {
    const std::filesystem::path file = m_data / "one.pro";
    m_settings.iCurProfile = 2;
    m_settings.Profiles[2].iLightSpeed = 7;
    ASSERT_TRUE(m_rules.ExportProfile(file));
    m_settings.Profiles[2].iLightSpeed = 1;
    EXPECT_EQ(m_rules.ImportProfile(m_store, file, m_data.Path()), ProfileImportStatus::Imported);
    EXPECT_EQ(m_settings.Profiles[2].iLightSpeed, 7);
    EXPECT_EQ(m_reloads, 1);
    EXPECT_EQ(m_refills, 0) << "no macros came with it";
    EXPECT_TRUE(std::filesystem::exists(SettingsFile(m_data.Path()))) << "saved at once";

    m_rules.ResetProfiles();
    EXPECT_EQ(m_settings.iCurProfile, 0);
    EXPECT_EQ(m_settings.Profiles[2].iLightSpeed, 5);
    EXPECT_EQ(m_checkedButton, 0);
    EXPECT_EQ(m_reloads, 2) << "the pages show the factory record";
    EXPECT_EQ(m_posts, (std::vector<Post>{{kMsgApplyRequest, kApplyProfiles, kApplyCurrentProfile},
                                          {kMsgApplyRequest, kApplyProfiles, kApplyEveryProfile}}));
}

}  // namespace
}  // namespace veltrix
