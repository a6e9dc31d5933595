#include <gtest/gtest.h>

#include "MacroFakes.h"
#include "PageFakes.h"
#include "macro/MacroSync.h"
#include "pages/ButtonEditor.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "profile/RecordAccess.h"
#include "support/ByteImage.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

using namespace test;

// Keeps what the page would show. A macro's name reads "macro:<name>" among the text ids.
class FakeButtonPage final : public ButtonPageView {
  public:
    FakeButtonPage() {
        enabled.fill(true);
        selection.fill(-1);
    }
    void ShowButtonEnabled(int b, bool on) override { enabled.at(Index(b)) = on; }
    void ShowButtonChecked(int b, bool on) override { checked.at(Index(b)) = on; }
    void ShowButtonLabel(int b, std::string_view id) override { labels.at(Index(b)) = id; }
    void ShowButtonMacroName(int b, std::u16string_view name) override {
        labels.at(Index(b)) = "macro:" + Utf16ToUtf8(name);
    }
    void ShowKeyMark(int b, bool on) override { marks.at(Index(b)) = on; }
    void ShowFunctionPanel(bool on) override { panel = on; }
    void ShowCategoryTab(int category) override { tab = category; }
    void ShowListSelection(ButtonList list, int item) override { Selected(list) = item; }
    void ShowListTextAsTooltip(ButtonList) override {}
    void ShowMacroItems(std::span<const std::u16string_view> names) override {
        macroItems.assign(names.begin(), names.end());
        Selected(ButtonList::Macro) = -1;
    }
    void ShowKeyText(std::string_view id) override { keyText = id; }
    void ShowLoopRow(bool on) override { loopRow = on; }
    void ShowLoopCount(int count) override { loopCount = count; }

    int& Selected(ButtonList list) { return selection.at(static_cast<std::size_t>(list)); }

    std::array<bool, 12> enabled{}, checked{}, marks{};
    std::array<std::string, 12> labels;
    std::array<int, kButtonListCount> selection{};
    std::vector<std::u16string> macroItems;
    std::string keyText = "unset";
    bool panel = false, loopRow = false;
    int tab = -1, loopCount = -1;

  private:
    static std::size_t Index(int button) { return static_cast<std::size_t>(button); }
};

// One character per button, "1" for a set flag: "011111111111".
std::string Shown(const std::array<bool, 12>& flags) {
    std::string shown;
    for (const bool flag : flags) {
        shown += flag ? '1' : '0';
    }
    return shown;
}

constexpr std::uint8_t kFuncTiltRight = 13, kFuncPlayPause = 65, kFuncDpiUp = 7;
constexpr int kMouse = 1, kDpi = 2, kKeyboard = 4, kMedia = 5, kMacro = 7;

class ButtonEditorTest : public ::testing::Test {
  protected:
    ButtonEditorTest() {
        m_editor.FillMacroList();
        m_editor.RefreshButtons();
    }

    ButtonEntry& Entry(int button, int profile = 0) {
        return ProfileAt(*m_settings, profile).aButton.at(static_cast<std::size_t>(button));
    }
    void Store(int button, int category, std::uint8_t code, std::uint8_t key = 0) {
        Entry(button).byFuncType = static_cast<std::uint8_t>(category);
        Entry(button).byFuncCode = code;
        Entry(button).byKeyCode = key;
    }
    // A macro whose 46 slots all hold distinct steps, whatever its count.
    void AddMacro(const char16_t* name, std::int32_t count) {
        MacroRecord record{};
        record.iActionCount = count;
        SetFieldText(record.szName, name);
        for (std::uint8_t i = 0; i < kMaxMacroActions; ++i) {
            record.aAction[i] = {static_cast<std::uint8_t>(4 + i), kDown, i};
        }
        m_store.Append(record);
    }
    std::vector<Message> Posted() { return Drain(m_queue); }
    const Message kApplyButtonsRequest{kMsgApplyRequest, kApplyButtons, 0};

    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    MacroStore m_store;
    FakeButtonPage m_page;
    RecordingHooks m_hooks;
    CaptureTargetFlags m_flags{0, 1, 1};
    MessageQueue m_queue;
    ScanCodeLookup m_layout;  // the active layout; none moves any key
    ButtonEditor m_editor{
        *m_settings, m_store, m_page, m_hooks, m_flags, m_queue.Handle(), [this](std::uint32_t vk) {
            return m_layout ? m_layout(vk) : 0u;
        }};
};

TEST_F(ButtonEditorTest, TheLastLeftClickCannotBeChosenAndEditingLocksTheOthers) {
    EXPECT_EQ(Shown(m_page.enabled), "011111111111") << "after the defaults";
    m_editor.SelectButton(0);
    EXPECT_EQ(m_editor.SelectedButton(), -1);

    m_editor.PointerEnteredButton(7);
    m_editor.PointerLeftButton(7);
    m_editor.SelectButton(5);
    m_editor.PointerLeftButton(5);
    EXPECT_EQ(Shown(m_page.enabled), "000001000000");
    EXPECT_EQ(Shown(m_page.marks), "000001000000") << "the edited mark stays";
    EXPECT_TRUE(m_page.panel);
    m_editor.ChooseFunction(ButtonList::Category, kMouse);
    EXPECT_EQ(m_page.Selected(ButtonList::Mouse), 0);
    m_editor.ApplyButton();
    EXPECT_EQ(Entry(5).byFuncCode, 1);
    EXPECT_EQ(m_page.labels[5], "left_click_text");
    EXPECT_EQ(Shown(m_page.enabled), "111111111111") << "two left clicks";
    EXPECT_EQ(Shown(m_page.marks), "000000000000");
    EXPECT_FALSE(m_page.panel);
    EXPECT_EQ(Posted(), std::vector<Message>{kApplyButtonsRequest});
}

TEST_F(ButtonEditorTest, CancelLeavesTheRecordAndTheMouseAlone) {
    const auto before = BytesOf(*m_settings);
    m_editor.SelectButton(3);
    m_editor.ChooseFunction(ButtonList::Category, kMedia);
    m_editor.ChooseFunction(ButtonList::Media, 4);
    EXPECT_EQ(m_editor.WorkingCopy().byFuncCode, 68);
    m_editor.ResetSelection();
    m_editor.ApplyButton();  // nothing is being edited any more
    EXPECT_EQ(BytesOf(*m_settings), before);
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(Shown(m_page.enabled), "011111111111");
    EXPECT_FALSE(m_page.panel);
    EXPECT_EQ(m_editor.SelectedButton(), -1);
}

TEST_F(ButtonEditorTest, ChoosingAButtonShowsTheFunctionItsListOffers) {
    struct Case {
        int category;
        std::uint8_t code;
        ButtonList list;
        int item;
        std::uint8_t workingCode;
    };
    const Case cases[] = {
        {kMouse, 1, ButtonList::Mouse, 0, 1},
        {kMouse, kFuncTiltRight, ButtonList::Mouse, 0, 1},  // not in the list: its first item
        {kDpi, kFuncDpiUp, ButtonList::Dpi, 1, kFuncDpiUp},
        {kMedia, kFuncPlayPause, ButtonList::Media, 1, kFuncPlayPause},
        {8, 46, ButtonList::Shortcut, 14, 46},
    };
    for (const Case& c : cases) {
        Store(3, c.category, c.code);
        m_editor.SelectButton(3);
        EXPECT_EQ(m_page.tab, c.category);
        EXPECT_EQ(m_page.Selected(ButtonList::Category), c.category);
        EXPECT_EQ(m_page.Selected(c.list), c.item) << int{c.code};
        EXPECT_EQ(m_editor.WorkingCopy().byFuncCode, c.workingCode) << int{c.code};
        EXPECT_EQ(Entry(3).byFuncCode, c.code) << "only Apply stores";
        m_editor.ResetSelection();
    }

    Store(3, 12, 99);  // a category that no list offers
    m_editor.SelectButton(3);
    EXPECT_EQ(m_page.Selected(ButtonList::Category), -1);
    m_editor.ApplyButton();
    EXPECT_EQ(Entry(3).byFuncType, 12);
    EXPECT_EQ(Entry(3).byFuncCode, 99);
}

TEST_F(ButtonEditorTest, TheDefaultCategoryGivesEachButtonItsFactoryFunction) {
    for (const auto& [button, code] : {std::pair{6, 8}, {8, 0}, {11, 12}}) {
        Store(button, kMedia, kFuncPlayPause);
        m_editor.SelectButton(button);
        m_editor.ChooseFunction(ButtonList::Category, 0);
        m_editor.ApplyButton();
        EXPECT_EQ(Entry(button).byFuncCode, code) << button;
        EXPECT_EQ(Entry(button).byFuncType, 0) << button;
    }
    EXPECT_EQ(Posted(), std::vector<Message>(3, kApplyButtonsRequest)) << "one per Apply";
}

TEST_F(ButtonEditorTest, TheKeyboardCategoryCapturesByPosition) {
    Store(4, kMedia, kFuncPlayPause, 9);
    m_editor.SelectButton(4);
    m_editor.ChooseFunction(ButtonList::Category, kKeyboard);
    EXPECT_EQ(m_page.keyText, "");
    m_editor.ApplyButton();
    EXPECT_EQ(Entry(4).byFuncCode, kFuncKeyboardKey);
    EXPECT_EQ(Entry(4).byKeyCode, 0);
    EXPECT_EQ(EncodeButtonFunction(Entry(4), 0), (std::array<std::uint8_t, 3>{17, 0, 0}));

    // A layout whose A sits where a US keyboard has Q.
    m_layout = [](std::uint32_t vk) { return vk == 0x41 ? 0x10u : 0u; };
    Store(6, kKeyboard, kFuncKeyboardKey, 5);
    for (const int button : {4, 6}) {
        m_editor.SelectButton(button);
        EXPECT_EQ(m_page.keyText, button == 4 ? "" : "key_B");
        m_editor.ArmKeyCapture();
        m_editor.CaptureKey(0x41, 0);
        EXPECT_EQ(m_page.keyText, "key_Q");
        m_editor.ApplyButton();
        EXPECT_EQ(Entry(button).byKeyCode, 20);
        EXPECT_EQ(m_page.labels[static_cast<std::size_t>(button)], "key_Q");
    }
    m_editor.SelectButton(6);
    m_editor.ArmKeyCapture();
    m_editor.CaptureKey(0xFF, 0);  // no row in the table
    EXPECT_EQ(m_editor.WorkingCopy().byKeyCode, 0);
    EXPECT_EQ(m_page.keyText, "");
    EXPECT_EQ(Posted().size(), 3u);
}

// A keyboard user arms the key field, presses A, then Tab to reach Apply and Space to press it:
// the capture takes A alone and stops listening at once.
TEST_F(ButtonEditorTest, AKeyCaptureTakesOnePressAndThenStopsListening) {
    Store(2, kKeyboard, kFuncKeyboardKey, 5);
    m_editor.SelectButton(2);
    EXPECT_EQ(m_hooks.calls, Strings{}) << "nothing listens before the field is activated";
    m_editor.ArmKeyCapture();
    EXPECT_EQ(m_page.keyText, "press_a_key_text");
    EXPECT_EQ(m_hooks.calls, (Strings{"installhook", "enablehook(1)"}));
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{1, 0, 0})) << "only this page hears";

    m_hooks.calls.clear();
    m_editor.CaptureKey(0x09, 1);  // the release of the Tab that reached the field
    EXPECT_TRUE(m_editor.KeyCaptureArmed());
    m_editor.CaptureKey(0x41, 0);
    EXPECT_EQ(m_hooks.calls, (Strings{"removehook", "removemousehook"}));
    EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_TRUE(m_editor.KeyFieldOwnsKeyPress()) << "the window's copy of the press of A";
    m_editor.OnEscape();
    EXPECT_EQ(m_editor.SelectedButton(), 2) << "that press was A, not a Cancel";
    m_editor.KeyFieldKeyReleased();
    for (const std::uint32_t late : {0x41u, 0x09u, 0x20u}) {
        m_editor.CaptureKey(late, 1);
        m_editor.CaptureKey(late, 0);
    }
    EXPECT_EQ(m_page.keyText, "key_A");
    m_editor.ApplyButton();
    EXPECT_EQ(Entry(2).byKeyCode, 4);

    // Escape while armed is the key; the next Escape cancels.
    m_editor.SelectButton(2);
    m_editor.ArmKeyCapture();
    m_editor.OnEscape();
    EXPECT_EQ(m_editor.SelectedButton(), 2);
    m_editor.CaptureKey(0x1B, 0);
    m_editor.KeyFieldKeyReleased();
    EXPECT_EQ(m_page.keyText, "key_Esc");
    m_editor.OnEscape();
    EXPECT_EQ(m_editor.SelectedButton(), -1);
    EXPECT_EQ(Entry(2).byKeyCode, 4) << "cancelled";
}

// Whatever ends the edit or leaves the keyboard function ends the capture; the field then shows
// the key again and no later key reaches the button.
TEST_F(ButtonEditorTest, EveryEndOfTheEditEndsTheCapture) {
    Store(2, kKeyboard, kFuncKeyboardKey, 5);
    const std::vector<std::function<void()>> ends = {
        [this] { m_editor.EndKeyCapture(); },
        [this] { m_editor.ResetSelection(); },
        [this] { m_editor.ApplyButton(); },
        [this] { m_editor.ChooseFunction(ButtonList::Category, kMouse); },
    };
    for (std::size_t end = 0; end < ends.size(); ++end) {
        m_editor.ResetSelection();
        m_editor.SelectButton(2);
        m_editor.ArmKeyCapture();
        m_hooks.calls.clear();
        ends[end]();
        EXPECT_FALSE(m_editor.KeyCaptureArmed()) << end;
        EXPECT_EQ(BytesOf(m_flags), (std::vector<std::uint8_t>{0, 0, 0})) << end;
        EXPECT_EQ(m_hooks.calls.at(0), "removehook") << end;
        EXPECT_NE(m_page.keyText, "press_a_key_text") << end;
        m_editor.CaptureKey(0x5A, 0);
        EXPECT_NE(m_editor.WorkingCopy().byKeyCode, 29) << end;
        EXPECT_EQ(Entry(2).byKeyCode, 5) << end;
    }
    m_editor.ResetSelection();
    Store(4, kMouse, 1);
    m_editor.SelectButton(4);
    m_editor.ArmKeyCapture();
    EXPECT_FALSE(m_editor.KeyCaptureArmed()) << "only the keyboard function has a key field";
}

TEST_F(ButtonEditorTest, TheMacroCategoryWaitsForAPickAndCopiesTheWholeMacro) {
    m_editor.SelectButton(3);
    m_editor.ChooseFunction(ButtonList::Category, kMacro);
    EXPECT_TRUE(m_page.loopRow);
    EXPECT_EQ(m_page.loopCount, 1);
    EXPECT_EQ(m_page.Selected(ButtonList::Repeat), 0);
    m_editor.ChooseFunction(ButtonList::Macro, 0);  // the store is empty
    m_editor.ApplyButton();
    EXPECT_EQ(Entry(3).byFuncCode, 4) << "forward, as before";
    EXPECT_EQ(Entry(3).byFuncType, 0);
    EXPECT_EQ(Entry(3).iMacroIndex, -1);
    EXPECT_EQ(Entry(3).iMacroRepeatMode, 0);
    EXPECT_EQ(Entry(3).iMacroRepeatCount, 1);

    AddMacro(u"Reload", 3);
    AddMacro(u"Combo", 12);
    m_editor.FillMacroList();
    EXPECT_EQ(m_page.macroItems, (std::vector<std::u16string>{u"Reload", u"Combo"}));
    m_editor.SelectButton(3);
    m_editor.ChooseFunction(ButtonList::Category, kMacro);
    m_editor.ChooseFunction(ButtonList::Macro, 1);
    m_editor.ChooseFunction(ButtonList::Repeat, 2);
    EXPECT_FALSE(m_page.loopRow);
    m_editor.ApplyButton();
    EXPECT_EQ(Entry(3).byFuncCode, kFuncMacro);
    EXPECT_EQ(Entry(3).wMacroActionCount, 12);
    EXPECT_EQ(Entry(3).aMacroAction, m_store.At(1).aAction) << "all 46 slots";
    EXPECT_EQ(Entry(3).iMacroRepeatMode, 2);
    EXPECT_EQ(m_page.labels[3], "macro:Combo");

    // Deleting the first macro leaves the button's index stale: it is found by its name.
    m_store.Erase(0);
    m_editor.FillMacroList();
    m_editor.SelectButton(3);
    EXPECT_EQ(m_page.Selected(ButtonList::Macro), 0);
    EXPECT_EQ(m_editor.WorkingCopy().iMacroIndex, 0);
    m_editor.ResetSelection();

    m_store.Erase(0);  // the list is not refilled yet
    m_editor.SelectButton(3);
    EXPECT_EQ(m_page.Selected(ButtonList::Macro), -1) << "its macro is gone";
    m_editor.ChooseFunction(ButtonList::Macro, 0);
    EXPECT_EQ(FieldText(m_editor.WorkingCopy().szMacroName), u"Combo");
}

TEST_F(ButtonEditorTest, RepeatCountsAreKeptBetweenOneAnd255) {
    m_editor.SelectButton(3);
    m_editor.ChooseFunction(ButtonList::Category, kMacro);
    const std::tuple<const char*, int, int> cases[] = {
        {"0", 1, 1}, {"300", 255, 255}, {"abc", 1, 1}, {" 42x", 42, -1}, {"-7", 1, 1}};
    for (const auto& [text, count, shown] : cases) {
        m_page.loopCount = -1;
        m_editor.CommitRepeatCount(text);
        EXPECT_EQ(m_editor.WorkingCopy().iMacroRepeatCount, count) << text;
        EXPECT_EQ(m_page.loopCount, shown) << text << ": a valid count stays as typed";
    }
}

TEST_F(ButtonEditorTest, AProfileSwitchClosesTheEditAsCancelDoes) {
    // Profile 3 has its only left click on button 0; editing button 2 began in profile 0.
    ProfileAt(*m_settings, 3).aButton[1].byFuncCode = kFuncPlayPause;
    m_editor.SelectButton(1);
    m_editor.ChooseFunction(ButtonList::Category, kDpi);
    m_settings->iCurProfile = 3;
    const auto before = BytesOf(*m_settings);
    m_editor.Reload();
    EXPECT_EQ(m_page.labels[1], "play_pause_text");
    EXPECT_EQ(Shown(m_page.enabled), "011111111111") << "the guard of the new profile";
    EXPECT_FALSE(m_page.panel);
    EXPECT_EQ(m_editor.SelectedButton(), -1);
    m_editor.ApplyButton();
    EXPECT_EQ(BytesOf(*m_settings), before) << "the new profile keeps its left click";
    EXPECT_TRUE(Posted().empty());
}

TEST_F(ButtonEditorTest, AnotherFunctionLeavesNoMacroBehind) {
    AddMacro(u"Old", 5);
    m_editor.FillMacroList();
    for (const int category : {kKeyboard, kMedia, 0}) {
        m_editor.SelectButton(6);
        m_editor.ChooseFunction(ButtonList::Category, kMacro);
        m_editor.ChooseFunction(ButtonList::Macro, 0);
        m_editor.ApplyButton();
        ASSERT_EQ(FieldText(Entry(6).szMacroName), u"Old");
        m_editor.SelectButton(6);
        m_editor.ChooseFunction(ButtonList::Category, category);
        m_editor.ApplyButton();
        ButtonEntry bare = Entry(6);
        ClearButtonMacro(bare);
        EXPECT_EQ(BytesOf(Entry(6)), BytesOf(bare)) << category << ": no name, index or steps";
        EXPECT_EQ(Entry(6).iMacroIndex, -1);
    }
}

TEST_F(ButtonEditorTest, AMacroChangedWhileItIsPickedIsTakenAsTheStoreHoldsItAtApply) {
    AddMacro(u"First", 2);
    AddMacro(u"Jump", 3);
    m_editor.FillMacroList();
    m_editor.SelectButton(4);
    m_editor.ChooseFunction(ButtonList::Category, kMacro);
    m_editor.ChooseFunction(ButtonList::Macro, 1);

    // Edited, renamed, and an earlier macro deleted, all before Apply.
    m_store.At(1).iActionCount = 7;
    m_store.At(1).aAction[0] = {9, kDown, 300};
    SetFieldText(m_store.At(1).szName, u"Leap");
    m_editor.RenameMacro(u"Jump", u"Leap");
    m_store.Erase(0);
    m_editor.FillMacroList();
    EXPECT_EQ(m_page.Selected(ButtonList::Macro), 0) << "the pick stays shown";
    m_editor.ApplyButton();
    EXPECT_EQ(FieldText(Entry(4).szMacroName), u"Leap");
    EXPECT_EQ(Entry(4).wMacroActionCount, 7);
    EXPECT_EQ(Entry(4).aMacroAction, m_store.At(0).aAction);
    EXPECT_EQ(Entry(4).iMacroIndex, 0);
    EXPECT_EQ(Posted().size(), 1u);

    // Deleted while picked: the list no longer offers it and Apply cannot bring it back.
    const auto applied = BytesOf(*m_settings);
    m_editor.SelectButton(5);
    m_editor.ChooseFunction(ButtonList::Category, kMacro);
    m_editor.ChooseFunction(ButtonList::Macro, 0);
    m_store.Erase(0);
    m_editor.FillMacroList();
    EXPECT_EQ(m_page.Selected(ButtonList::Macro), -1);
    m_editor.ApplyButton();
    EXPECT_EQ(BytesOf(*m_settings), applied);
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(m_editor.SelectedButton(), 5) << "the edit waits for another choice";
}

}  // namespace
}  // namespace veltrix
