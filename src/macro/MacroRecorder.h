#pragma once

// Recording turns the user's real key strokes and mouse-button clicks, reported by the input hooks,
// into steps of the macro being edited, with the pauses between them as delays. The same hook
// path lets one key press become the key of the selected step (the key edit).

#include <chrono>
#include <cstdint>

#include "macro/HookRepeatFilter.h"
#include "macro/MacroPageView.h"
#include "macro/MacroWorkingCopy.h"
#include "platform/Clock.h"
#include "platform/HookLibrary.h"
#include "platform/TraceSink.h"
#include "platform/window_handle.h"

namespace veltrix {

// The key code and direction of a hook event (the delay is left 0). A key the vocabulary does not
// know gets key code 0.
MacroAction TranslateHookEvent(std::uint32_t code, std::uint32_t flag);

class MacroRecorder {
  public:
    // mainWindow is the window that the hooks report to, and its flags route the events.
    MacroRecorder(MacroWorkingCopy& editor, MacroPageView& view, TraceSink& trace,
                  HookLibrary& hooks, CaptureTargetFlags& captureFlags,
                  const VeltrixWindowHandle& mainWindow, const Clock& clock,
                  HookRepeatFilter& repeatFilter);

    // The record button was clicked: starts, or stops a running recording.
    void OnRecordButton();
    void StartRecording();
    void StopRecording();
    bool Recording() const { return m_bRecording; }

    // A hook event while the macro recording flag is set.
    void RecordEvent(std::uint32_t code, std::uint32_t flag);

    // The click that stops a recording must not be recorded, so the mouse reports pause while
    // the pointer is over the record button.
    void PointerEnteredRecordButton();
    void PointerLeftRecordButton();

    // The key edit of the selected step gains and loses the focus.
    void StartKeyEdit();
    void EndKeyEdit();

  private:
    std::uint16_t DelayOfPause(std::chrono::nanoseconds now) const;

    MacroWorkingCopy& m_editor;
    MacroPageView& m_view;
    TraceSink& m_trace;
    HookLibrary& m_hooks;
    CaptureTargetFlags& m_captureFlags;
    VeltrixWindowHandle m_mainWindow;
    const Clock& m_clock;
    HookRepeatFilter& m_repeatFilter;

    bool m_bRecording = false;
    bool m_bHasPreviousEvent = false;  // the next event closes the delay of the step before it
    std::chrono::nanoseconds m_lastEventTime{0};
};

}  // namespace veltrix
