#include "macro/MacroRecorder.h"

#include <algorithm>
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

MacroRecorder::MacroRecorder(MacroLibrary& library, MacroPageView& view, TraceSink& trace,
                             HookLibrary& hooks, CaptureTargetFlags& captureFlags,
                             const VeltrixWindowHandle& mainWindow, const Clock& clock,
                             HookRepeatFilter& repeatFilter)
    : m_library(library),
      m_editor(library.Editor()),
      m_view(view),
      m_trace(trace),
      m_hooks(hooks),
      m_captureFlags(captureFlags),
      m_mainWindow(mainWindow),
      m_clock(clock),
      m_repeatFilter(repeatFilter),
      m_keyEdit(hooks, captureFlags, &CaptureTargetFlags::byMacroKeyEdit, mainWindow) {}

void MacroRecorder::OnRecordButton(std::uint8_t byInput) {
    if (m_editor.CurrentMacro() == nullptr) {
        m_library.Create();
    }
    if (m_bRecording) {
        StopRecording(byInput);
        return;
    }
    m_editor.PrepareRecordingBlock();
    StartRecording();
}

void MacroRecorder::StartRecording() {
    m_keyEdit.End();
    m_captureFlags.Clear();
    m_captureFlags.byMacroRecording = 1;
    m_bRecording = true;
    m_bHasPreviousEvent = false;
    m_abHeld.fill(false);
    // An event of an earlier recording, or of none, is no repeat of this recording's first.
    m_repeatFilter = HookRepeatFilter();
    m_iBlockStart = BlockEnd();
    m_view.ShowRecordButtonText("stop_recording_text");
    m_view.ShowRecording(true);
    m_editor.ReadDefaultDelay();
    // The hooks see only what happens from now on, so the click or key that started the
    // recording is at most a release, which has no press in it.
    m_hooks.installhook(m_mainWindow);
    m_hooks.installmousehook(m_mainWindow);
    m_hooks.enablehook(1);
    m_hooks.enablemousehook(1);
    m_hooks.mousewheelenable(0);
    m_editor.EnterUnsavedState();
    // The pause before the first event is not recorded; this only starts the clock.
    m_lastEventTime = m_clock.Now();
}

void MacroRecorder::StopRecording(std::uint8_t byStopInput) {
    if (!m_bRecording) {
        return;
    }
    m_bRecording = false;
    veltrix::EndCapture(m_hooks, m_captureFlags);
    DropUnfinishedSteps(byStopInput);
    m_view.ShowRecordButtonText("start_recording_text");
    m_view.UncheckRecordButton();
    m_view.ShowRecording(false);
    m_bHasPreviousEvent = false;
    m_editor.RebuildActionView();
}

int MacroRecorder::BlockEnd() const {
    return m_editor.InsertPos() != -1 ? m_editor.InsertPos() : m_editor.ActionCount();
}

void MacroRecorder::RemoveRecordedStep(int row) {
    const MacroAction* removed = m_editor.ActionAt(row);
    MacroAction* before = row > m_iBlockStart ? m_editor.ActionAt(row - 1) : nullptr;
    if (removed == nullptr) {
        return;
    }
    if (before != nullptr) {
        if (row + 1 == BlockEnd()) {
            before->wDelay = kPlaceholderDelay;  // the last step of a recording
        } else if (m_editor.CurrentDelayMode() == DelayMode::Recorded) {
            before->wDelay =
                static_cast<std::uint16_t>(std::min<int>(before->wDelay + removed->wDelay, 65535));
        }
    }
    m_editor.RemoveInsertedAction(row);
}

// The hook and the window see the same click or key, each on its own way to the page, so the
// input that stopped the recording may have arrived whole before the stop or only in part: either
// way it leaves no step. A press still held gets no step, so a macro never holds a key down.
void MacroRecorder::DropUnfinishedSteps(std::uint8_t byStopInput) {
    if (byStopInput != 0 && !m_abHeld[byStopInput]) {
        const int end = BlockEnd();
        const MacroAction* last = m_editor.ActionAt(end - 1);
        const MacroAction* press = m_editor.ActionAt(end - 2);
        if (end - 2 >= m_iBlockStart && last != nullptr && press != nullptr &&
            last->byKeyCode == byStopInput && last->byDirection == kDirectionRelease &&
            press->byKeyCode == byStopInput && press->byDirection == kDirectionPress) {
            RemoveRecordedStep(end - 1);
            RemoveRecordedStep(end - 2);
        }
    }
    for (int row = BlockEnd() - 1; row >= m_iBlockStart; --row) {
        const MacroAction* action = m_editor.ActionAt(row);
        if (action != nullptr && action->byDirection == kDirectionPress &&
            m_abHeld[action->byKeyCode]) {
            m_abHeld[action->byKeyCode] = false;
            RemoveRecordedStep(row);
        }
    }
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
    bool& held = m_abHeld[action.byKeyCode];
    if (action.byDirection == kDirectionPress ? held : !held) {
        return;  // a repeat of a held key, or a release of a press before the start
    }
    held = action.byDirection == kDirectionPress;
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
        held = false;
        StopRecording();
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
        return;
    }
    m_editor.RebuildActionView();
}

void MacroRecorder::StartKeyEdit() {
    StopRecording();
    m_keyEdit.Arm();
    m_view.ShowEditedKey("press_a_key_text");
}

void MacroRecorder::EndKeyEdit() {
    if (m_keyEdit.Armed()) {
        m_keyEdit.End();
        if (const MacroAction* step = m_editor.ActionAt(m_editor.ActionIndex())) {
            m_view.ShowEditedKey(KeyTextId(step->byKeyCode));
        }
    }
}

void MacroRecorder::KeyEditEvent(std::uint32_t virtualKey, std::uint32_t flag) {
    if (const std::optional<std::uint32_t> key = m_keyEdit.Take(virtualKey, flag)) {
        m_editor.SetKey(*key);
    }
}

void MacroRecorder::EndCapture() {
    StopRecording();
    EndKeyEdit();
}

}  // namespace veltrix
