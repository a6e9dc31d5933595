#pragma once

// The button assignment page: twelve buttons around a picture of the mouse, and the panel that
// gives the chosen one a function. ButtonEditor holds every rule; the page renders what it says
// and reports the user's own actions to it.

#include <array>
#include <cstdint>
#include <memory>

#include "SettingsPage.h"
#include "pages/ButtonPageView.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QStackedWidget;

namespace veltrix {
class ButtonEditor;
}

namespace veltrix::gui {

class CWirelessButtonUI : public CSettingsPage, public ButtonPageView {
    Q_OBJECT

  public:
    explicit CWirelessButtonUI(QWidget* parent = nullptr);
    ~CWirelessButtonUI() override;

    void Wire(const PageContext& context) override;
    // The current profile changed (a profile switch, an import, a reset): an open edit closes as
    // Cancel does, and the buttons show the new profile.
    void Reload() override;
    // The macros changed the buttons' entries: the guard and the twelve labels again; an edit in
    // progress goes on.
    void RefreshButtons();
    void FillMacroList() override;
    // A macro got a new name: an open edit's pick of it follows.
    void RenameMacro(const QString& oldName, const QString& newName);

    // The button being edited, 0 to 11; -1 when none (hook events are not forwarded then).
    int SelectedButton() const;
    // A key event from the input hook while the button-capture flag is set.
    void CaptureKey(std::uint32_t virtualKey, std::uint32_t flag);
    // Ends the editing state (after a reset of the record).
    void ResetSelection();
    // The page or the window went away: the key field stops waiting for a key.
    void EndCapture();

    // ButtonPageView
    void ShowButtonEnabled(int button, bool enabled) override;
    void ShowButtonChecked(int button, bool checked) override;
    void ShowButtonLabel(int button, std::string_view textId) override;
    void ShowButtonMacroName(int button, std::u16string_view name) override;
    void ShowKeyMark(int button, bool shown) override;
    void ShowFunctionPanel(bool shown) override;
    void ShowCategoryTab(int category) override;
    void ShowListSelection(ButtonList list, int item) override;
    void ShowListTextAsTooltip(ButtonList list) override;
    void ShowMacroItems(std::span<const std::u16string_view> names) override;
    void ShowKeyText(std::string_view keyTextId) override;
    void ShowLoopRow(bool shown) override;
    void ShowLoopCount(int count) override;

  Q_SIGNALS:
    // The editing panel was built, when a button was first chosen.
    void PanelBuilt(QWidget* panel);

  protected:
    void FindControls(QWidget* root) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ConnectControls();
    // Builds the editing panel the first time; false when the skin has none.
    bool BuildPanel();
    void ConnectPanelControls();
    void OnButtonClicked(int button, bool checked);
    void OnApply();
    void CommitRepeatCount();
    void ShowLabel(int button, const QString& text);
    QComboBox* List(ButtonList list) const;
    int ButtonOf(QObject* object) const;

    std::array<QAbstractButton*, kShownButtonCount> m_apButton{};
    std::array<QWidget*, kShownButtonCount> m_apKeyMark{};
    std::array<QComboBox*, kButtonListCount> m_apList{};  // by ButtonList
    // The editing panel's frame, from the page's layout; BuildPanel builds the controls into it.
    QWidget* m_pFunctionPanel = nullptr;
    bool m_bPanelBuilt = false;
    // Shown in the panel's place while no button is being edited.
    QWidget* m_pIdleHint = nullptr;
    QStackedWidget* m_pCategoryTabs = nullptr;
    QLineEdit* m_pKeyEdit = nullptr;
    QWidget* m_pLoopRow = nullptr;
    QLineEdit* m_pLoopEdit = nullptr;
    QAbstractButton* m_pApply = nullptr;
    QAbstractButton* m_pCancel = nullptr;

    std::unique_ptr<ButtonEditor> m_pRules;
};

}  // namespace veltrix::gui
