#include <vector>

#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "macro/MacroRecorder.h"
#include "pages/KeyCodes.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "support/ManualClock.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using Steps = std::vector<MacroAction>;
using Calls = std::vector<std::string>;

constexpr std::uint32_t kVkA = 0x41, kVkB = 0x42;
constexpr std::uint8_t kA = 4, kB = 5;
constexpr std::uint8_t kDown = kDirectionPress, kUp = kDirectionRelease;

class MacroRecorderTest : public ::testing::Test {
  protected:
    MacroRecorderTest() {
        m_page.createMacro = [this] {
            m_store.NewMacro([](std::string_view) { return std::u16string(u"Macro"); });
            m_editor.SelectMacro(m_store.Count() - 1);
        };
    }

    void Edit(const Steps& actions) {
        MacroRecord record{};
        std::copy(actions.begin(), actions.end(), record.aAction.begin());
        record.iActionCount = static_cast<std::int32_t>(actions.size());
        m_store.Append(record);
        m_editor.SelectMacro(m_store.Count() - 1);
    }

    // A key event as the hook reports it, after a pause.
    void Key(std::uint32_t vk, bool release, std::chrono::nanoseconds after = 0ns) {
        m_clock.Advance(after);
        m_recorder.RecordEvent(vk, release ? 1 : 0);
    }

    Steps Working() const { return {m_editor.Actions().begin(), m_editor.Actions().end()}; }

    MacroStore m_store;
    test::FakeMacroPage m_page;
    test::RecordingTrace m_trace;
    test::RecordingHooks m_hooks;
    test::ManualClock m_clock;
    HookRepeatFilter m_filter;
    CaptureTargetFlags m_flags{1, 0, 1};
    int m_windowTag = 0;
    VeltrixWindowHandle m_window{&m_windowTag, nullptr};
    MacroWorkingCopy m_editor{m_store, m_page, m_trace};
    MacroRecorder m_recorder{m_editor, m_page,   m_trace, m_hooks,
                             m_flags,  m_window, m_clock, m_filter};
};

TEST_F(MacroRecorderTest, StartAndStopSetTheFlagsAndCallTheHooksInOrder) {
    m_recorder.OnRecordButton();
    EXPECT_EQ(FieldText(m_store.At(0).szName), u"Macro1") << "a macro is made first";
    EXPECT_EQ(m_editor.CurrentMacro(), &m_store.At(0));
    EXPECT_EQ(
        (std::array{m_flags.byButtonCapture, m_flags.byMacroRecording, m_flags.byMacroKeyEdit}),
        (std::array<std::uint8_t, 3>{0, 1, 0}));
    EXPECT_EQ(m_hooks.calls,
              (Calls{"installhook", "installmousehook", "enablehook(1)", "mousewheelenable(0)"}));
    EXPECT_EQ(m_hooks.windows, (std::vector<void*>{&m_windowTag, &m_windowTag}));
    EXPECT_EQ(m_page.recordButtonText, "stop_recording_text");
    EXPECT_TRUE(m_page.unsaved);

    m_hooks.calls.clear();
    m_recorder.PointerEnteredRecordButton();
    m_recorder.PointerLeftRecordButton();
    m_page.recordButtonChecked = true;
    m_recorder.OnRecordButton();
    m_recorder.PointerEnteredRecordButton();  // no longer recording
    EXPECT_EQ(m_hooks.calls,
              (Calls{"enablemousehook(0)", "enablemousehook(1)", "removehook", "removemousehook",
                     "enablemousehook(0)", "enablehook(0)", "mousewheelenable(0)"}));
    EXPECT_EQ(m_page.recordButtonText, "start_recording_text");
    EXPECT_FALSE(m_page.recordButtonChecked);
    EXPECT_EQ(m_flags.byMacroRecording, 1) << "the flags stay";
    EXPECT_TRUE(m_page.unsaved) << "until Save or Cancel";

    m_hooks.calls.clear();
    m_recorder.StartKeyEdit();
    m_recorder.EndKeyEdit();
    EXPECT_EQ(m_hooks.calls,
              (Calls{"installhook", "enablehook(1)", "removehook", "enablehook(0)"}));
    EXPECT_EQ((std::array{m_flags.byMacroRecording, m_flags.byMacroKeyEdit}),
              (std::array<std::uint8_t, 2>{0, 1}));
}

TEST_F(MacroRecorderTest, RepeatsAreDroppedAndTheLastEventOutlivesTheRecording) {
    m_recorder.OnRecordButton();
    for (int i = 0; i < 20; ++i) {
        Key(kVkA, false, 30ms);  // a held key repeats its press
    }
    Key(kVkA, true);
    EXPECT_EQ(m_editor.ActionCount(), 2) << "one press and one release";
    Key(kVkA, false);
    EXPECT_EQ(m_editor.ActionCount(), 3) << "a press after the release is new";
    m_recorder.OnRecordButton();

    m_recorder.RecordEvent(kVkB, 0);  // between recordings the filter still remembers
    // A recorder made afresh, as a page built again makes one, shares the filter.
    MacroRecorder again{m_editor, m_page, m_trace, m_hooks, m_flags, m_window, m_clock, m_filter};
    again.OnRecordButton();
    again.RecordEvent(kVkB, 0);
    again.RecordEvent(kVkB, 1);
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 10}, {kA, kUp, 10}, {kA, kDown, 2}, {kB, kUp, 2}}));
}

TEST_F(MacroRecorderTest, MouseButtonsAndKeysAreTranslated) {
    EXPECT_EQ(TranslateHookEvent(kHookLeftButtonDown, 9), (MacroAction{kKeyLeftButton, kDown, 0}));
    EXPECT_EQ(TranslateHookEvent(kHookMiddleButtonUp, 0), (MacroAction{kKeyMiddleButton, kUp, 0}));
    EXPECT_EQ(TranslateHookEvent(kHookExtraButtonDown, 1),
              (MacroAction{kKeyForwardButton, kDown, 0}));
    EXPECT_EQ(TranslateHookEvent(kHookExtraButtonUp, 2), (MacroAction{kKeyBackwardButton, kUp, 0}));
    EXPECT_EQ(TranslateHookEvent(kHookExtraButtonUp, 3), (MacroAction{0, kUp, 0}))
        << "an unknown extra button is taken for a virtual key";
    EXPECT_EQ(TranslateHookEvent(kVkA, 0x80000000u), (MacroAction{kA, kUp, 0}));
}

TEST_F(MacroRecorderTest, DelaysFollowTheModeAndTheLastStepKeepsTwo) {
    m_editor.SetDelayMode(DelayMode::Recorded);
    m_recorder.OnRecordButton();
    Key(kVkA, false, 5s);  // the time before the first event counts for nothing
    Key(kVkA, true, 250400us);
    Key(kVkB, false, 250500us);
    Key(kVkB, true, 2min);
    Key(kVkA, false, 1ms);
    EXPECT_EQ(
        Working(),
        (Steps{
            {kA, kDown, 250}, {kA, kUp, 251}, {kB, kDown, 65535}, {kB, kUp, 1}, {kA, kDown, 2}}));
    m_recorder.OnRecordButton();

    m_editor.Clear();
    m_editor.SetDelayMode(DelayMode::Default);
    m_page.defaultDelayText = "40";
    m_recorder.OnRecordButton();
    m_page.defaultDelayText = "99";  // read when the recording starts only
    Key(kVkB, false, 1s);
    Key(kVkB, true, 1s);
    Key(kVkA, true, 1s);
    EXPECT_EQ(Working(), (Steps{{kB, kDown, 40}, {kB, kUp, 40}, {kA, kUp, 2}}));
    m_recorder.OnRecordButton();

    m_editor.Clear();
    m_editor.SetDelayMode(DelayMode::None);
    m_recorder.OnRecordButton();
    Key(kVkA, false, 1s);
    Key(kVkA, true, 1s);
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 2}, {kA, kUp, 2}}));
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
    EXPECT_EQ(m_trace.lines.back(), "m_iInsertPosTmp2 = 3\r\n");
    m_recorder.OnRecordButton();

    // That block's insertion point lies past the end of a shorter macro, so loading one selects
    // no step, and a recording then replaces the whole list.
    Edit({{kA, kDown, 7}, {kA, kUp, 7}});
    EXPECT_EQ(m_editor.ActionIndex(), -1);
    m_recorder.OnRecordButton();
    Key(kVkA, false);
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 2}}));
}

TEST_F(MacroRecorderTest, RecordingStopsByItselfAtTheLimit) {
    m_recorder.OnRecordButton();
    for (int i = 0; i < 23; ++i) {
        Key(kVkA, false);
        Key(kVkA, true);
    }
    EXPECT_EQ(m_editor.ActionCount(), 46);
    EXPECT_FALSE(m_recorder.Recording()) << "stopped with the 46th step";

    // A macro of 45 steps, too full for a click, takes one recorded step.
    Edit(Steps(45, {kA, kDown, 1}));
    m_recorder.OnRecordButton();
    Key(kVkB, false);
    EXPECT_EQ(m_editor.ActionCount(), 46);
    EXPECT_FALSE(m_recorder.Recording());
    m_recorder.OnRecordButton();
    Key(kVkB, true);
    EXPECT_EQ(m_editor.ActionCount(), 46);
    EXPECT_FALSE(m_recorder.Recording()) << "the first event stops a recording on a full list";
}

}  // namespace
}  // namespace veltrix
