#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "MouseModel.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
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

// The fields an import may change: those that would index past their arrays, the values whose
// low byte alone would reach the mouse, unterminated texts and the macro buttons' names and
// indices.
ProfileData WithoutAdjustableFields(const ProfileData& profile) {
    ProfileData masked = profile;
    masked.iCurDpiLevel = 0;
    masked.aiDpiValue.fill(0);
    masked.aiDpiValueY.fill(0);
    masked.iLightMode = masked.iLightBrightness = masked.iLightSpeed = masked.iReportRate = 0;
    masked.szReserved1.back() = 0;
    masked.szReserved2.back() = 0;
    for (ButtonEntry& entry : masked.aButton) {
        entry.wMacroActionCount = 0;
        if (entry.byFuncCode == 17) {
            entry.szMacroName.fill(0);
            entry.iMacroIndex = 0;
        } else {
            entry.szMacroName.back() = 0;
        }
    }
    return masked;
}

TEST_F(ProfileTransferTest, RandomBytesImportInRangeAndTheMouseAcceptsEveryReport) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 25; ++round) {
        auto profile = std::make_unique<ProfileData>();
        std::vector<std::uint8_t> bytes(kProfileFileSize);
        std::generate(bytes.begin(), bytes.end(),
                      [&] { return static_cast<std::uint8_t>(random()); });
        std::memcpy(profile.get(), bytes.data(), bytes.size());
        // Random bytes rarely make a macro button; make a third of them one, with random names.
        for (std::size_t b = round % 3; b < kButtonEntryCount; b += 3) {
            profile->aButton[b].byFuncCode = 17;
        }
        ASSERT_TRUE(ExportProfileFile(*profile, m_dir / "random.pro"));
        m_store.Clear();
        m_store.Append(NamedMacro(u"Kept"));

        ASSERT_TRUE(Import(m_dir / "random.pro").Imported());
        const ProfileData& imported = CurrentProfile(*m_settings);
        EXPECT_EQ(BytesOf(WithoutAdjustableFields(imported)),
                  BytesOf(WithoutAdjustableFields(*profile)))
            << "every other byte is kept";
        EXPECT_EQ(imported.iCurDpiLevel, CurrentDpiLevel(*profile));
        // Out of range, the nearest end; a report rate the mouse does not know is sent as 500 Hz.
        for (std::size_t k = 0; k < imported.aiDpiValue.size(); ++k) {
            for (const auto& [got, had] :
                 {std::pair(imported.aiDpiValue[k], profile->aiDpiValue[k]),
                  std::pair(imported.aiDpiValueY[k], profile->aiDpiValueY[k])}) {
                EXPECT_EQ(got, had == 0 ? 0 : std::clamp(had, 1, 101));
            }
        }
        EXPECT_EQ(imported.iLightMode, std::clamp(profile->iLightMode, 0, 8));
        EXPECT_EQ(imported.iLightBrightness, std::clamp(profile->iLightBrightness, 1, 8));
        EXPECT_EQ(imported.iLightSpeed, std::clamp(profile->iLightSpeed, 1, 8));
        EXPECT_EQ(imported.iReportRate, profile->iReportRate >= 0 && profile->iReportRate <= 3
                                            ? profile->iReportRate
                                            : 2);
        for (int i = 0; i < m_store.Count(); ++i) {
            const MacroRecord& macro = m_store.At(i);
            EXPECT_LT(FieldText(macro.szName).size(), std::size_t{kMacroNameUnits});
            EXPECT_GE(macro.iActionCount, 0);
            EXPECT_LE(macro.iActionCount, kMaxMacroActions);
            for (int j = 0; j < i; ++j) {
                EXPECT_FALSE(
                    EqualIgnoringCase(FieldText(macro.szName), FieldText(m_store.At(j).szName)));
            }
        }
        for (const ButtonEntry& entry : imported.aButton) {
            EXPECT_LE(entry.wMacroActionCount, kMaxMacroActions);
            EXPECT_LT(FieldText(entry.szMacroName).size(), std::size_t{kMacroNameUnits});
        }

        // What the window sends after an import, and after a reset of the other profiles.
        RecordingTransport transport;
        const LinkFlags flags;
        ReportSender sender(transport, flags, InstantClock());
        sender.SendRequest(*m_settings, kApplyProfiles, kApplyCurrentProfile);
        sender.SendRequest(*m_settings, kApplyProfiles, kApplyEveryProfile);
        emulator::MouseModel mouse;
        for (const SentReport& report : transport.Sent()) {
            EXPECT_TRUE(mouse.ReceiveFeature(report.link, report.bytes));
        }
        EXPECT_EQ(mouse.BadFrameCount(), 0) << "round " << round;
    }
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
    EXPECT_EQ(m_posts, (std::vector<Post>{{kMsgApplyRequest, kApplyProfiles, kApplyCurrentProfile},
                                          {kMsgApplyRequest, kApplyProfiles, kApplyEveryProfile}}));
}

}  // namespace
}  // namespace veltrix
