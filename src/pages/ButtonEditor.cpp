#include "pages/ButtonEditor.h"

#include <optional>
#include <utility>
#include <vector>

#include "macro/MacroSync.h"
#include "platform/IntegerText.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

constexpr std::uint8_t kFuncLeftClick = 1;
constexpr int kFewestRepeats = 1;
constexpr int kMostRepeats = 255;

// The lists that offer the functions of one category each.
constexpr std::pair<ButtonList, FunctionCategory> kFunctionLists[] = {
    {ButtonList::Mouse, FunctionCategory::Mouse},
    {ButtonList::Dpi, FunctionCategory::Dpi},
    {ButtonList::Profile, FunctionCategory::Profile},
    {ButtonList::Media, FunctionCategory::Media},
    {ButtonList::System, FunctionCategory::System},
    {ButtonList::Shortcut, FunctionCategory::Shortcut},
};

std::optional<FunctionCategory> CategoryOfList(ButtonList list) {
    for (const auto& [candidate, category] : kFunctionLists) {
        if (candidate == list) {
            return category;
        }
    }
    return std::nullopt;
}

std::optional<ButtonList> ListOfCategory(int category) {
    for (const auto& [list, candidate] : kFunctionLists) {
        if (static_cast<int>(candidate) == category) {
            return list;
        }
    }
    return std::nullopt;
}

int FunctionListLength(FunctionCategory category) {
    int length = 0;
    while (ListCodeAt(category, length).has_value()) {
        ++length;
    }
    return length;
}

bool IsButton(int button) {
    return button >= 0 && button < kShownButtonCount;
}

std::size_t Index(int button) {
    return static_cast<std::size_t>(button);
}

std::size_t Index(ButtonList list) {
    return static_cast<std::size_t>(list);
}

}  // namespace

ButtonEditor::ButtonEditor(ProfileSettings& settings, MacroStore& store, ButtonPageView& view,
                           HookLibrary& hooks, CaptureTargetFlags& captureFlags,
                           const VeltrixWindowHandle& mainWindow, ScanCodeLookup lookupScanCode)
    : m_settings(settings),
      m_store(store),
      m_view(view),
      m_mainWindow(mainWindow),
      m_lookupScanCode(std::move(lookupScanCode)),
      m_keyCapture(hooks, captureFlags, &CaptureTargetFlags::byButtonCapture, mainWindow) {
    m_abEnabled.fill(true);
    m_aiSelection.fill(-1);
}

int ButtonEditor::ItemCount(ButtonList list) const {
    switch (list) {
        case ButtonList::Category:
            return kCategoryCount;
        case ButtonList::Macro:
            return m_iMacroItemCount;
        case ButtonList::Repeat:
            return kRepeatModeCount;
        default:
            return FunctionListLength(*CategoryOfList(list));
    }
}

void ButtonEditor::SelectButton(int button) {
    if (!IsButton(button) || !m_abEnabled[Index(button)]) {
        return;
    }
    EndKeyCapture();
    m_iSelButton = button;
    m_abKeepMark.fill(false);
    m_abKeepMark[Index(button)] = true;
    KeepOtherButtonsDisabled();
    m_view.ShowButtonChecked(button, true);
    m_view.ShowListTextAsTooltip(ButtonList::Category);
    for (int other = 0; other < kShownButtonCount; ++other) {
        m_view.ShowKeyMark(other, other == button);
    }
    m_view.ShowFunctionPanel(true);
    m_Edit = CurrentProfile(m_settings).aButton[Index(button)];

    const int category = m_Edit.byFuncType;
    if (category >= kCategoryCount) {
        // A category that no list offers (a damaged file): no category is shown rather than the
        // one of the previous button, and the entry stays as it is until the user picks one.
        m_view.ShowCategoryTab(static_cast<int>(FunctionCategory::Default));
        SetListSelection(ButtonList::Category, -1);
        return;
    }
    m_view.ShowCategoryTab(category);
    SetListSelection(ButtonList::Category, category);
    switch (static_cast<FunctionCategory>(category)) {
        case FunctionCategory::Default:
            break;
        case FunctionCategory::Keyboard:
            ShowKeyOfWorkingCopy();
            break;
        case FunctionCategory::Macro:
            ShowMacroChoice();
            break;
        default:
            ShowFunctionList(category);
            break;
    }
}

void ButtonEditor::SetListSelection(ButtonList list, int item) {
    if (item < 0 || item >= ItemCount(list)) {
        item = -1;
    }
    int& selected = m_aiSelection[Index(list)];
    if (item == selected) {
        return;
    }
    selected = item;
    m_view.ShowListSelection(list, item);
    if (item >= 0) {
        RunListHandler(list, item);
    }
}

void ButtonEditor::ChooseFunction(ButtonList list, int item) {
    int& selected = m_aiSelection[Index(list)];
    if (item < 0 || item >= ItemCount(list) || item == selected) {
        return;
    }
    selected = item;
    RunListHandler(list, item);
}

void ButtonEditor::RunListHandler(ButtonList list, int item) {
    // The lists live in the editing panel; without a button there is nothing to change.
    if (!Editing()) {
        return;
    }
    switch (list) {
        case ButtonList::Category:
            m_view.ShowCategoryTab(item);
            ChooseCategory(item);
            break;
        case ButtonList::Macro:
            if (item >= m_store.Count()) {
                return;
            }
            ChooseMacro(item);
            break;
        case ButtonList::Repeat:
            m_Edit.iMacroRepeatMode = item;
            m_view.ShowLoopRow(item == 0);
            break;
        default: {
            const FunctionCategory category = *CategoryOfList(list);
            m_Edit.byFuncType = static_cast<std::uint8_t>(category);
            m_Edit.byFuncCode = *ListCodeAt(category, item);
            break;
        }
    }
    m_view.ShowListTextAsTooltip(list);
}

void ButtonEditor::ChooseCategory(int category) {
    EndKeyCapture();
    if (const std::optional<ButtonList> list = ListOfCategory(category)) {
        if (m_Edit.byFuncType == category) {
            ShowFunctionList(category);
        } else {
            SetListSelection(*list, -1);
            m_Edit.byFuncType = static_cast<std::uint8_t>(category);
            SetListSelection(*list, 0);
        }
        return;
    }
    switch (static_cast<FunctionCategory>(category)) {
        case FunctionCategory::Keyboard:
            if (m_Edit.byFuncType == category) {
                ShowKeyOfWorkingCopy();
            } else {
                m_Edit.byKeyCode = 0;
                m_view.ShowKeyText({});
            }
            m_Edit.byFuncCode = kFuncKeyboardKey;
            m_Edit.byFuncType = static_cast<std::uint8_t>(FunctionCategory::Keyboard);
            break;
        case FunctionCategory::Macro:
            if (m_Edit.byFuncType == category) {
                ShowMacroChoice();
                break;
            }
            // The function itself changes only when the user picks a macro.
            SetListSelection(ButtonList::Macro, -1);
            SetListSelection(ButtonList::Repeat, -1);
            SetListSelection(ButtonList::Repeat, 0);
            m_Edit.iMacroRepeatCount = kFewestRepeats;
            m_Edit.iMacroRepeatMode = 0;
            m_Edit.iMacroIndex = -1;
            m_view.ShowLoopRow(true);
            m_view.ShowLoopCount(kFewestRepeats);
            break;
        default:
            m_Edit.byFuncType = static_cast<std::uint8_t>(FunctionCategory::Default);
            m_Edit.byFuncCode = DefaultFunctionCode(m_iSelButton);
            break;
    }
}

// Setting the list to none first makes the handler run even when the list already shows the
// item, so the working copy holds exactly the code that the list shows.
void ButtonEditor::ShowFunctionList(int category) {
    const ButtonList list = *ListOfCategory(category);
    SetListSelection(list, -1);
    SetListSelection(list, ListIndexOf(static_cast<FunctionCategory>(category), m_Edit.byFuncCode));
}

void ButtonEditor::ShowMacroChoice() {
    SetListSelection(ButtonList::Macro, -1);
    SetListSelection(ButtonList::Repeat, -1);
    // The macro is found by the name the button carries: the stored index goes stale when an
    // earlier macro of the store is deleted, and choosing by it would give the button another
    // macro. A macro that is no longer in the store leaves the list at none and the copy intact.
    SetListSelection(ButtonList::Macro, MacroIndexForButton(m_store, m_Edit));
    SetListSelection(ButtonList::Repeat, m_Edit.iMacroRepeatMode);
    m_view.ShowLoopRow(m_Edit.iMacroRepeatMode <= 0);
    m_view.ShowLoopCount(m_Edit.iMacroRepeatCount <= 0 ? kFewestRepeats : m_Edit.iMacroRepeatCount);
}

void ButtonEditor::ChooseMacro(int item) {
    m_Edit.byFuncCode = kFuncMacro;
    m_Edit.byFuncType = static_cast<std::uint8_t>(FunctionCategory::Macro);
    m_Edit.iMacroIndex = item;
    CopyMacroToButton(m_Edit, m_store.At(item));
}

void ButtonEditor::ShowKeyOfWorkingCopy() {
    m_view.ShowKeyText(KeyTextId(m_Edit.byKeyCode));
}

void ButtonEditor::ArmKeyCapture() {
    if (Editing() && m_Edit.byFuncType == static_cast<std::uint8_t>(FunctionCategory::Keyboard)) {
        m_keyCapture.Arm();
        m_view.ShowKeyText("press_a_key_text");
    }
}

void ButtonEditor::EndKeyCapture() {
    if (m_keyCapture.Armed()) {
        m_keyCapture.End();
        ShowKeyOfWorkingCopy();
    }
}

void ButtonEditor::CaptureKey(std::uint32_t virtualKey, std::uint32_t flag) {
    const std::optional<std::uint32_t> key = m_keyCapture.Take(virtualKey, flag);
    if (!key || !Editing()) {
        return;
    }
    m_Edit.byKeyCode = KeyCodeFromVirtualKey(*key, m_lookupScanCode).value_or(0);
    ShowKeyOfWorkingCopy();
}

void ButtonEditor::OnEscape() {
    if (!m_keyCapture.OwnsKeyPress()) {
        ResetSelection();
    }
}

void ButtonEditor::CommitRepeatCount(std::string_view text) {
    if (!Editing()) {
        return;
    }
    int count = IntegerValueOfText(text);
    if (count < kFewestRepeats || count > kMostRepeats) {
        count = InRange(count, kFewestRepeats, kMostRepeats);
        m_view.ShowLoopCount(count);
    }
    m_Edit.iMacroRepeatCount = count;
}

void ButtonEditor::ApplyButton() {
    if (!Editing()) {
        return;
    }
    if (m_Edit.byFuncCode == kFuncMacro) {
        // The macro may have been edited, renamed or moved on the macro page since it was picked:
        // the button gets it as the store holds it now. One deleted meanwhile is no longer
        // offered, and Apply cannot bring it back; the edit waits for another choice.
        const int macro = MacroIndexForButton(m_store, m_Edit);
        if (macro < 0) {
            return;
        }
        m_Edit.iMacroIndex = macro;
        CopyMacroToButton(m_Edit, m_store.At(macro));
    } else {
        ClearButtonMacro(m_Edit);
    }
    CurrentProfile(m_settings).aButton[Index(m_iSelButton)] = m_Edit;
    RefreshButtonLabel(m_iSelButton);
    VeltrixPost(&m_mainWindow, kMsgApplyRequest, kApplyButtons, 0);
    ResetSelection();
}

void ButtonEditor::ResetSelection() {
    m_abKeepMark.fill(false);
    ApplyGuard();
    EndKeyCapture();
    m_view.ShowFunctionPanel(false);
    if (Editing()) {
        m_view.ShowKeyMark(m_iSelButton, false);
        m_view.ShowButtonChecked(m_iSelButton, false);
    }
    m_iSelButton = -1;
}

void ButtonEditor::PointerEnteredButton(int button) {
    if (IsButton(button)) {
        m_view.ShowKeyMark(button, true);
    }
}

void ButtonEditor::PointerLeftButton(int button) {
    if (IsButton(button) && !m_abKeepMark[Index(button)]) {
        m_view.ShowKeyMark(button, false);
    }
}

void ButtonEditor::ApplyGuard() {
    const ProfileData& profile = CurrentProfile(m_settings);
    int leftClicks = 0;
    int lastLeftClick = 0;
    for (int button = 0; button < kShownButtonCount; ++button) {
        if (profile.aButton[Index(button)].byFuncCode == kFuncLeftClick) {
            ++leftClicks;
            lastLeftClick = button;
        }
    }
    for (int button = 0; button < kShownButtonCount; ++button) {
        EnableButton(button, leftClicks > 1 || button != lastLeftClick);
    }
}

// While a button is edited no other one can be chosen, whatever the guard enabled.
void ButtonEditor::KeepOtherButtonsDisabled() {
    for (int button = 0; button < kShownButtonCount; ++button) {
        if (button != m_iSelButton) {
            EnableButton(button, false);
        }
    }
}

void ButtonEditor::GuardLastLeftClick() {
    ApplyGuard();
    if (Editing()) {
        KeepOtherButtonsDisabled();
    }
}

void ButtonEditor::EnableButton(int button, bool enabled) {
    m_abEnabled[Index(button)] = enabled;
    m_view.ShowButtonEnabled(button, enabled);
}

void ButtonEditor::RefreshButtonLabel(int button) {
    if (!IsButton(button)) {
        return;
    }
    const ButtonEntry& entry = CurrentProfile(m_settings).aButton[Index(button)];
    switch (entry.byFuncCode) {
        case kFuncKeyboardKey:
            m_view.ShowButtonLabel(button, KeyTextId(entry.byKeyCode));
            break;
        case kFuncMacro:
            m_view.ShowButtonMacroName(button, FieldText(entry.szMacroName));
            break;
        default:
            m_view.ShowButtonLabel(button, FunctionTextId(entry.byFuncCode));
            break;
    }
}

void ButtonEditor::RefreshButtons() {
    GuardLastLeftClick();
    for (int button = 0; button < kShownButtonCount; ++button) {
        RefreshButtonLabel(button);
    }
}

void ButtonEditor::Reload() {
    ResetSelection();
    RefreshButtons();
}

void ButtonEditor::RenameMacro(std::u16string_view oldName, std::u16string_view newName) {
    if (Editing()) {
        RenameButtonMacro(m_Edit, oldName, newName);
    }
}

void ButtonEditor::FillMacroList() {
    std::vector<std::u16string_view> names;
    names.reserve(static_cast<std::size_t>(m_store.Count()));
    for (int macro = 0; macro < m_store.Count(); ++macro) {
        names.push_back(FieldText(m_store.At(macro).szName));
    }
    m_iMacroItemCount = m_store.Count();
    m_aiSelection[Index(ButtonList::Macro)] = -1;
    m_view.ShowMacroItems(names);
    // An open edit's pick stays shown where it now is, and leaves the list when it was deleted.
    if (Editing() && m_Edit.byFuncCode == kFuncMacro) {
        SetListSelection(ButtonList::Macro, MacroIndexForButton(m_store, m_Edit));
    }
}

}  // namespace veltrix
