#pragma once

// The macro page's list of the steps of the macro being edited, one drawn row per step: the key
// or mouse button with its picture, the press or release arrow with its word, and the delay after
// the step. Screen readers read each row as one line. Beside it, the editor of the selected step.

#include <QIcon>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "macro/MacroPageView.h"
#include "macro/MacroWorkingCopy.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QObject;
class QStackedWidget;
class QWidget;

namespace veltrix::gui {

// The height of a row of the macro page's lists.
inline constexpr int kMacroRowHeight = 30;

class ActionRowWidget;

class MacroActionList {
  public:
    // The list control of the layout, null when it has none: then nothing is shown.
    void Attach(QListWidget* list);
    QListWidget* List() const { return m_pList; }

    void ShowRows(std::span<const ActionRow> rows);
    void Select(int row);
    void Remove(int row);
    void Update(int row, const ActionRow& content);
    void ShowKey(int row, std::string_view keyTextId);
    void ShowDelay(int row, std::uint16_t delay);

  private:
    ActionRowWidget* RowWidget(int row) const;
    void UpdateSpoken(int row, const ActionRowWidget& widget);

    QListWidget* m_pList = nullptr;
    QIcon m_keyboardPicture, m_mousePicture, m_pressPicture, m_releasePicture;
};

// The selected step's key (taken from the keyboard) and delay, or its mouse button and delay, and
// the box that arms the key edit. What the user types goes to the working copy once there is one.
class MacroStepEditor {
  public:
    void Attach(QWidget* root, QObject* owner, const std::unique_ptr<MacroWorkingCopy>& editor);
    // The field that captures the step's key; null when the layout has none.
    QLineEdit* KeyField() const { return m_pKeyEdit; }

    void Show(const ActionEditorState& state);
    void ShowKey(std::string_view keyTextId);
    void ShowMouseDelay(std::uint16_t delay);
    void UncheckEditBox();

  private:
    QAbstractButton* m_pEditBox = nullptr;
    QLineEdit* m_pKeyEdit = nullptr;
    QLineEdit* m_pKeyDelayEdit = nullptr;
    QStackedWidget* m_pTabs = nullptr;
    QComboBox* m_pMouseButtonCombo = nullptr;
    QLineEdit* m_pMouseDelayEdit = nullptr;
};

}  // namespace veltrix::gui
