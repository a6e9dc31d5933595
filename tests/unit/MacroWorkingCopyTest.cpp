#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

using namespace test;
using MacroWorkingCopyTest = MacroEditorTest;

TEST_F(MacroWorkingCopyTest, LoadingShowsEveryStepAndSelectsTheLast) {
    Edit({{kA, kDown, 10}, {kA, kUp, 20}, {kKeyLeftButton, kDown, 30}});
    EXPECT_EQ(m_page.macroName, u"Combo");
    EXPECT_EQ(m_page.Screen(), (Strings{"key_A 10", "key_A 20", "L_Button 30"}))
        << "a rebuild shows every delay";
    EXPECT_EQ(m_page.rows[1].actionTextId, "key_up_action");
    EXPECT_EQ(m_page.rows[2].keyPicture, KeyPicture::Mouse);
    EXPECT_EQ(m_page.selectedRow, 2);

    Edit({}, 1000);  // a damaged count
    EXPECT_EQ(m_page.rows.size(), 46u);
}

TEST_F(MacroWorkingCopyTest, MovesSwapWholeStepsAndTheNewLastRowShowsNoDelay) {
    Edit({{kA, kDown, 10}, {kB, kDown, 20}, {kKeyRightButton, kDown, 30}});
    Select(1);
    m_editor.MoveUp();
    m_editor.MoveUp();  // already the first
    EXPECT_EQ(Working(), (Steps{{kB, kDown, 20}, {kA, kDown, 10}, {kKeyRightButton, kDown, 30}}));
    EXPECT_EQ(m_page.selectedRow, 0);
    EXPECT_TRUE(m_page.unsaved);

    Select(1);
    m_editor.MoveDown();
    m_editor.MoveDown();  // already the last
    EXPECT_EQ(m_page.Screen(), (Strings{"key_B 20", "R_Button 30", "key_A 0"}));
    EXPECT_EQ(m_page.rows[1].keyPicture, KeyPicture::MouseAfterMove);
    EXPECT_EQ(m_page.selectedRow, 2);
    m_editor.RebuildActionView();
    EXPECT_EQ(m_page.Screen()[2], "key_A 10");
}

TEST_F(MacroWorkingCopyTest, DeleteSelectsTheSameRowOrTheNewLastOne) {
    Edit({{kA, kDown, 1}, {kB, kDown, 2}, {kC, kDown, 3}});
    Select(1);
    m_editor.DeleteAction();
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 1}, {kC, kDown, 3}}));
    EXPECT_EQ(m_page.Screen(), (Strings{"key_A 1", "key_C 3"}));
    EXPECT_EQ(m_page.selectedRow, 1);
    EXPECT_TRUE(m_page.unsaved);
    m_editor.DeleteAction();
    EXPECT_EQ(m_page.selectedRow, 0) << "the deleted step was the last";
    m_editor.DeleteAction();
    m_editor.DeleteAction();  // nothing left to delete
    EXPECT_EQ(m_editor.ActionCount(), 0);
    EXPECT_EQ(m_editor.ActionIndex(), -1);
}

TEST_F(MacroWorkingCopyTest, ClicksNeedTwoFreeStepsAndGoInAfterTheSelection) {
    m_editor.InsertClick(0);
    EXPECT_EQ(m_editor.ActionCount(), 0) << "no macro loaded";
    Edit({});
    m_page.defaultDelayText = "250";
    m_editor.InsertClick(3);
    EXPECT_EQ(m_page.selectedRow, 1) << "the release";
    m_editor.SetDelayMode(DelayMode::None);
    Select(0);
    m_editor.InsertClick(4);
    EXPECT_EQ(Working(), (Steps{{kKeyForwardButton, kDown, 250},
                                {kKeyBackwardButton, kDown, 2},
                                {kKeyBackwardButton, kUp, 2},
                                {kKeyForwardButton, kUp, 250}}));
    EXPECT_EQ(m_page.selectedRow, 2);

    m_editor.SetDelayMode(DelayMode::Default);
    m_page.defaultDelayText = "65536";
    m_editor.InsertClick(0);
    EXPECT_EQ(Working()[3].wDelay, 65535) << "too long a default is the longest, not 0";

    Edit(Steps(45, {kA, kDown, 1}));
    m_editor.InsertClick(0);
    EXPECT_EQ(m_editor.ActionCount(), 45);
    m_editor.DeleteAction();
    m_editor.InsertClick(0);
    EXPECT_EQ(m_editor.ActionCount(), 46);
}

TEST_F(MacroWorkingCopyTest, DelayTextsAreBoundedAndTheLastStepKeepsItsDelay) {
    Edit({{kA, kDown, 1}, {kA, kUp, 1}});
    Select(0);
    const std::pair<const char*, int> cases[] = {
        {"0", 5}, {"-3", 5}, {"abc", 5}, {" 42ms", 42}, {"70000", 65535}, {"9999999999", 65535}};
    for (const auto& [text, expected] : cases) {
        m_editor.SetDelay(DelayEdit::Keyboard, text);
        EXPECT_EQ(Working()[0].wDelay, expected) << text;
        EXPECT_EQ(m_page.rows[0].wShownDelay, expected) << text;
    }
    m_editor.SetDelay(DelayEdit::Mouse, "12x");
    EXPECT_EQ(m_page.mouseDelay, 12);

    Select(1);
    m_editor.SetDelay(DelayEdit::Keyboard, "300");
    EXPECT_EQ(Working()[1].wDelay, 1);
}

TEST_F(MacroWorkingCopyTest, TheActionEditorShowsAndChangesTheSelectedStep) {
    Edit({{kA, kDown, 40}, {kKeyForwardButton, kDown, 50}, {kKeyForwardButton, kUp, 60}});
    m_editor.SetActionEditFlag(true);
    EXPECT_TRUE(m_page.unsaved);
    EXPECT_EQ(m_page.editor.iPage, 2);
    EXPECT_EQ(m_page.editor.iMouseComboIndex, 3);
    EXPECT_FALSE(m_page.editor.bDelayEnabled) << "the last step";

    Select(0);
    EXPECT_EQ(m_page.editor.iPage, 1);
    EXPECT_EQ(m_page.editor.wDelay, 40);
    m_editor.SetKey(0x42);  // B
    EXPECT_EQ(Working()[0].byKeyCode, kB);
    EXPECT_EQ(m_page.editedKey, "key_B");
    EXPECT_EQ(m_page.rows[0].keyTextId, "key_B");

    Select(1);
    m_editor.SetMouseButton(1);
    EXPECT_EQ(Working()[1].byKeyCode, kKeyRightButton);
    EXPECT_EQ(Working()[2].byKeyCode, kKeyForwardButton) << "the release keeps its button";
}

}  // namespace
}  // namespace veltrix
