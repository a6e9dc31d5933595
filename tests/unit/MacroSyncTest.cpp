#include <memory>

#include <gtest/gtest.h>

#include "macro/MacroSync.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "profile/RecordAccess.h"
#include "support/ByteImage.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

using test::BytesOf;

class MacroSyncTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetProfileSettings(*m_settings); }

    void AddMacro(std::u16string_view name, std::int32_t count) {
        MacroRecord record{};
        SetFieldText(record.szName, name);
        record.iActionCount = count;
        record.aAction.fill({4, kDirectionPress, 10});
        m_store.Append(record);
    }

    ButtonEntry& Button(int profile, int button) {
        return ProfileAt(*m_settings, profile).aButton[static_cast<std::size_t>(button)];
    }

    ButtonEntry& AssignMacro(int profile, int button, std::u16string_view name) {
        ButtonEntry& entry = Button(profile, button);
        entry.byFuncCode = kFuncMacro;
        SetFieldText(entry.szMacroName, name);
        entry.iMacroIndex = 7;
        entry.iMacroRepeatMode = 2;
        entry.iMacroRepeatCount = 3;
        return entry;
    }

    std::unique_ptr<ProfileSettings> m_settings = std::make_unique<ProfileSettings>();
    MacroStore m_store;
};

TEST_F(MacroSyncTest, OnlyTheTwelveButtonsThatRunAMacroAreLookedAt) {
    AssignMacro(0, 12, u"Gone");  // entries past the twelfth mirror the buttons
    AssignMacro(1, 3, u"Gone").byFuncCode = 1;
    const auto before = BytesOf(*m_settings);
    EXPECT_FALSE(MacroSync(*m_settings, m_store));
    EXPECT_EQ(BytesOf(*m_settings), before);
}

TEST_F(MacroSyncTest, ButtonsCopyTheirMacroOrGetTheirFactoryFunctionWhenItIsGone) {
    AddMacro(u"Other", 1);
    AddMacro(u"Jump", 2);
    AddMacro(u"Damaged", -1);
    for (int profile = 0; profile < kProfileCount; ++profile) {
        AssignMacro(profile, profile, u"Gone");
    }
    const ButtonEntry& jump = AssignMacro(4, 11, u"JUMP");
    AssignMacro(0, 10, u"Damaged");
    // Only a button that runs a macro is looked at: a name left behind by an earlier macro
    // choice keeps its button's function (button 6 has since been given a left click).
    AssignMacro(2, 6, u"Gone too").byFuncCode = 1;
    const auto leftClick = BytesOf(Button(2, 6));
    AssignMacro(3, 5, u"");
    EXPECT_TRUE(MacroSync(*m_settings, m_store));

    EXPECT_EQ(FieldText(jump.szMacroName), u"Jump");
    EXPECT_EQ(jump.wMacroActionCount, 2);
    EXPECT_EQ(jump.aMacroAction, m_store.At(1).aAction) << "all 46 steps";
    EXPECT_EQ((std::array{jump.iMacroIndex, jump.iMacroRepeatMode, jump.iMacroRepeatCount}),
              (std::array{7, 2, 3}))
        << "not renumbered, the repeat kept";
    EXPECT_EQ(Button(0, 10).wMacroActionCount, 0) << "the count the record means, not 65535";
    for (int profile = 0; profile < kProfileCount; ++profile) {
        ButtonEntry expected{};
        expected.byFuncCode = static_cast<std::uint8_t>(profile + 1);  // buttons 1 to 5: 1 to 5
        expected.iMacroIndex = -1;
        EXPECT_EQ(BytesOf(Button(profile, profile)), BytesOf(expected))
            << "every other field zero, the button number included";
    }
    EXPECT_EQ(BytesOf(Button(2, 6)), leftClick);
    EXPECT_EQ(Button(3, 5).byFuncCode, 7) << "the macro code without a name: factory";
}

}  // namespace
}  // namespace veltrix
