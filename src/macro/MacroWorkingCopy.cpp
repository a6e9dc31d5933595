#include "macro/MacroWorkingCopy.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/IntegerText.h"
#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

constexpr int kEditorNone = 0;
constexpr int kEditorKeyboard = 1;
constexpr int kEditorMouse = 2;

constexpr std::uint16_t kShortestSetDelay = 5;
constexpr int kLongestDelay = 65535;

ActionRow RowOf(const MacroAction& action, KeyPicture mousePicture, std::uint16_t shownDelay) {
    const bool press = action.byDirection == kDirectionPress;
    return ActionRow{
        .keyTextId = KeyTextId(action.byKeyCode),
        .keyPicture = IsMouseButtonKey(action.byKeyCode) ? mousePicture : KeyPicture::Keyboard,
        .actionTextId = press ? "key_down_action" : "key_up_action",
        .bPress = press,
        .wShownDelay = shownDelay,
    };
}

int ClickButtonIndexOf(std::uint8_t code) {
    const auto* found = std::find(kClickButtonCodes.begin(), kClickButtonCodes.end(), code);
    return static_cast<int>(found - kClickButtonCodes.begin());
}

}  // namespace

MacroWorkingCopy::MacroWorkingCopy(MacroStore& store, MacroPageView& view, TraceSink& trace)
    : m_store(store), m_view(view), m_trace(trace) {}

void MacroWorkingCopy::SelectMacro(int row) {
    m_iSelectedMacro = row;
    Load(row);
    m_trace.Trace("iActionIndex=" + std::to_string(iActionIndex) +
                  ", iNextActionIndex=" + std::to_string(iNextActionIndex) + "\r\n");
}

void MacroWorkingCopy::Load(int row) {
    m_pCurrentMacro = row >= 0 && row < m_store.Count() ? &m_store.At(row) : nullptr;
    m_iActionCount = 0;
    if (m_pCurrentMacro != nullptr) {
        m_aAction = m_pCurrentMacro->aAction;
        m_iActionCount = MacroActionCount(*m_pCurrentMacro);
    }
    if (m_iActionCount == 0) {
        iActionIndex = -1;
        iNextActionIndex = -1;
    }
    m_view.ShowMacroName(m_pCurrentMacro != nullptr ? FieldText(m_pCurrentMacro->szName)
                                                    : std::u16string_view());
    RebuildActionView();
}

void MacroWorkingCopy::RebuildActionView() {
    std::vector<ActionRow> rows;
    rows.reserve(static_cast<std::size_t>(m_iActionCount));
    for (const MacroAction& action : Actions()) {
        rows.push_back(RowOf(action, KeyPicture::Mouse, action.wDelay));
    }
    m_view.ShowActionRows(rows);
    if (m_bCancelling && m_iRecordStartPos >= 0) {
        SelectRow(m_iRecordStartPos);
    } else {
        SelectRow(m_bInsertMode ? m_iInsertPos - 1 : m_iActionCount - 1);
    }
}

// A row that does not exist leaves no step selected; the editor then never acts on a step the
// user cannot see.
void MacroWorkingCopy::SelectRow(int row) {
    if (HasRow(row)) {
        m_view.SelectActionRow(row);
        SelectAction(row);
    } else {
        iActionIndex = -1;
    }
}

void MacroWorkingCopy::SelectAction(int row) {
    if (!HasRow(row)) {
        return;
    }
    iActionIndex = row;
    if (m_bActionEdit) {
        ShowActionEditor();
    }
}

// After a move only the two rows are drawn again, and the row that is now last shows no delay:
// nothing follows the last step, so its delay never takes effect.
void MacroWorkingCopy::RenderMovedRow(int row) {
    const MacroAction& action = m_aAction[static_cast<std::size_t>(row)];
    const std::uint16_t shown = row == m_iActionCount - 1 ? 0 : action.wDelay;
    m_view.UpdateActionRow(row, RowOf(action, KeyPicture::MouseAfterMove, shown));
}

bool MacroWorkingCopy::InsertAction(const MacroAction& action) {
    if (m_iActionCount >= kMaxMacroActions) {
        return false;
    }
    // An insertion point left behind by earlier edits may lie past the end; it then appends.
    const int at = m_iInsertPos == -1 ? m_iActionCount : InRange(m_iInsertPos, 0, m_iActionCount);
    const auto begin = m_aAction.begin();
    std::copy_backward(begin + at, begin + m_iActionCount, begin + m_iActionCount + 1);
    m_aAction[static_cast<std::size_t>(at)] = action;
    ++m_iActionCount;
    ++iActionIndex;
    if (m_iInsertPos != -1) {
        m_iInsertPos = at + 1;  // consecutive insertions keep their order
    }
    return true;
}

MacroAction* MacroWorkingCopy::NewestAction() {
    const int row = m_iInsertPos != -1 ? m_iInsertPos - 1 : m_iActionCount - 1;
    return HasRow(row) ? &m_aAction[static_cast<std::size_t>(row)] : nullptr;
}

void MacroWorkingCopy::RemoveInsertedAction(int row) {
    if (!HasRow(row)) {
        return;
    }
    const auto begin = m_aAction.begin();
    std::copy(begin + row + 1, begin + m_iActionCount, begin + row);
    --m_iActionCount;
    m_aAction[static_cast<std::size_t>(m_iActionCount)] = MacroAction{};
    if (m_iInsertPos != -1 && row < m_iInsertPos) {
        --m_iInsertPos;
    }
}

void MacroWorkingCopy::DeleteAction() {
    const int row = iActionIndex;
    if (!HasRow(row)) {
        return;
    }
    const auto begin = m_aAction.begin();
    std::copy(begin + row + 1, begin + m_iActionCount, begin + row);
    --m_iActionCount;
    m_view.RemoveActionRow(row);
    if (m_iActionCount == 0) {
        iActionIndex = -1;
    }
    SelectRow(row < m_iActionCount ? row : m_iActionCount - 1);
    EnterUnsavedState();
}

void MacroWorkingCopy::MoveUp() {
    const int row = iActionIndex;
    if (row < 1 || !HasRow(row)) {
        return;
    }
    std::swap(m_aAction[static_cast<std::size_t>(row - 1)],
              m_aAction[static_cast<std::size_t>(row)]);
    EnterUnsavedState();
    RenderMovedRow(row - 1);
    RenderMovedRow(row);
    SelectRow(row - 1);
}

void MacroWorkingCopy::MoveDown() {
    const int row = iActionIndex;
    if (!HasRow(row) || row >= m_iActionCount - 1) {
        return;
    }
    std::swap(m_aAction[static_cast<std::size_t>(row)],
              m_aAction[static_cast<std::size_t>(row + 1)]);
    EnterUnsavedState();
    RenderMovedRow(row);
    RenderMovedRow(row + 1);
    SelectRow(row + 1);
}

void MacroWorkingCopy::Clear() {
    if (m_pCurrentMacro == nullptr) {
        return;
    }
    m_aAction.fill(MacroAction{});
    m_iActionCount = 0;
    m_bInsertMode = false;
    m_iInsertPos = -1;
    iActionIndex = -1;
    iNextActionIndex = -1;
    EnterUnsavedState();
    RebuildActionView();
}

void MacroWorkingCopy::InsertClick(int button) {
    if (m_pCurrentMacro == nullptr || button < 0 ||
        button >= static_cast<int>(kClickButtonCodes.size()) ||
        m_iActionCount + 2 > kMaxMacroActions) {
        return;
    }
    m_iInsertPos = iActionIndex + 1;
    m_bInsertMode = true;
    const std::uint16_t delay =
        m_delayMode == DelayMode::Default ? DelayFromDefaultDelayEdit() : kPlaceholderDelay;
    const std::uint8_t code = kClickButtonCodes[static_cast<std::size_t>(button)];
    InsertAction({code, kDirectionPress, delay});
    InsertAction({code, kDirectionRelease, delay});
    RebuildActionView();
    EnterUnsavedState();
    m_bInsertMode = false;
}

void MacroWorkingCopy::SetKey(std::uint32_t virtualKey) {
    const std::uint8_t code = KeyCodeFromVirtualKey(virtualKey).value_or(0);
    m_view.ShowEditedKey(KeyTextId(code));
    if (HasRow(iActionIndex)) {
        m_aAction[static_cast<std::size_t>(iActionIndex)].byKeyCode = code;
        m_view.ShowActionRowKey(iActionIndex, KeyTextId(code));
    }
}

void MacroWorkingCopy::SetMouseButton(int comboIndex) {
    if (comboIndex < 0 || comboIndex >= static_cast<int>(kClickButtonCodes.size())) {
        return;
    }
    const std::uint8_t code = kClickButtonCodes[static_cast<std::size_t>(comboIndex)];
    if (HasRow(iActionIndex)) {
        m_aAction[static_cast<std::size_t>(iActionIndex)].byKeyCode = code;
        m_view.ShowActionRowKey(iActionIndex, KeyTextId(code));
    }
}

void MacroWorkingCopy::SetDelay(DelayEdit edit, std::string_view text) {
    const int value = IntegerValueOfText(text);
    const auto delay =
        static_cast<std::uint16_t>(value <= 0 ? kShortestSetDelay : std::min(value, kLongestDelay));
    // The last step's delay never takes effect, so it is not editable.
    if (HasRow(iActionIndex) && iActionIndex < m_iActionCount - 1) {
        m_aAction[static_cast<std::size_t>(iActionIndex)].wDelay = delay;
        m_view.ShowActionRowDelay(iActionIndex, delay);
    }
    if (edit == DelayEdit::Mouse) {
        m_view.ShowMouseActionDelay(delay);
    }
}

void MacroWorkingCopy::SetActionEditFlag(bool checked) {
    m_bActionEdit = checked;
    if (iActionIndex < 0) {
        m_bActionEdit = false;
        m_view.UncheckActionEditBox();
        return;
    }
    EnterUnsavedState();
    ShowActionEditor();
}

void MacroWorkingCopy::ShowActionEditor() {
    if (!m_bActionEdit) {
        m_view.ShowActionEditor({.iPage = kEditorNone});
        return;
    }
    if (!HasRow(iActionIndex)) {
        return;
    }
    const MacroAction& action = m_aAction[static_cast<std::size_t>(iActionIndex)];
    const bool last = iActionIndex == m_iActionCount - 1;
    ActionEditorState state{
        .iPage = kEditorKeyboard,
        .wDelay = last ? std::uint16_t{0} : action.wDelay,
        .bDelayEnabled = !last,
    };
    if (IsMouseButtonKey(action.byKeyCode)) {
        state.iPage = kEditorMouse;
        state.iMouseComboIndex = ClickButtonIndexOf(action.byKeyCode);
    } else {
        state.keyTextId = KeyTextId(action.byKeyCode);
    }
    m_view.ShowActionEditor(state);
}

void MacroWorkingCopy::SetUnsaved(bool unsaved) {
    m_bUnsaved = unsaved;
    m_view.ShowUnsavedState(unsaved);
}

void MacroWorkingCopy::Cancel() {
    m_bCancelling = true;
    m_bActionEdit = false;
    LeaveUnsavedState();
    m_view.ShowActionEditor({.iPage = kEditorNone});
    if (m_iSelectedMacro >= 0) {
        Load(m_iSelectedMacro);
    }
    m_bCancelling = false;
}

// All 46 entries go in, not only the valid ones, so that a saved record is the working copy byte
// for byte.
void MacroWorkingCopy::WriteActionsIntoMacro() {
    m_pCurrentMacro->aAction = m_aAction;
    m_pCurrentMacro->iActionCount = m_iActionCount;
}

bool MacroWorkingCopy::Save() {
    const bool saved = m_pCurrentMacro != nullptr;
    if (saved) {
        WriteActionsIntoMacro();
    }
    m_bActionEdit = false;
    LeaveUnsavedState();
    m_view.ShowActionEditor({.iPage = kEditorNone});
    return saved;
}

RenameOutcome MacroWorkingCopy::Rename(std::u16string_view wanted) {
    if (m_pCurrentMacro == nullptr) {
        return RenameOutcome::NoMacro;
    }
    const std::u16string_view name = FitText(wanted, kMacroNameUnits - 1);
    const std::u16string_view current = FieldText(m_pCurrentMacro->szName);
    // A change of case alone is no new name: names are compared without regard to case.
    RenameOutcome outcome = RenameOutcome::Kept;
    if (!EqualIgnoringCase(name, current)) {
        outcome = m_store.HasName(name) ? RenameOutcome::Refused : RenameOutcome::Renamed;
    }
    if (outcome != RenameOutcome::Renamed) {
        m_view.ShowMacroName(current);
        return outcome;
    }
    SetFieldText(m_pCurrentMacro->szName, name);
    WriteActionsIntoMacro();
    return outcome;
}

int MacroWorkingCopy::EraseMacro(int row) {
    if (row < 0 || row >= m_store.Count()) {
        return m_iSelectedMacro;
    }
    m_store.Erase(row);
    // The record being edited may be gone: load away from it before anything else looks at it.
    const int next = std::min(row, m_store.Count() - 1);
    SelectMacro(next);
    return next;
}

void MacroWorkingCopy::PrepareRecordingBlock() {
    if (iActionIndex < 0) {
        m_aAction.fill(MacroAction{});
        m_iActionCount = 0;
        m_iInsertPos = -1;
        m_iRecordStartPos = -1;
        m_bInsertMode = false;
    } else {
        m_bInsertMode = true;
        m_iInsertPos = iActionIndex + 1;
        m_iRecordStartPos = m_iInsertPos;
    }
}

// The text is clamped to 0-65535: a value past the 16 bits of a delay means the longest delay,
// not the value's low 16 bits (a typed 65536 must not become a delay of 0), and a negative one
// means no delay.
std::uint16_t MacroWorkingCopy::DelayFromDefaultDelayEdit() const {
    return static_cast<std::uint16_t>(
        InRange(IntegerValueOfText(m_view.DefaultDelayText()), 0, kLongestDelay));
}

std::uint16_t MacroWorkingCopy::ReadDefaultDelay() {
    m_wDefaultDelay = DelayFromDefaultDelayEdit();
    return m_wDefaultDelay;
}

}  // namespace veltrix
