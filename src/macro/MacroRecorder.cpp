#include "macro/MacroRecorder.h"

#include <string>

#include "platform/Messages.h"
#include "profile/RecordAccess.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

struct MouseMessage {
    std::uint32_t code;
    std::uint8_t byKeyCode;
    std::uint8_t byDirection;
};

constexpr MouseMessage kMouseMessages[] = {
    {kHookLeftButtonDown, kKeyLeftButton, kDirectionPress},
    {kHookLeftButtonUp, kKeyLeftButton, kDirectionRelease},
    {kHookRightButtonDown, kKeyRightButton, kDirectionPress},
    {kHookRightButtonUp, kKeyRightButton, kDirectionRelease},
    {kHookMiddleButtonDown, kKeyMiddleButton, kDirectionPress},
    {kHookMiddleButtonUp, kKeyMiddleButton, kDirectionRelease},
};

}  // namespace

MacroAction TranslateHookEvent(std::uint32_t code, std::uint32_t flag) {
    for (const MouseMessage& message : kMouseMessages) {
        if (message.code == code) {
            return {message.byKeyCode, message.byDirection, 0};
        }
    }
    if ((code == kHookExtraButtonDown || code == kHookExtraButtonUp) &&
        (flag == kHookExtraButton1 || flag == kHookExtraButton2)) {
        return {flag == kHookExtraButton1 ? kKeyForwardButton : kKeyBackwardButton,
                code == kHookExtraButtonDown ? kDirectionPress : kDirectionRelease, 0};
    }
    return {KeyCodeFromVirtualKey(code).value_or(0),
            flag == 0 ? kDirectionPress : kDirectionRelease, 0};
}

MacroRecorder::MacroRecorder(MacroWorkingCopy& editor, MacroPageView& view, TraceSink& trace,
                             HookLibrary& hooks, CaptureTargetFlags& captureFlags,
                             const VeltrixWindowHandle& mainWindow, const Clock& clock,
                             HookRepeatFilter& repeatFilter)
    : m_editor(editor),
      m_view(view),
      m_trace(trace),
      m_hooks(hooks),
      m_captureFlags(captureFlags),
      m_mainWindow(mainWindow),
      m_clock(clock),
      m_repeatFilter(repeatFilter) {}

void MacroRecorder::OnRecordButton() {
    if (m_editor.CurrentMacro() == nullptr) {
        m_view.CreateMacro();
    }
    if (m_bRecording) {
        StopRecording();
        return;
    }
    m_editor.PrepareRecordingBlock();
    StartRecording();
}

void MacroRecorder::StartRecording() {
    m_captureFlags.Clear();
    m_captureFlags.byMacroRecording = 1;
    m_bRecording = true;
    m_bHasPreviousEvent = false;
    m_view.ShowRecordButtonText("stop_recording_text");
    m_editor.ReadDefaultDelay();
    m_hooks.installhook(m_mainWindow);
    m_hooks.installmousehook(m_mainWindow);
    m_hooks.enablehook(1);
    m_hooks.mousewheelenable(0);
    m_editor.EnterUnsavedState();
    // The pause before the first event is not recorded; this only starts the clock.
    m_lastEventTime = m_clock.Now();
}

void MacroRecorder::StopRecording() {
    m_view.ShowRecordButtonText("start_recording_text");
    m_bRecording = false;
    m_view.UncheckRecordButton();
    m_hooks.removehook();
    m_hooks.removemousehook();
    m_hooks.enablemousehook(0);
    m_hooks.enablehook(0);
    m_hooks.mousewheelenable(0);
    m_bHasPreviousEvent = false;
}

// Milliseconds rounded to the nearest, halves up, from whole microseconds; a pause longer than a
// delay can hold gives the longest delay.
std::uint16_t MacroRecorder::DelayOfPause(std::chrono::nanoseconds now) const {
    switch (m_editor.CurrentDelayMode()) {
        case DelayMode::Recorded: {
            const auto micros =
                std::chrono::duration_cast<std::chrono::microseconds>(now - m_lastEventTime);
            return static_cast<std::uint16_t>(InRange((micros.count() + 500) / 1000, 0, 65535));
        }
        case DelayMode::Default:
            return m_editor.DefaultDelay();
        case DelayMode::None:
            break;
    }
    return kPlaceholderDelay;
}

void MacroRecorder::RecordEvent(std::uint32_t code, std::uint32_t flag) {
    // The filter sees every event, recording or not, so that it always knows the last one.
    if (!m_repeatFilter.Pass(code, flag)) {
        return;
    }
    MacroAction action = TranslateHookEvent(code, flag);
    if (!m_bRecording) {
        return;
    }
    const std::chrono::nanoseconds now = m_clock.Now();
    // Only a step of this recording takes the pause as its delay. Recording in insert mode goes
    // in after the selected step, and that step keeps the delay the user gave it: the pause
    // before the first recorded event is the user's reaching for the keys, not part of the macro.
    if (m_bHasPreviousEvent) {
        if (MacroAction* previous = m_editor.NewestAction()) {
            previous->wDelay = DelayOfPause(now);
        }
    }
    m_trace.Trace("m_iInsertPosTmp1 = " + std::to_string(m_editor.InsertPos()) + "\r\n");
    if (m_editor.ActionCount() >= kMaxMacroActions) {
        StopRecording();
        m_editor.RebuildActionView();
        return;
    }
    // The newest step waits with a short placeholder until the next event gives it its real
    // delay; the last step of a recording keeps it.
    action.wDelay = kPlaceholderDelay;
    m_editor.InsertAction(action);
    m_trace.Trace("m_iInsertPosTmp2 = " + std::to_string(m_editor.InsertPos()) + "\r\n");
    m_lastEventTime = now;
    m_bHasPreviousEvent = true;
    if (m_editor.ActionCount() >= kMaxMacroActions) {
        StopRecording();
    }
    m_editor.RebuildActionView();
}

void MacroRecorder::PointerEnteredRecordButton() {
    if (m_bRecording) {
        m_hooks.enablemousehook(0);
    }
}

void MacroRecorder::PointerLeftRecordButton() {
    if (m_bRecording) {
        m_hooks.enablemousehook(1);
    }
}

void MacroRecorder::StartKeyEdit() {
    m_captureFlags.Clear();
    m_captureFlags.byMacroKeyEdit = 1;
    m_hooks.installhook(m_mainWindow);
    m_hooks.enablehook(1);
}

void MacroRecorder::EndKeyEdit() {
    m_hooks.removehook();
    m_hooks.enablehook(0);
}

}  // namespace veltrix
