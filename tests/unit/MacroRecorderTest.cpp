#include <cctype>

#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "macro/MacroRecorder.h"
#include "platform/Messages.h"
#include "support/ByteImage.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

using namespace test;
using namespace std::chrono_literals;

constexpr std::uint32_t kVkA = 0x41, kVkB = 0x42;
constexpr std::uint8_t kKeySpace = 44;

// The macro list is not what these tests look at.
class UnseenMacroList final : public MacroLibraryView {
  public:
    void AppendMacroRow(std::u16string_view) override {}
    void RemoveMacroRow(int) override {}
    void RenameMacroRow(int, std::u16string_view) override {}
    void SelectMacroRow(int) override {}
    void NotifyMacroListChanged() override {}
    void NotifyMacroRenamed(std::u16string_view, std::u16string_view) override {}
    void NotifyButtonEntriesChanged() override {}
};

class MacroRecorderTest : public MacroEditorTest {
  protected:
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
    TempDir m_data;
    UnseenMacroList m_list;
    MacroLibrary m_library{m_store,
                           m_editor,
                           m_list,
                           [](std::string_view) { return std::u16string(u"Macro"); },
                           {m_data.Path()}};
    MacroRecorder m_recorder{m_library, m_page,   m_trace, m_hooks,
                             m_flags,   m_window, m_clock, m_filter};
};

TEST_F(MacroRecorderTest, StartAndStopSetTheFlagsAndCallTheHooksInOrder) {
    m_recorder.OnRecordButton();
    EXPECT_EQ(m_editor.CurrentMacro(), &m_store.At(0)) << "a macro is made first";
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 1, 0}));
    EXPECT_EQ(m_hooks.calls, (Strings{"installhook", "installmousehook", "enablehook(1)",
                                      "enablemousehook(1)", "mousewheelenable(0)"}));
    EXPECT_EQ(m_hooks.windows, (std::vector<void*>{this, this}));
    EXPECT_EQ(m_page.recordButtonText, "stop_recording_text");
    EXPECT_TRUE(m_page.recording);
    EXPECT_TRUE(m_page.unsaved);

    m_hooks.calls.clear();
    m_page.recordButtonChecked = true;
    m_recorder.EndCapture();  // the window hid, say: as the record button would stop it
    EXPECT_EQ(m_hooks.calls, (Strings{"removehook", "removemousehook"}));
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(m_page.recordButtonText, "start_recording_text");
    EXPECT_FALSE(m_page.recordButtonChecked);
    EXPECT_FALSE(m_page.recording);
    EXPECT_TRUE(m_page.unsaved) << "until Save or Cancel";
    Key(kVkA, false);
    EXPECT_EQ(Working(), Steps{}) << "nothing after the end";

    // The key edit takes one press; starting it stops a recording.
    m_recorder.OnRecordButton();
    Edit({{kA, kDown, 7}});
    m_editor.SelectAction(0);
    m_hooks.calls.clear();
    m_recorder.StartKeyEdit();
    EXPECT_FALSE(m_recorder.Recording());
    EXPECT_EQ(m_page.editedKey, "press_a_key_text");
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 0, 1}));
    m_recorder.KeyEditEvent(kVkB, 1);
    m_recorder.KeyEditEvent(kVkB, 0);
    m_recorder.KeyEditEvent(0x09, 0);  // the Tab that leaves the field
    EXPECT_EQ(Working(), (Steps{{kB, kDown, 7}}));
    EXPECT_EQ(m_page.editedKey, "key_B");
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 0, 0}));
    m_recorder.StartKeyEdit();
    m_recorder.EndKeyEdit();
    EXPECT_EQ(m_page.editedKey, "key_B") << "the key again once the field stops waiting";
    EXPECT_EQ(m_hooks.calls.back(), "removemousehook");
}

// What a recording keeps of the events the hooks report, `A`/`a` a press/release of that key
// code, L/l the left button, S/s Space; `|` is the stop, with the input that stopped it.
TEST_F(MacroRecorderTest, ARecordingKeepsWholeClicksAndKeysAndNothingOfItsOwnStartOrStop) {
    struct Case {
        const char* events;
        std::uint8_t byStopInput;
        Steps steps;
    };
    const auto L = MacroAction{kKeyLeftButton, kDown, 2}, l = MacroAction{kKeyLeftButton, kUp, 2};
    const auto A = MacroAction{kA, kDown, 2}, a = MacroAction{kA, kUp, 2};
    const Case cases[] = {
        // The release of the click or key that started it; then the stopping click, whole,
        // in part or not yet seen by the hook.
        {"lAaLl", kKeyLeftButton, {A, a}},
        {"sAaL", kKeyLeftButton, {A, a}},
        {"Aa", kKeyLeftButton, {A, a}},
        {"AaS", kKeySpace, {A, a}},
        {"AaSs", kKeySpace, {A, a}},
        // Real clicks from the first event on; a click just before a stop by a key stays.
        {"LlAaLl", kKeySpace, {L, l, A, a, L, l}},
        // A key still held at the stop gets no step; one held across others leaves them.
        {"AL", kKeyLeftButton, {}},
        {"ALlB", 0, {L, l}},
        {"AAAa", 0, {A, a}},
    };
    for (const Case& c : cases) {
        m_editor.SetDelayMode(DelayMode::None);
        Edit({});
        m_recorder.OnRecordButton();
        for (const char* e = c.events; *e != 0; ++e) {
            const char upper = static_cast<char>(std::toupper(*e));
            const bool release = *e != upper;
            if (upper == 'L') {
                m_recorder.RecordEvent(release ? kHookLeftButtonUp : kHookLeftButtonDown, 0);
            } else {
                Key(upper == 'S' ? 0x20 : upper, release);
            }
        }
        m_recorder.OnRecordButton(c.byStopInput);
        EXPECT_EQ(Working(), c.steps) << c.events;
    }
}

TEST_F(MacroRecorderTest, EachRecordingStartsAfreshAndRepeatsAreDropped) {
    m_page.defaultDelayText = "40";
    m_recorder.OnRecordButton();
    m_page.defaultDelayText = "99";  // read when a recording starts only
    for (int i = 0; i < 20; ++i) {
        Key(kVkA, false, 30ms);  // a held key repeats its press
    }
    Key(kVkA, true);
    Key(kVkB, false);
    m_recorder.OnRecordButton(kKeyLeftButton);  // B is still held: it gets no step

    // A recorder made afresh, as a page built again makes one, shares the filter; the held B
    // and the last event of the recording before count for nothing in the next one.
    MacroRecorder again{m_library, m_page, m_trace, m_hooks, m_flags, m_window, m_clock, m_filter};
    m_editor.SelectAction(1);
    again.OnRecordButton();
    again.RecordEvent(kVkB, 0x80000000u);
    again.RecordEvent(kVkB, 0);
    again.RecordEvent(kVkB, 0x80000000u);
    again.OnRecordButton();
    EXPECT_EQ(Working(), (Steps{{kA, kDown, 40}, {kA, kUp, 2}, {kB, kDown, 99}, {kB, kUp, 2}}))
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
    Edit(Steps(44, {kA, kDown, 1}));
    m_recorder.OnRecordButton();
    Key(kVkB, false);
    Key(kVkB, true, 1s);
    EXPECT_EQ(m_editor.ActionCount(), 46);
    EXPECT_EQ(Working().back(), (MacroAction{kB, kUp, 2}));
    EXPECT_FALSE(m_recorder.Recording());
    m_editor.Save();
    Edit(Steps(45, {kA, kDown, 1}));
    Select(44);
    m_recorder.OnRecordButton();
    Key(kVkB, false);
    EXPECT_EQ(m_editor.ActionCount(), 45) << "a press that could never be released gets no step";
    EXPECT_FALSE(m_recorder.Recording());
}

// Each set flag gets the event, however many are set; none set, nobody does.
TEST(HookEventRouting, EverySetFlagAndOnlyThoseGetTheEvent) {
    struct Targets final : HookEventTargets {
        void CaptureButtonKey(std::uint32_t code, std::uint32_t) override { Got("button", code); }
        void RecordMacroEvent(std::uint32_t code, std::uint32_t) override { Got("record", code); }
        void EditMacroKey(std::uint32_t code, std::uint32_t) override { Got("key", code); }
        void Got(const char* who, std::uint32_t code) { got.push_back(who + std::to_string(code)); }
        Strings got;
    } targets;
    RouteHookEvent({0, 0, 0}, targets, 1, 0);
    RouteHookEvent({1, 0, 0}, targets, 2, 0);
    RouteHookEvent({0, 1, 1}, targets, 3, 0);
    RouteHookEvent({2, 0, 0}, targets, 4, 0);  // only 1 means set
    EXPECT_EQ(targets.got, (Strings{"button2", "record3", "key3"}));
}

}  // namespace
}  // namespace veltrix
