#pragma once

// The macro page's working copy of the macro being edited. Every edit of the action list acts
// here; the store's record changes only when the user saves. The page reports its events to the
// operations below and renders what they report back through MacroPageView.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "macro/MacroPageView.h"
#include "macro/MacroStore.h"
#include "platform/TraceSink.h"

namespace veltrix {

// The five mouse buttons in the order of the page's click buttons and of its button combo. The
// fourth is forward and the fifth backward, the reverse of their code order.
inline constexpr std::array<std::uint8_t, 5> kClickButtonCodes = {241, 242, 243, 245, 244};

// How recorded steps and inserted clicks get their delays.
enum class DelayMode : std::int32_t { Recorded = 0, Default = 1, None = 2 };

enum class DelayEdit { Keyboard, Mouse };

// What a rename came to.
enum class RenameOutcome {
    NoMacro,  // nothing is being edited
    Kept,     // the same name, at most in another case: the name stays as it was
    Refused,  // another macro has that name
    Renamed,  // the macro has the new name, and the working steps were written into it too
};

// The delay that a step gets when no real pause is known.
inline constexpr std::uint16_t kPlaceholderDelay = 2;

class MacroWorkingCopy {
  public:
    MacroWorkingCopy(MacroStore& store, MacroPageView& view, TraceSink& trace);

    // Row `row` of the macro list was selected: loads that macro.
    void SelectMacro(int row);
    // Replaces the working copy with the macro at `row` of the store; no macro when there is no
    // such row. A macro erased from the store must be loaded away from before anything else runs.
    void Load(int row);

    // A row of the action list was selected.
    void SelectAction(int row);
    void DeleteAction();
    void MoveUp();
    void MoveDown();
    void Clear();
    // A click of the mouse button with index `button` of kClickButtonCodes, in after the
    // selected step (at the top when none is).
    void InsertClick(int button);
    // The key of the selected step becomes the key of a captured virtual key.
    void SetKey(std::uint32_t virtualKey);
    // The selected step gets the mouse button of index `comboIndex` of kClickButtonCodes.
    void SetMouseButton(int comboIndex);
    // A delay edit lost the focus with this text.
    void SetDelay(DelayEdit edit, std::string_view text);
    void SetDelayMode(DelayMode mode) { m_delayMode = mode; }
    // The action-edit box was ticked or cleared.
    void SetActionEditFlag(bool checked);
    void ShowActionEditor();
    void EnterUnsavedState() { SetUnsaved(true); }
    void LeaveUnsavedState() { SetUnsaved(false); }
    // Throws the edits away by loading the selected macro again.
    void Cancel();
    // The current macro takes the working steps, and the page leaves the unsaved state with the
    // editor closed. False when there was no macro to write into; the caller then has nothing to
    // save to the store's file.
    bool Save();
    // The name edit lost the focus with this text. A refused or unchanged name is shown again in
    // the edit; a new one is cut to fit the name field.
    RenameOutcome Rename(std::u16string_view wanted);
    // Erases the macro at `row` of the store and selects the row that takes its place (the one
    // before it when it was the last), which loads that macro; nothing is loaded when the store
    // is now empty. Returns the row now selected, -1 for none.
    int EraseMacro(int row);

    // Used by recording.
    // Inserts at the insertion point, or appends when there is none; false when the list is full.
    bool InsertAction(const MacroAction& action);
    // The step that the latest insertion put in; null when there is none.
    MacroAction* NewestAction();
    // Takes step `row` out again; later insertions still go where they would have.
    void RemoveInsertedAction(int row);
    MacroAction* ActionAt(int row) {
        return HasRow(row) ? &m_aAction[static_cast<std::size_t>(row)] : nullptr;
    }
    void RebuildActionView();
    // A recording replaces the whole list when no step is selected, and otherwise goes in after
    // the selected one.
    void PrepareRecordingBlock();
    // Takes the default delay from its edit.
    std::uint16_t ReadDefaultDelay();

    const MacroRecord* CurrentMacro() const { return m_pCurrentMacro; }
    int SelectedMacro() const { return m_iSelectedMacro; }
    std::span<const MacroAction> Actions() const {
        return std::span(m_aAction).first(static_cast<std::size_t>(m_iActionCount));
    }
    int ActionCount() const { return m_iActionCount; }
    int ActionIndex() const { return iActionIndex; }
    int InsertPos() const { return m_iInsertPos; }
    bool Unsaved() const { return m_bUnsaved; }
    DelayMode CurrentDelayMode() const { return m_delayMode; }
    std::uint16_t DefaultDelay() const { return m_wDefaultDelay; }

  private:
    bool HasRow(int row) const { return row >= 0 && row < m_iActionCount; }
    void SelectRow(int row);
    void RenderMovedRow(int row);
    void SetUnsaved(bool unsaved);
    void WriteActionsIntoMacro();
    std::uint16_t DelayFromDefaultDelayEdit() const;

    MacroStore& m_store;
    MacroPageView& m_view;
    TraceSink& m_trace;

    MacroRecord* m_pCurrentMacro = nullptr;
    int m_iSelectedMacro = -1;
    std::array<MacroAction, kMaxMacroActions> m_aAction{};
    int m_iActionCount = 0;
    int m_iRecordStartPos = -1;
    bool m_bInsertMode = false;  // decides which row a rebuild selects
    std::uint16_t m_wDefaultDelay = 10;
    DelayMode m_delayMode = DelayMode::Default;
    int iActionIndex = -1;
    int iNextActionIndex = -1;  // never moves; only traced
    bool m_bActionEdit = false;
    int m_iInsertPos = -1;  // where the next insertion goes; -1 appends
    bool m_bCancelling = false;
    bool m_bUnsaved = false;
};

}  // namespace veltrix
