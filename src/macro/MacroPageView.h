#pragma once

// What the macro editor asks of the macro page. The editor decides every text, row and state; the
// page only renders what it is told, translating text ids through the language file.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltrix {

// The picture in a row's key cell. A row re-rendered after a move draws the mouse picture in a
// larger frame than a full rebuild does.
enum class KeyPicture { Keyboard, Mouse, MouseAfterMove };

struct ActionRow {
    std::string_view keyTextId;
    KeyPicture keyPicture;
    std::string_view actionTextId;  // "key_down_action" or "key_up_action"
    bool bPress;                    // picks the arrow picture beside the action text
    std::uint16_t wShownDelay;      // shown in decimal
};

// The editor of the selected action: page 0 shows nothing, page 1 a keyboard action (key text and
// delay edit), page 2 a mouse action (button combo and delay edit).
struct ActionEditorState {
    int iPage = 0;
    std::string_view keyTextId{};  // page 1
    int iMouseComboIndex = 0;      // page 2
    std::uint16_t wDelay = 0;      // the delay edit of the page shown
    bool bDelayEnabled = false;
};

class MacroPageView {
  public:
    virtual ~MacroPageView() = default;

    // The name edit; empty when no macro is loaded.
    virtual void ShowMacroName(std::u16string_view name) = 0;

    // Replaces every row of the action list and repaints at once.
    virtual void ShowActionRows(std::span<const ActionRow> rows) = 0;
    // Marks a row as selected. The editor has already done what a selection does, so the page
    // must not report this selection back as the user's.
    virtual void SelectActionRow(int row) = 0;
    virtual void RemoveActionRow(int row) = 0;
    virtual void UpdateActionRow(int row, const ActionRow& content) = 0;
    virtual void ShowActionRowKey(int row, std::string_view keyTextId) = 0;
    virtual void ShowActionRowDelay(int row, std::uint16_t delay) = 0;

    virtual void ShowActionEditor(const ActionEditorState& state) = 0;
    // The key edit of the keyboard editor page.
    virtual void ShowEditedKey(std::string_view keyTextId) = 0;
    // The delay edit of the mouse editor page.
    virtual void ShowMouseActionDelay(std::uint16_t delay) = 0;
    virtual void UncheckActionEditBox() = 0;

    // Unsaved: the save/cancel bar in place of the import/export bar, the macro list disabled.
    // Both ways the action-edit box is cleared.
    virtual void ShowUnsavedState(bool unsaved) = 0;

    // The text of the default delay edit, as typed.
    virtual std::string DefaultDelayText() const = 0;

    virtual void ShowRecordButtonText(std::string_view textId) = 0;
    virtual void UncheckRecordButton() = 0;
    // A recording started or ended: the user can see from outside the window that one runs.
    virtual void ShowRecording(bool recording) = 0;
};

}  // namespace veltrix
