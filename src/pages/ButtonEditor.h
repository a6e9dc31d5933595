#pragma once

// The button page's rules. One of the twelve buttons of the current profile is edited at a time,
// in a working copy of its entry; Apply writes the copy back and asks for the buttons to be sent
// to the mouse, Cancel throws it away. The page reports the user's actions to the operations
// below and renders what they report back through ButtonPageView.
//
// The page's lists behave as if the user had made every selection: when the editor moves a list
// to another item, the item's handler runs at once, exactly as for the user's choice, while moving
// it to none, or to the item it already shows, runs nothing. The editor keeps each list's
// selection itself, so the page shows selections without reporting them and forwards only the
// user's own changes.

#include <array>
#include <cstdint>
#include <string_view>

#include "macro/MacroStore.h"
#include "pages/ButtonPageView.h"
#include "platform/HookLibrary.h"
#include "platform/KeyCapture.h"
#include "platform/KeyLayout.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

class ButtonEditor {
  public:
    // mainWindow receives the apply requests and the hook events; lookupScanCode describes the
    // active keyboard layout for key capture.
    ButtonEditor(ProfileSettings& settings, MacroStore& store, ButtonPageView& view,
                 HookLibrary& hooks, CaptureTargetFlags& captureFlags,
                 const VeltrixWindowHandle& mainWindow,
                 ScanCodeLookup lookupScanCode = ActiveLayoutScanCode);

    // The user chose button `button` (0 to 11): starts editing it. A disabled button cannot be
    // chosen.
    void SelectButton(int button);

    // The user selected item `item` of a list; for the category list, item t is category t.
    // Selecting the item that is already selected does nothing.
    void ChooseFunction(ButtonList list, int item);

    // The key field of the keyboard function was activated (it took the focus, was clicked, or
    // Space or Enter was pressed on it): it waits for one key.
    void ArmKeyCapture();
    // The key field lost the focus, the page or the window went away: it stops waiting.
    void EndKeyCapture();
    bool KeyCaptureArmed() const { return m_keyCapture.Armed(); }
    // A key event from the hook (flag 0 a press) while the button-capture flag is set.
    void CaptureKey(std::uint32_t virtualKey, std::uint32_t flag);
    // Whether a key press the window sees in the key field belongs to the capture (see
    // KeyCapture::OwnsKeyPress), and a key release there.
    bool KeyFieldOwnsKeyPress() const { return m_keyCapture.OwnsKeyPress(); }
    void KeyFieldKeyReleased() { m_keyCapture.KeyReleased(); }
    // Escape in the editing panel: Cancel, unless the key field is waiting for a key, which Escape
    // then is.
    void OnEscape();

    // The repeat-count edit lost the focus with this text.
    void CommitRepeatCount(std::string_view text);

    // Apply: writes the working copy into the profile that is current now and asks for the
    // buttons to be sent.
    void ApplyButton();
    // Cancel, and the end of every edit: back to no button being edited.
    void ResetSelection();

    // The pointer entered or left a button.
    void PointerEnteredButton(int button);
    void PointerLeftButton(int button);

    // Enables the buttons, except the only one that holds left click: it cannot be chosen, so it
    // cannot lose its left click.
    void GuardLastLeftClick();
    // Label and tooltip of a button from its entry in the current profile.
    void RefreshButtonLabel(int button);
    // The guard and all twelve labels, after the macros changed the entries. An edit in progress
    // goes on.
    void RefreshButtons();
    // The current profile changed under the page (a profile switch, an import, a reset): an open
    // edit belongs to the profile it began in, so it closes as Cancel does; then the buttons show
    // the new profile.
    void Reload();
    // The macro list again, after the macro store changed.
    void FillMacroList();
    // A macro got a new name: a pick of it in the open edit follows it.
    void RenameMacro(std::u16string_view oldName, std::u16string_view newName);

    // The button being edited; -1 when none is.
    int SelectedButton() const { return m_iSelButton; }
    const ButtonEntry& WorkingCopy() const { return m_Edit; }

  private:
    bool Editing() const { return m_iSelButton >= 0; }
    int ItemCount(ButtonList list) const;
    // Moves a list's selection as the program does; runs the item's handler when it changed.
    void SetListSelection(ButtonList list, int item);
    void RunListHandler(ButtonList list, int item);
    void ChooseCategory(int category);
    void ShowFunctionList(int category);
    void ShowMacroChoice();
    void ChooseMacro(int item);
    void ShowKeyOfWorkingCopy();
    void ApplyGuard();
    void KeepOtherButtonsDisabled();
    void EnableButton(int button, bool enabled);

    ProfileSettings& m_settings;
    MacroStore& m_store;
    ButtonPageView& m_view;
    VeltrixWindowHandle m_mainWindow;
    ScanCodeLookup m_lookupScanCode;
    KeyCapture m_keyCapture;

    int m_iSelButton = -1;
    ButtonEntry m_Edit{};
    std::array<bool, kShownButtonCount> m_abKeepMark{};
    std::array<bool, kShownButtonCount> m_abEnabled{};
    std::array<int, kButtonListCount> m_aiSelection{};
    int m_iMacroItemCount = 0;
};

}  // namespace veltrix
