#include <vector>

#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "macro/MacroWorkingCopy.h"
#include "pages/KeyCodes.h"
#include "platform/Utf16Text.h"

namespace veltrix {
namespace {

constexpr std::uint8_t kA = 4, kB = 5, kC = 6;
constexpr std::uint8_t kDown = kDirectionPress, kUp = kDirectionRelease;
using Steps = std::vector<MacroAction>;

class MacroWorkingCopyTest : public ::testing::Test {
  protected:
    // Adds a macro and selects its row, which loads it.
    void Edit(const Steps& actions, std::int32_t count = -1) {
        MacroRecord record{};
        SetFieldText(record.szName, u"Combo");
        std::copy(actions.begin(), actions.end(), record.aAction.begin());
        record.iActionCount = count >= 0 ? count : static_cast<std::int32_t>(actions.size());
        m_store.Append(record);
        m_editor.SelectMacro(m_store.Count() - 1);
    }
    void Select(int row) {
        m_page.selectedRow = row;
        m_editor.SelectAction(row);
    }
    Steps Working() const { return {m_editor.Actions().begin(), m_editor.Actions().end()}; }

    MacroStore m_store;
    test::FakeMacroPage m_page;
    test::RecordingTrace m_trace;
    MacroWorkingCopy m_editor{m_store, m_page, m_trace};
};

TEST_F(MacroWorkingCopyTest, LoadingShowsEveryStepAndSelectsTheLast) {
    Edit({{kA, kDown, 10}, {kA, kUp, 20}, {kKeyLeftButton, kDown, 30}});
    EXPECT_EQ(m_page.macroName, u"Combo");
    EXPECT_EQ(m_page.Keys(), (std::vector<std::string>{"key_A", "key_A", "L_Button"}));
    EXPECT_EQ(m_page.rows[1].action, "key_up_action");
    EXPECT_EQ(m_page.rows[2].picture, KeyPicture::Mouse);
    EXPECT_EQ(m_page.Delays(), (std::vector<int>{10, 20, 30})) << "a rebuild shows every delay";
    EXPECT_EQ(m_page.selectedRow, 2);
    EXPECT_EQ(m_trace.lines, std::vector<std::string>{"iActionIndex=2, iNextActionIndex=-1\r\n"});

    Edit({});
    EXPECT_EQ(m_editor.ActionIndex(), -1);
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
    EXPECT_EQ(Working()[2], (MacroAction{kA, kDown, 10}));
    EXPECT_EQ(m_page.Delays(), (std::vector<int>{20, 30, 0}));
    EXPECT_EQ(m_page.rows[1].picture, KeyPicture::MouseAfterMove);
    EXPECT_EQ(m_page.selectedRow, 2);
    m_editor.RebuildActionView();
    EXPECT_EQ(m_page.Delays(), (std::vector<int>{20, 30, 10}));
}

TEST_F(MacroWorkingCopyTest, DeleteSelectsTheSameRowOrTheNewLastOne) {
    Edit({{kA, kDown, 1}, {kB, kDown, 2}, {kC, kDown, 3}});
    Select(1);
    m_editor.DeleteAction();
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 1}, {kC, kDown, 3}}));
    EXPECT_EQ(m_page.Keys(), (std::vector<std::string>{"key_A", "key_C"}));
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
    EXPECT_EQ(Working(), (Steps{{kKeyForwardButton, kDown, 250}, {kKeyForwardButton, kUp, 250}}));
    EXPECT_EQ(m_page.selectedRow, 1) << "the release";

    m_editor.SetDelayMode(DelayMode::None);
    Select(0);
    m_editor.InsertClick(4);
    EXPECT_EQ(Working()[1], (MacroAction{kKeyBackwardButton, kDown, 2}));
    EXPECT_EQ(Working()[2], (MacroAction{kKeyBackwardButton, kUp, 2}));
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
    for (const auto& [text, expected] :
         std::vector<std::pair<const char*, int>>{{"0", 5},
                                                  {"-3", 5},
                                                  {"abc", 5},
                                                  {" 42ms", 42},
                                                  {"70000", 65535},
                                                  {"9999999999", 65535}}) {
        m_editor.SetDelay(DelayEdit::Keyboard, text);
        EXPECT_EQ(Working()[0].wDelay, expected) << text;
        EXPECT_EQ(m_page.rows[0].delay, expected) << text;
    }
    EXPECT_EQ(m_page.mouseDelayText, "") << "the keyboard edit keeps what was typed";
    m_editor.SetDelay(DelayEdit::Mouse, "12x");
    EXPECT_EQ(m_page.mouseDelayText, "12");

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
    EXPECT_EQ(m_page.rows[0].key, "key_B");

    Select(1);
    m_editor.SetMouseButton(1);
    EXPECT_EQ(Working()[1].byKeyCode, kKeyRightButton);
    EXPECT_EQ(Working()[2].byKeyCode, kKeyForwardButton) << "the release keeps its button";
}

}  // namespace
}  // namespace veltrix
