#pragma once

// The macro page's list of the steps of the macro being edited, one drawn row per step: the key
// or mouse button with its picture, the press or release arrow with its word, and the delay after
// the step. Screen readers read each row as one line.

#include <QIcon>
#include <cstdint>
#include <span>
#include <string_view>

#include "macro/MacroPageView.h"

class QListWidget;

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

}  // namespace veltrix::gui
