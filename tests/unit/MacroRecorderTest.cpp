#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "macro/MacroRecorder.h"
#include "platform/Messages.h"
#include "support/ByteImage.h"
#include "support/ManualClock.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

using namespace test;
using namespace std::chrono_literals;

constexpr std::uint32_t kVkA = 0x41, kVkB = 0x42;

class MacroRecorderTest : public MacroEditorTest {
  protected:
    MacroRecorderTest() {
        m_page.createMacro = [this] { Edit({}); };
    }

    // A key event as the hook reports it, after a pause; any flag but 0 is a release.
    void Key(std::uint32_t vk, bool release, std::chrono::nanoseconds after = 0ns) {
        m_clock.Advance(after);
        m_recorder.RecordEvent(vk, release ? 0x80000000u : 0);
    }

    RecordingHooks m_hooks;
    ManualClock m_clock;
    HookRepeatFilter m_filter;
    CaptureTargetFlags m_flags{1, 0, 1};
    VeltrixWindowHandle m_window{this, nullptr};
    MacroRecorder m_recorder{m_editor, m_page,   m_trace, m_hooks,
                             m_flags,  m_window, m_clock, m_filter};
};

TEST_F(MacroRecorderTest, StartAndStopSetTheFlagsAndCallTheHooksInOrder) {
    m_recorder.OnRecordButton();
    EXPECT_EQ(m_editor.CurrentMacro(), &m_store.At(0)) << "a macro is made first";
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 1, 0}));
    EXPECT_EQ(m_hooks.calls,
              (Strings{"installhook", "installmousehook", "enablehook(1)", "mousewheelenable(0)"}));
    EXPECT_EQ(m_hooks.windows, (std::vector<void*>{this, this}));
    EXPECT_EQ(m_page.recordButtonText, "stop_recording_text");
    EXPECT_TRUE(m_page.unsaved);

    m_hooks.calls.clear();
    m_recorder.PointerEnteredRecordButton();
    m_recorder.PointerLeftRecordButton();
    m_page.recordButtonChecked = true;
    m_recorder.OnRecordButton();
    m_recorder.PointerEnteredRecordButton();  // no longer recording
    EXPECT_EQ(m_hooks.calls,
              (Strings{"enablemousehook(0)", "enablemousehook(1)", "removehook", "removemousehook",
                       "enablemousehook(0)", "enablehook(0)", "mousewheelenable(0)"}));
    EXPECT_EQ(m_page.recordButtonText, "start_recording_text");
    EXPECT_FALSE(m_page.recordButtonChecked);
    EXPECT_TRUE(m_page.unsaved) << "until Save or Cancel";

    m_hooks.calls.clear();
    m_recorder.StartKeyEdit();
    m_recorder.EndKeyEdit();
    EXPECT_EQ(m_hooks.calls,
              (Strings{"installhook", "enablehook(1)", "removehook", "enablehook(0)"}));
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 0, 1}));
}

TEST_F(MacroRecorderTest, RepeatsAreDroppedAndTheLastEventOutlivesTheRecording) {
    m_page.defaultDelayText = "40";
    m_recorder.OnRecordButton();
    m_page.defaultDelayText = "99";  // read when a recording starts only
    for (int i = 0; i < 20; ++i) {
        Key(kVkA, false, 30ms);  // a held key repeats its press
    }
    Key(kVkA, true);
    Key(kVkA, false);  // a press after the release is new
    m_recorder.OnRecordButton();

    m_recorder.RecordEvent(kVkB, 0);  // between recordings the filter still remembers
    // A recorder made afresh, as a page built again makes one, shares the filter.
    MacroRecorder again{m_editor, m_page, m_trace, m_hooks, m_flags, m_window, m_clock, m_filter};
    again.OnRecordButton();
    again.RecordEvent(kVkB, 0);
    again.RecordEvent(kVkB, 0x80000000u);
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 40}, {kA, kUp, 40}, {kA, kDown, 2}, {kB, kUp, 2}}))
        << "the last step of each recording keeps 2";
}

TEST(TranslateHookEvent, TheExtraButtonsAreForwardAndBackward) {
    EXPECT_EQ(TranslateHookEvent(kHookExtraButtonDown, 1),
              (MacroAction{kKeyForwardButton, kDown, 0}));
    EXPECT_EQ(TranslateHookEvent(kHookExtraButtonUp, 2), (MacroAction{kKeyBackwardButton, kUp, 0}));
}

TEST_F(MacroRecorderTest, RecordedDelaysAreRoundedPausesAndTheFirstPauseCountsForNothing) {
    m_editor.SetDelayMode(DelayMode::Recorded);
    m_recorder.OnRecordButton();
    Key(kVkA, false, 5s);
    Key(kVkA, true, 250400us);
    Key(kVkB, false, 250500us);
    Key(kVkB, true, 2min);
    Key(kVkA, false, 1ms);
    EXPECT_EQ(
        Working(),
        (Steps{
            {kA, kDown, 250}, {kA, kUp, 251}, {kB, kDown, 65535}, {kB, kUp, 1}, {kA, kDown, 2}}));
}

TEST_F(MacroRecorderTest, WithAStepSelectedTheRecordingGoesInAfterIt) {
    Edit({{kA, kDown, 7}, {kA, kUp, 8}, {kKeyLeftButton, kDown, 9}});
    m_editor.SelectAction(0);
    m_editor.SetDelayMode(DelayMode::None);
    m_recorder.OnRecordButton();
    Key(kVkB, false);
    Key(kVkB, true);
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 7},
                                {kB, kDown, 2},
                                {kB, kUp, 2},
                                {kA, kUp, 8},
                                {kKeyLeftButton, kDown, 9}}));
    EXPECT_EQ(m_page.selectedRow, 2) << "the step just recorded";
    m_recorder.OnRecordButton();

    // That block's insertion point lies past the end of a shorter macro, so loading one selects
    // no step, and a recording then replaces the whole list.
    Edit({{kA, kDown, 7}, {kA, kUp, 7}});
    EXPECT_EQ(m_editor.ActionIndex(), -1);
    m_recorder.OnRecordButton();
    Key(kVkA, false);
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 2}}));
}

// A macro of 45 steps, too full for a click, takes one recorded step, and that step stops the
// recording; a recording on a full list stops at its first event and leaves the last step alone.
TEST_F(MacroRecorderTest, RecordingStopsByItselfAtTheLimit) {
    Edit(Steps(45, {kA, kDown, 1}));
    m_recorder.OnRecordButton();
    Key(kVkB, false);
    EXPECT_EQ(m_editor.ActionCount(), 46);
    EXPECT_FALSE(m_recorder.Recording());
    m_recorder.OnRecordButton();
    Key(kVkB, true, 1s);
    EXPECT_EQ(m_editor.ActionCount(), 46);
    EXPECT_EQ(Working().back(), (MacroAction{kB, kDown, 2})) << "no pause from before the start";
    EXPECT_FALSE(m_recorder.Recording());
}

}  // namespace
}  // namespace veltrix
