#include "CWirelessButtonUI.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>

#include "Language.h"
#include "PageControls.h"
#include "Skin.h"
#include "pages/ButtonEditor.h"

namespace veltrix::gui {
namespace {

// The design names of the lists, by ButtonList.
constexpr std::array<const char*, kButtonListCount> kListNames = {
    "wireless_button_type_combo",      "wireless_mouse_type_combo",
    "wireless_media_type_combo",       "wireless_shortcut_type_combo",
    "wireless_system_type_combo",      "wireless_dpi_type_combo",
    "wireless_profile_type_combo",     "wireless_macro_type_combo",
    "wireless_macro_repeat_mode_combo"};

// Room the button's padding and border take from its text.
constexpr int kLabelPadding = 24;
constexpr int kMacroItemHeight = 25;

std::size_t Index(int button) {
    return static_cast<std::size_t>(button);
}

QString FromId(std::string_view textId) {
    return textId.empty() ? QString() : Tr(textId);
}

}  // namespace

CWirelessButtonUI::CWirelessButtonUI(QWidget* parent)
    : CSettingsPage(parent, "wirelessbuttonpage.ui") {}

CWirelessButtonUI::~CWirelessButtonUI() = default;

void CWirelessButtonUI::FindControls(QWidget* root) {
    for (int button = 0; button < kShownButtonCount; ++button) {
        m_apButton[Index(button)] =
            FindControl<QAbstractButton>(root, QString("wireless_button%1_btn").arg(button + 1));
        m_apKeyMark[Index(button)] =
            FindControl<QWidget>(root, QString("wireless_key%1_control").arg(button + 1));
    }
    m_pFunctionPanel = FindControl<QWidget>(root, "wireless_button_function_hor");
    m_pIdleHint = FindControl<QWidget>(root, "wireless_button_idle_hint");
    for (QWidget* mark : m_apKeyMark) {
        if (mark != nullptr) {
            mark->hide();
        }
    }
    ShowFunctionPanel(false);
    ConnectControls();
}

// The panel is built when a button is first chosen: until then it would only cost the start-up
// its nine lists, a key field and their styling, for a panel many never open.
bool CWirelessButtonUI::BuildPanel() {
    if (m_bPanelBuilt) {
        return true;
    }
    if (m_pFunctionPanel == nullptr) {
        return false;
    }
    m_bPanelBuilt = true;
    // Laid out edge to edge in the panel, which keeps the size and frame the page gives it.
    QWidget* body = LoadLayout("wirelessbuttonpanel.ui", m_pFunctionPanel);
    if (body == nullptr) {
        return false;
    }
    for (std::size_t list = 0; list < kListNames.size(); ++list) {
        m_apList[list] = FindControl<QComboBox>(body, kListNames[list]);
    }
    m_pCategoryTabs = FindControl<QStackedWidget>(body, "wireless_button_type_tab_switch");
    m_pKeyEdit = FindControl<QLineEdit>(body, "wireless_keyboard_type_edit");
    m_pLoopRow = FindControl<QWidget>(body, "wireless_loop_times_hor");
    m_pLoopEdit = FindControl<QLineEdit>(body, "wireless_loop_times_edit");
    m_pApply = FindControl<QAbstractButton>(body, "wireless_button_apply_btn");
    m_pCancel = FindControl<QAbstractButton>(body, "wireless_button_cancel_btn");
    if (m_pKeyEdit != nullptr) {
        m_pKeyEdit->setReadOnly(true);
        m_pKeyEdit->installEventFilter(this);
    }
    // The editor starts with nothing selected in any list; so do the lists.
    for (int list = 0; list < kButtonListCount; ++list) {
        ShowListSelection(static_cast<ButtonList>(list), -1);
    }
    ConnectPanelControls();
    IfWired(m_pRules, &ButtonEditor::FillMacroList);
    Q_EMIT PanelBuilt(body);
    return true;
}

void CWirelessButtonUI::ConnectControls() {
    for (int button = 0; button < kShownButtonCount; ++button) {
        if (QAbstractButton* control = m_apButton[Index(button)]) {
            control->setCheckable(true);
            control->installEventFilter(this);
            // toggled rather than clicked: a screen reader toggles a checkable button without
            // clicking it. The program checks and unchecks them with signals blocked.
            connect(control, &QAbstractButton::toggled, this,
                    [this, button](bool checked) { OnButtonClicked(button, checked); });
        }
    }
    if (m_pFunctionPanel != nullptr) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_pFunctionPanel);
        escape->setContext(Qt::WidgetWithChildrenShortcut);
        connect(escape, &QShortcut::activated, this,
                [this] { IfWired(m_pRules, &ButtonEditor::OnEscape); });
    }
}

void CWirelessButtonUI::ConnectPanelControls() {
    // Every change the program makes to a list is blocked, so what arrives here is the user's.
    for (int list = 0; list < kButtonListCount; ++list) {
        if (QComboBox* combo = m_apList[static_cast<std::size_t>(list)]) {
            connect(combo, &QComboBox::currentIndexChanged, this, [this, list](int item) {
                IfWired(m_pRules, &ButtonEditor::ChooseFunction, static_cast<ButtonList>(list),
                        item);
            });
        }
    }
    if (m_pLoopEdit != nullptr) {
        m_pLoopEdit->installEventFilter(this);
        connect(m_pLoopEdit, &QLineEdit::returnPressed, this,
                &CWirelessButtonUI::CommitRepeatCount);
    }
    ConnectIf(m_pApply, &QAbstractButton::clicked, this, &CWirelessButtonUI::OnApply);
    ConnectIf(m_pCancel, &QAbstractButton::clicked, this, &CWirelessButtonUI::ResetSelection);
}

void CWirelessButtonUI::Wire(const PageContext& context) {
    CSettingsPage::Wire(context);
    // An empty context unwires the page: nothing it was handed may be used after that.
    m_pRules.reset();
    if (context.pSettings == nullptr || context.pMacroStore == nullptr ||
        context.pHooks == nullptr || context.pCaptureFlags == nullptr) {
        return;
    }
    m_pRules =
        std::make_unique<ButtonEditor>(*context.pSettings, *context.pMacroStore, *this,
                                       *context.pHooks, *context.pCaptureFlags, context.mainWindow);
}

void CWirelessButtonUI::Reload() {
    IfWired(m_pRules, &ButtonEditor::Reload);
}

void CWirelessButtonUI::RefreshButtons() {
    IfWired(m_pRules, &ButtonEditor::RefreshButtons);
}

void CWirelessButtonUI::RenameMacro(const QString& oldName, const QString& newName) {
    IfWired(m_pRules, &ButtonEditor::RenameMacro, oldName.toStdU16String(),
            newName.toStdU16String());
}

void CWirelessButtonUI::FillMacroList() {
    IfWired(m_pRules, &ButtonEditor::FillMacroList);
}

int CWirelessButtonUI::SelectedButton() const {
    return m_pRules != nullptr ? m_pRules->SelectedButton() : -1;
}

void CWirelessButtonUI::CaptureKey(std::uint32_t virtualKey, std::uint32_t flag) {
    IfWired(m_pRules, &ButtonEditor::CaptureKey, virtualKey, flag);
}

void CWirelessButtonUI::EndCapture() {
    IfWired(m_pRules, &ButtonEditor::EndKeyCapture);
}

void CWirelessButtonUI::ResetSelection() {
    IfWired(m_pRules, &ButtonEditor::ResetSelection);
}

void CWirelessButtonUI::OnButtonClicked(int button, bool checked) {
    QAbstractButton* control = m_apButton[Index(button)];
    // Clicking the button being edited again changes nothing: it stays the chosen one.
    if (!checked && m_pRules != nullptr && m_pRules->SelectedButton() == button) {
        const QSignalBlocker blocker(control);
        control->setChecked(true);
        return;
    }
    IfWired(m_pRules, &ButtonEditor::SelectButton, button);
    if (m_pRules == nullptr || m_pRules->SelectedButton() != button) {
        const QSignalBlocker blocker(control);
        control->setChecked(false);
    }
}

// A screen reader's press does not move the focus, so the count the user typed would otherwise
// never be committed.
void CWirelessButtonUI::OnApply() {
    if (m_pRules == nullptr) {
        return;
    }
    if (m_pLoopEdit != nullptr && m_pLoopEdit->isVisibleTo(this)) {
        CommitRepeatCount();
    }
    m_pRules->ApplyButton();
}

void CWirelessButtonUI::CommitRepeatCount() {
    if (m_pRules != nullptr && m_pLoopEdit != nullptr) {
        m_pRules->CommitRepeatCount(m_pLoopEdit->text().toStdString());
    }
}

bool CWirelessButtonUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pLoopEdit && event->type() == QEvent::FocusOut) {
        CommitRepeatCount();
    } else if (watched == m_pKeyEdit && m_pRules != nullptr) {
        ButtonEditor& editor = *m_pRules;
        if (FilterKeyFieldEvent(event, {[&editor] { editor.ArmKeyCapture(); },
                                        [&editor] { editor.EndKeyCapture(); },
                                        [&editor] { return editor.KeyFieldOwnsKeyPress(); },
                                        [&editor] { editor.KeyFieldKeyReleased(); }})) {
            return true;
        }
    } else if (const int button = ButtonOf(watched); button >= 0 && m_pRules != nullptr) {
        // A button that cannot be chosen does not light up under the pointer.
        if (event->type() == QEvent::Enter && m_apButton[Index(button)]->isEnabled()) {
            m_pRules->PointerEnteredButton(button);
        } else if (event->type() == QEvent::Leave) {
            m_pRules->PointerLeftButton(button);
        }
    }
    return CSettingsPage::eventFilter(watched, event);
}

int CWirelessButtonUI::ButtonOf(QObject* object) const {
    for (int button = 0; button < kShownButtonCount; ++button) {
        if (m_apButton[Index(button)] == object) {
            return button;
        }
    }
    return -1;
}

QComboBox* CWirelessButtonUI::List(ButtonList list) const {
    return m_apList[static_cast<std::size_t>(list)];
}

void CWirelessButtonUI::ShowButtonEnabled(int button, bool enabled) {
    if (QAbstractButton* control = m_apButton.at(Index(button))) {
        control->setEnabled(enabled);
    }
}

void CWirelessButtonUI::ShowButtonChecked(int button, bool checked) {
    if (QAbstractButton* control = m_apButton.at(Index(button))) {
        const QSignalBlocker blocker(control);
        control->setChecked(checked);
    }
}

void CWirelessButtonUI::ShowButtonLabel(int button, std::string_view textId) {
    ShowLabel(button, FromId(textId));
}

void CWirelessButtonUI::ShowButtonMacroName(int button, std::u16string_view name) {
    ShowLabel(button, QString(reinterpret_cast<const QChar*>(name.data()),
                              static_cast<qsizetype>(name.size())));
}

// Long names (a macro's, above all) are cut to the button; the tooltip and the accessible name
// keep them whole.
void CWirelessButtonUI::ShowLabel(int button, const QString& text) {
    QAbstractButton* control = m_apButton.at(Index(button));
    if (control == nullptr) {
        return;
    }
    control->ensurePolished();
    control->setText(
        control->fontMetrics().elidedText(text, Qt::ElideRight, control->width() - kLabelPadding));
    control->setToolTip(text);
    const QString name = Tr("a11y_button_n_text").arg(button + 1);
    control->setAccessibleName(text.isEmpty() ? name : name + ": " + text);
}

void CWirelessButtonUI::ShowKeyMark(int button, bool shown) {
    if (QWidget* mark = m_apKeyMark.at(Index(button))) {
        mark->setVisible(shown);
    }
}

void CWirelessButtonUI::ShowFunctionPanel(bool shown) {
    if (shown) {
        BuildPanel();
    }
    if (m_pFunctionPanel != nullptr) {
        // The keyboard stays with the button that was edited rather than leaving the page.
        const int button = SelectedButton();
        if (!shown && button >= 0 && m_apButton.at(Index(button)) != nullptr &&
            m_pFunctionPanel->isAncestorOf(QApplication::focusWidget())) {
            m_apButton.at(Index(button))->setFocus(Qt::OtherFocusReason);
        }
        m_pFunctionPanel->setVisible(shown);
    }
    if (m_pIdleHint != nullptr) {
        m_pIdleHint->setVisible(!shown);
    }
}

void CWirelessButtonUI::ShowCategoryTab(int category) {
    BuildPanel();
    if (m_pCategoryTabs != nullptr && category >= 0 && category < m_pCategoryTabs->count()) {
        m_pCategoryTabs->setCurrentIndex(category);
    }
}

void CWirelessButtonUI::ShowListSelection(ButtonList list, int item) {
    BuildPanel();
    if (QComboBox* combo = List(list)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(item);
    }
}

void CWirelessButtonUI::ShowListTextAsTooltip(ButtonList list) {
    BuildPanel();
    if (QComboBox* combo = List(list)) {
        combo->setToolTip(combo->currentText());
    }
}

void CWirelessButtonUI::ShowMacroItems(std::span<const std::u16string_view> names) {
    // A panel not built yet is filled when it is.
    QComboBox* combo = List(ButtonList::Macro);
    if (combo == nullptr) {
        return;
    }
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const std::u16string_view name : names) {
        combo->addItem(QString(reinterpret_cast<const QChar*>(name.data()),
                               static_cast<qsizetype>(name.size())));
        combo->setItemData(combo->count() - 1, QSize(0, kMacroItemHeight), Qt::SizeHintRole);
    }
    combo->setCurrentIndex(-1);
    combo->setPlaceholderText(
        Tr(names.empty() ? "button_no_macro_text" : "button_choose_macro_text"));
}

void CWirelessButtonUI::ShowKeyText(std::string_view keyTextId) {
    BuildPanel();
    ShowFieldText(m_pKeyEdit, FromId(keyTextId));
}

void CWirelessButtonUI::ShowLoopRow(bool shown) {
    BuildPanel();
    if (m_pLoopRow != nullptr) {
        m_pLoopRow->setVisible(shown);
    }
}

void CWirelessButtonUI::ShowLoopCount(int count) {
    BuildPanel();
    if (m_pLoopEdit != nullptr) {
        m_pLoopEdit->setText(QString::number(count));
    }
}

}  // namespace veltrix::gui
