#pragma once

// Recording turns the user's real key strokes and mouse-button clicks, reported by the input hooks,
// into steps of the macro being edited, with the pauses between them as delays. The same hook
// path lets one key press become the key of the selected step (the key edit).

#include <array>
#include <chrono>
#include <cstdint>

#include "macro/HookRepeatFilter.h"
#include "macro/MacroLibrary.h"
#include "macro/MacroPageView.h"
#include "macro/MacroWorkingCopy.h"
#include "platform/Clock.h"
#include "platform/HookLibrary.h"
#include "platform/KeyCapture.h"
#include "platform/TraceSink.h"
#include "platform/window_handle.h"

namespace veltrix {

// The key code and direction of a hook event (the delay is left 0). A key the vocabulary does not
// know gets key code 0.
MacroAction TranslateHookEvent(std::uint32_t code, std::uint32_t flag);

class MacroRecorder {
  public:
    // mainWindow is the window that the hooks report to, and its flags route the events. A
    // recording started with no macro selected records into a new one of `library`.
    MacroRecorder(MacroLibrary& library, MacroPageView& view, TraceSink& trace, HookLibrary& hooks,
                  CaptureTargetFlags& captureFlags, const VeltrixWindowHandle& mainWindow,
                  const Clock& clock, HookRepeatFilter& repeatFilter);

    // The record button was toggled: starts, or stops a running recording. `byInput` is the key
    // code (mouse buttons included) of the click or key that toggled it, 0 when unknown: the
    // input that stops a recording is no part of it.
    void OnRecordButton(std::uint8_t byInput = 0);
    void StartRecording();
    void StopRecording(std::uint8_t byStopInput = 0);
    bool Recording() const { return m_bRecording; }

    // A hook event while the macro recording flag is set. A recording keeps every press and
    // release it sees whole: a release whose press came before the start is dropped, and so is
    // a press that is still held when the recording stops.
    void RecordEvent(std::uint32_t code, std::uint32_t flag);

    // The key edit of the selected step: armed when the user activates it, it takes one key press.
    void StartKeyEdit();
    void EndKeyEdit();
    // A key event from the hook while the macro key edit flag is set.
    void KeyEditEvent(std::uint32_t virtualKey, std::uint32_t flag);
    const KeyCapture& KeyEdit() const { return m_keyEdit; }
    KeyCapture& KeyEdit() { return m_keyEdit; }

    // Every capture of the page ends: a running recording stops as its record button would stop
    // it, and the key edit stops waiting.
    void EndCapture();

  private:
    std::uint16_t DelayOfPause(std::chrono::nanoseconds now) const;
    // Where the steps of the running recording end, one past its newest.
    int BlockEnd() const;
    // Removes step `row` of this recording; the pause it waited stays with the step before it.
    void RemoveRecordedStep(int row);
    void DropUnfinishedSteps(std::uint8_t byStopInput);

    MacroLibrary& m_library;
    MacroWorkingCopy& m_editor;
    MacroPageView& m_view;
    TraceSink& m_trace;
    HookLibrary& m_hooks;
    CaptureTargetFlags& m_captureFlags;
    VeltrixWindowHandle m_mainWindow;
    const Clock& m_clock;
    HookRepeatFilter& m_repeatFilter;

    KeyCapture m_keyEdit;
    bool m_bRecording = false;
    int m_iBlockStart = 0;             // the first step of the running recording
    std::array<bool, 256> m_abHeld{};  // by key code: pressed during this recording

    bool m_bHasPreviousEvent = false;  // the next event closes the delay of the step before it
    std::chrono::nanoseconds m_lastEventTime{0};
};

}  // namespace veltrix
