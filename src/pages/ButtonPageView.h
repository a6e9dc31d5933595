#pragma once

// What the button editor asks of the button page. The editor decides every state, selection and
// text; the page only renders what it is told, translating text ids through the language file,
// and reports the user's own actions back to the editor.

#include <cstdint>
#include <span>
#include <string_view>

namespace veltrix {

// The page's lists (combos). The category list's item t is function category t; the function
// lists hold the items of their category in vocabulary order; the macro list holds one item per
// macro of the store; the repeat list holds kRepeatModeCount modes.
enum class ButtonList : std::uint8_t {
    Category,
    Mouse,
    Media,
    Shortcut,
    System,
    Dpi,
    Profile,
    Macro,
    Repeat,
};

inline constexpr int kButtonListCount = 9;
inline constexpr int kCategoryCount = 9;
// Item 0 repeats the macro the number of times in the repeat-count edit; the other modes are
// carried out by the mouse, which is sent the item's index.
inline constexpr int kRepeatModeCount = 3;

class ButtonPageView {
  public:
    virtual ~ButtonPageView() = default;

    // Buttons are numbered 0 to 11.
    virtual void ShowButtonEnabled(int button, bool enabled) = 0;
    // Shows the button as the chosen one of its group, or as not chosen, without reporting it.
    virtual void ShowButtonChecked(int button, bool checked) = 0;
    // Label and tooltip of a button: the language text of a text id; the empty id shows the empty
    // text.
    virtual void ShowButtonLabel(int button, std::string_view textId) = 0;
    // Label and tooltip of a button that runs a macro: the macro's name as it stands.
    virtual void ShowButtonMacroName(int button, std::u16string_view name) = 0;
    // The highlight mark beside a button.
    virtual void ShowKeyMark(int button, bool shown) = 0;

    // The editing panel, which holds every control below.
    virtual void ShowFunctionPanel(bool shown) = 0;
    // The tab of a function category, 0 to 8.
    virtual void ShowCategoryTab(int category) = 0;
    // Selects an item of a list (-1: none). The editor has already done what the selection does,
    // so the page must not report it back as the user's.
    virtual void ShowListSelection(ButtonList list, int item) = 0;
    // The list's tooltip becomes the text of its current item.
    virtual void ShowListTextAsTooltip(ButtonList list) = 0;
    // Replaces every item of the macro list, one per name, each 25 pixels high; none is selected.
    virtual void ShowMacroItems(std::span<const std::u16string_view> names) = 0;

    // The key edit: the language text of a key's text id; the empty id empties it.
    virtual void ShowKeyText(std::string_view keyTextId) = 0;
    // The row of the repeat-count edit.
    virtual void ShowLoopRow(bool shown) = 0;
    // The repeat-count edit, in decimal.
    virtual void ShowLoopCount(int count) = 0;
};

}  // namespace veltrix
