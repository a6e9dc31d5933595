#include "MacroActionList.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStackedWidget>

#include "Language.h"
#include "PageControls.h"
#include "Skin.h"
#include "SkinImages.h"

namespace veltrix::gui {
namespace {

constexpr QSize kKeyPictureSize(22, 22);
constexpr QSize kArrowPictureSize(14, 14);
// The layout's column headings have the same widths.
constexpr int kKeyColumnWidth = 104;
constexpr int kActionColumnWidth = 70;

QLabel* PictureLabel(QWidget* parent, QSize size) {
    auto* label = new QLabel(parent);
    label->setFixedSize(size);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

// One row, as the skin's key list item draws it.
class ActionRowWidget final : public QWidget {
  public:
    ActionRowWidget(QWidget* parent, const QIcon& keyboard, const QIcon& mouse, const QIcon& press,
                    const QIcon& release)
        : QWidget(parent),
          m_keyboard(keyboard),
          m_mouse(mouse),
          m_press(press),
          m_release(release) {
        setObjectName("macro_action_row");
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(6, 0, 10, 0);
        layout->setSpacing(8);
        m_pKeyPicture = PictureLabel(this, kKeyPictureSize);
        m_pKey = new QLabel(this);
        m_pKey->setObjectName("key");
        m_pKey->setFixedWidth(kKeyColumnWidth);
        m_pActionPicture = PictureLabel(this, kArrowPictureSize);
        m_pAction = new QLabel(this);
        m_pAction->setObjectName("action");
        m_pAction->setFixedWidth(kActionColumnWidth);
        m_pDelay = new QLabel(this);
        m_pDelay->setObjectName("delay");
        layout->addWidget(m_pKeyPicture);
        layout->addWidget(m_pKey);
        layout->addWidget(m_pActionPicture);
        layout->addWidget(m_pAction);
        layout->addWidget(m_pDelay, 1);
    }

    void Show(const ActionRow& row) {
        ShowKey(row.keyTextId, row.keyPicture != KeyPicture::Keyboard);
        m_pActionPicture->setPixmap((row.bPress ? m_press : m_release).pixmap(kArrowPictureSize));
        m_pAction->setText(Tr(row.actionTextId));
        ShowDelay(row.wShownDelay);
    }
    void ShowKey(std::string_view keyTextId, bool mouse) {
        m_pKeyPicture->setPixmap((mouse ? m_mouse : m_keyboard).pixmap(kKeyPictureSize));
        m_pKey->setText(Tr(keyTextId));
    }
    void ShowKey(std::string_view keyTextId) {
        // A key edit never turns a keyboard step into a mouse step or back, so the picture stays.
        m_pKey->setText(Tr(keyTextId));
    }
    void ShowDelay(std::uint16_t delay) { m_pDelay->setText(QString::number(delay)); }

    // What a screen reader says for the row.
    QString Spoken() const {
        return QString("%1, %2, %3 %4")
            .arg(m_pKey->text(), m_pAction->text(), m_pDelay->text(), Tr("ms_text"));
    }

  private:
    const QIcon &m_keyboard, &m_mouse, &m_press, &m_release;
    QLabel* m_pKeyPicture;
    QLabel* m_pKey;
    QLabel* m_pActionPicture;
    QLabel* m_pAction;
    QLabel* m_pDelay;
};

void MacroActionList::Attach(QListWidget* list) {
    m_pList = list;
    m_keyboardPicture = SkinIconFrom(SkinImagePath("images/keyboard_key_action.svg"), {});
    m_mousePicture = SkinIconFrom(SkinImagePath("images/mouse.svg"), {});
    m_pressPicture = SkinIconFrom(SkinImagePath("images/macro_key_down.svg"), {});
    m_releasePicture = SkinIconFrom(SkinImagePath("images/macro_key_up.svg"), {});
}

ActionRowWidget* MacroActionList::RowWidget(int row) const {
    if (m_pList == nullptr) {
        return nullptr;
    }
    QListWidgetItem* item = m_pList->item(row);
    return item != nullptr ? static_cast<ActionRowWidget*>(m_pList->itemWidget(item)) : nullptr;
}

void MacroActionList::UpdateSpoken(int row, const ActionRowWidget& widget) {
    m_pList->item(row)->setData(Qt::AccessibleTextRole, widget.Spoken());
}

void MacroActionList::ShowRows(std::span<const ActionRow> rows) {
    if (m_pList == nullptr) {
        return;
    }
    const QSignalBlocker blocker(m_pList);
    m_pList->setUpdatesEnabled(false);
    m_pList->clear();
    for (const ActionRow& row : rows) {
        auto* item = new QListWidgetItem(m_pList);
        item->setSizeHint(QSize(0, kMacroRowHeight));
        auto* widget = new ActionRowWidget(m_pList, m_keyboardPicture, m_mousePicture,
                                           m_pressPicture, m_releasePicture);
        widget->Show(row);
        item->setData(Qt::AccessibleTextRole, widget->Spoken());
        m_pList->setItemWidget(item, widget);
    }
    m_pList->setUpdatesEnabled(true);
}

void MacroActionList::Select(int row) {
    if (m_pList != nullptr) {
        const QSignalBlocker blocker(m_pList);
        m_pList->setCurrentRow(row);
        if (QListWidgetItem* item = m_pList->item(row)) {
            m_pList->scrollToItem(item);
        }
    }
}

void MacroActionList::Remove(int row) {
    if (m_pList != nullptr) {
        const QSignalBlocker blocker(m_pList);
        delete m_pList->takeItem(row);
    }
}

void MacroActionList::Update(int row, const ActionRow& content) {
    if (ActionRowWidget* widget = RowWidget(row)) {
        widget->Show(content);
        UpdateSpoken(row, *widget);
    }
}

void MacroActionList::ShowKey(int row, std::string_view keyTextId) {
    if (ActionRowWidget* widget = RowWidget(row)) {
        widget->ShowKey(keyTextId);
        UpdateSpoken(row, *widget);
    }
}

void MacroActionList::ShowDelay(int row, std::uint16_t delay) {
    if (ActionRowWidget* widget = RowWidget(row)) {
        widget->ShowDelay(delay);
        UpdateSpoken(row, *widget);
    }
}

void MacroStepEditor::Attach(QWidget* root, QObject* owner,
                             const std::unique_ptr<MacroWorkingCopy>& editor) {
    m_pEditBox = FindControl<QAbstractButton>(root, "wireless_macro_action_edit_check");
    m_pKeyEdit = FindControl<QLineEdit>(root, "wireless_macro_action_edit");
    m_pKeyDelayEdit = FindControl<QLineEdit>(root, "wireless_macro_delay_edit");
    m_pTabs = FindControl<QStackedWidget>(root, "wireless_macro_action_edit_tab");
    m_pMouseButtonCombo = FindControl<QComboBox>(root, "wireless_macro_mouse_action_combo");
    m_pMouseDelayEdit = FindControl<QLineEdit>(root, "wireless_macro_mouseaction_delay_edit");
    if (m_pTabs != nullptr) {
        m_pTabs->setCurrentIndex(0);  // the name area to begin with
    }
    // The box acts on toggled, not clicked: a screen reader toggles it without a click. The
    // program unchecks it with signals blocked.
    ConnectIf(m_pEditBox, &QAbstractButton::toggled, owner,
              WhenWired(editor, &MacroWorkingCopy::SetActionEditFlag));
    ConnectIf(m_pKeyDelayEdit, &QLineEdit::editingFinished, owner,
              WhenWired(editor, [this](MacroWorkingCopy& copy) {
                  copy.SetDelay(DelayEdit::Keyboard, m_pKeyDelayEdit->text().toStdString());
              }));
    ConnectIf(m_pMouseDelayEdit, &QLineEdit::editingFinished, owner,
              WhenWired(editor, [this](MacroWorkingCopy& copy) {
                  copy.SetDelay(DelayEdit::Mouse, m_pMouseDelayEdit->text().toStdString());
              }));
    ConnectIf(m_pMouseButtonCombo, &QComboBox::currentIndexChanged, owner,
              WhenWired(editor, [](MacroWorkingCopy& copy, int index) {
                  if (index >= 0) {
                      copy.SetMouseButton(index);
                  }
              }));
}

void MacroStepEditor::Show(const ActionEditorState& state) {
    if (m_pTabs != nullptr) {
        m_pTabs->setCurrentIndex(state.iPage);
    }
    QLineEdit* delayEdit = nullptr;
    if (state.iPage == 1) {
        if (m_pKeyEdit != nullptr) {
            m_pKeyEdit->setText(Tr(state.keyTextId));
        }
        delayEdit = m_pKeyDelayEdit;
    } else if (state.iPage == 2) {
        // The editor has set the step's button already; choosing it again would change nothing.
        SelectSilently(m_pMouseButtonCombo, state.iMouseComboIndex);
        delayEdit = m_pMouseDelayEdit;
    }
    if (delayEdit != nullptr) {
        delayEdit->setText(QString::number(state.wDelay));
        delayEdit->setEnabled(state.bDelayEnabled);
    }
}

void MacroStepEditor::ShowKey(std::string_view keyTextId) {
    ShowFieldText(m_pKeyEdit, Tr(keyTextId));
}

void MacroStepEditor::ShowMouseDelay(std::uint16_t delay) {
    if (m_pMouseDelayEdit != nullptr) {
        m_pMouseDelayEdit->setText(QString::number(delay));
    }
}

void MacroStepEditor::UncheckEditBox() {
    if (m_pEditBox != nullptr) {
        const QSignalBlocker blocker(m_pEditBox);
        m_pEditBox->setChecked(false);
    }
}

}  // namespace veltrix::gui
