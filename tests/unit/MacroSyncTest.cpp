#include <memory>

#include <gtest/gtest.h>

#include "macro/MacroSync.h"
#include "pages/ButtonFunctions.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "support/ByteImage.h"

namespace veltrix {
namespace {

using test::BytesOf;

class MacroSyncTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetProfileSettings(*m_settings); }

    MacroRecord& AddMacro(std::u16string_view name, std::int32_t count, std::uint16_t delay) {
        MacroRecord record{};
        SetFieldText(record.szName, name);
        record.iActionCount = count;
        record.aAction.fill({4, kDirectionPress, delay});
        return m_store.Append(record);
    }

    ButtonEntry& Button(int profile, int button) {
        return m_settings->Profiles[static_cast<std::size_t>(profile)]
            .aButton[static_cast<std::size_t>(button)];
    }

    void AssignMacro(int profile, int button, std::u16string_view name) {
        ButtonEntry& entry = Button(profile, button);
        entry.byFuncCode = kFuncMacro;
        entry.byFuncType = static_cast<std::uint8_t>(FunctionCategory::Macro);
        SetFieldText(entry.szMacroName, name);
        entry.iMacroIndex = 7;
        entry.iMacroRepeatMode = 2;
        entry.iMacroRepeatCount = 3;
    }

    std::unique_ptr<ProfileSettings> m_settings = std::make_unique<ProfileSettings>();
    MacroStore m_store;
};

TEST_F(MacroSyncTest, OnlyTheTwelveButtonsThatNameAMacroAreLookedAt) {
    AddMacro(u"Jump", 2, 10);
    AssignMacro(0, 12, u"Gone");  // entries past the twelfth mirror the buttons
    const auto before = BytesOf(*m_settings);
    EXPECT_FALSE(MacroSync(*m_settings, m_store));
    EXPECT_EQ(BytesOf(*m_settings), before);
}

TEST_F(MacroSyncTest, CopiesNameCountAndStepsAndKeepsTheButtonsOwnFields) {
    AddMacro(u"Other", 1, 1);
    AddMacro(u"Jump", 2, 10);
    AddMacro(u"Damaged", -1, 1);
    AssignMacro(4, 11, u"JUMP");
    AssignMacro(0, 0, u"Damaged");
    EXPECT_TRUE(MacroSync(*m_settings, m_store));

    const ButtonEntry& entry = Button(4, 11);
    EXPECT_EQ(FieldText(entry.szMacroName), u"Jump");
    EXPECT_EQ(entry.wMacroActionCount, 2);
    EXPECT_EQ(entry.aMacroAction, m_store.At(1).aAction) << "all 46 steps";
    EXPECT_EQ(entry.iMacroIndex, 7) << "not renumbered";
    EXPECT_EQ(entry.iMacroRepeatMode, 2);
    EXPECT_EQ(entry.iMacroRepeatCount, 3);
    EXPECT_EQ(Button(0, 0).wMacroActionCount, 0) << "the count the record means, not 65535";
}

TEST_F(MacroSyncTest, ButtonsOfAGoneMacroGetTheirFactoryFunctionInEveryProfile) {
    AddMacro(u"Kept", 1, 1);
    for (int profile = 0; profile < kProfileCount; ++profile) {
        AssignMacro(profile, profile, u"Gone");
        AssignMacro(profile, 11 - profile, u"Kept");
    }
    // A name alone is enough to be looked at, as is the macro code with an empty name.
    Button(2, 7).byFuncCode = 1;
    SetFieldText(Button(2, 7).szMacroName, u"Gone too");
    Button(3, 5).byFuncCode = kFuncMacro;
    EXPECT_TRUE(MacroSync(*m_settings, m_store));

    for (int profile = 0; profile < kProfileCount; ++profile) {
        ButtonEntry expected{};
        expected.byFuncCode = DefaultFunctionCode(profile);
        expected.iMacroIndex = -1;
        EXPECT_EQ(BytesOf(Button(profile, profile)), BytesOf(expected))
            << "every other field zero, the button number included";
        EXPECT_EQ(FieldText(Button(profile, 11 - profile).szMacroName), u"Kept");
    }
    EXPECT_EQ(Button(2, 7).byFuncCode, 0);
    EXPECT_EQ(Button(3, 5).byFuncCode, DefaultFunctionCode(5));
}

}  // namespace
}  // namespace veltrix
