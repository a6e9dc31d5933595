#include "CWirelessDPIUI.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QSlider>
#include <QStandardPaths>

#include "CDpiColorWnd.h"
#include "CMsgWnd.h"
#include "Language.h"
#include "Skin.h"
#include "pages/MouseSettingsCommand.h"

namespace veltrix::gui {
namespace {

// The colour picker opens under the swatch, this far to its left.
constexpr int kPickerOffsetX = 140;

std::size_t At(int level) {
    return static_cast<std::size_t>(level);
}

bool IsLevel(int level) {
    return level >= 0 && level < kDpiLevelCount;
}

}  // namespace

CWirelessDPIUI::CWirelessDPIUI(QWidget* parent)
    : CSettingsPage(parent, "wirelessdpipage.ui"),
      m_timers(this, [this](int id) { IfWired(m_pRules, &DpiPage::OnTimer, id); }) {}

CWirelessDPIUI::~CWirelessDPIUI() = default;

void CWirelessDPIUI::FindControls(QWidget* root) {
    for (int level = 0; level < kDpiLevelCount; ++level) {
        const int number = level + 1;
        m_apLevelBtn[At(level)] =
            FindControl<QAbstractButton>(root, QString("wireless_dpi_btn_%1").arg(number));
        m_apLevelValue[At(level)] =
            FindControl<QLabel>(root, QString("wireless_dpi_value_%1").arg(number));
        m_apLevelSlider[At(level)] =
            FindControl<QSlider>(root, QString("wireless_dpi%1_slider").arg(number));
        m_apLevelColor[At(level)] =
            FindControl<QAbstractButton>(root, QString("wireless_dpi_color%1").arg(number));
    }
    m_pRateList = FindControl<QComboBox>(root, "wireless_polling_rate_combo");
    m_pMouseSettingsBtn = FindControl<QAbstractButton>(root, "mouse_attibute_btn");
    for (QSlider* slider : m_apLevelSlider) {
        if (slider != nullptr) {
            slider->setRange(kDpiSliderMin, kDpiSliderMax);
            slider->setSingleStep(kDpiSliderStep);
        }
    }
    ConnectControls();
}

void CWirelessDPIUI::ConnectControls() {
    // Every handler goes through m_pRules, which exists from Wire on; before that the controls
    // show nothing a user could change meaningfully, and their events are dropped.
    for (int level = 0; level < kDpiLevelCount; ++level) {
        // toggled rather than clicked: a screen reader toggles a level without clicking it. The
        // program marks levels with signals blocked.
        ConnectIf(m_apLevelBtn[At(level)], &QAbstractButton::toggled, this,
                  [this, level](bool checked) {
                      if (checked) {
                          IfWired(m_pRules, &DpiPage::OnLevelClick, level);
                      }
                  });
        ConnectIf(m_apLevelColor[At(level)], &QAbstractButton::clicked, this,
                  [this, level] { IfWired(m_pRules, &DpiPage::OnSwatchClick, level); });
        if (QSlider* slider = m_apLevelSlider[At(level)]) {
            OnSliderSettled(slider, this, [this, level](int value) {
                IfWired(m_pRules, &DpiPage::OnSliderReleased, level, value);
            });
            connect(slider, &QSlider::sliderMoved, this, [this, level](int value) {
                IfWired(m_pRules, &DpiPage::OnSliderMoved, level, value);
            });
        }
    }
    ConnectIf(m_pRateList, &QComboBox::currentIndexChanged, this,
              WhenWired(m_pRules, &DpiPage::OnRateChosen));
    ConnectIf(m_pMouseSettingsBtn, &QAbstractButton::clicked, this,
              WhenWired(m_pRules, &DpiPage::OnMouseSettingsClick));
}

void CWirelessDPIUI::Wire(const PageContext& context) {
    CSettingsPage::Wire(context);
    m_pRules.reset();
    if (context.pSettings != nullptr) {
        m_pRules =
            std::make_unique<veltrix::DpiPage>(*context.pSettings, *this, context.mainWindow);
    }
}

bool CWirelessDPIUI::FlushHeldEdits(const ApplySender& send) {
    return m_pRules != nullptr && m_pRules->FlushHeldEdits(send);
}

void CWirelessDPIUI::Reload() {
    IfWired(m_pRules, &DpiPage::Reload);
}

void CWirelessDPIUI::ShowCurrentLevel(int level) {
    IfWired(m_pRules, &DpiPage::ShowCurrentLevel, level);
}

void CWirelessDPIUI::StartTimer(int id, std::chrono::milliseconds period) {
    m_timers.Start(id, period);
}

void CWirelessDPIUI::StopTimer(int id) {
    m_timers.Stop(id);
}

void CWirelessDPIUI::SelectLevelButton(int level) {
    CheckOnly(m_apLevelBtn, level);
}

void CWirelessDPIUI::SetLevelText(int level, std::string_view text) {
    ShowLevelValue(level, QtText(text), false);
}

void CWirelessDPIUI::SetLevelTextId(int level, std::string_view textId) {
    ShowLevelValue(level, Tr(textId), true);
}

// A slider reads its position to assistive tools; at its minimum for a level without a value,
// that position would be taken for the level's value, so its description says what the label does.
void CWirelessDPIUI::ShowLevelValue(int level, const QString& text, bool notSet) {
    if (!IsLevel(level)) {
        return;
    }
    if (QLabel* label = m_apLevelValue[At(level)]) {
        label->setText(text);
    }
    if (QSlider* slider = m_apLevelSlider[At(level)]) {
        slider->setAccessibleDescription(notSet ? text : QString());
    }
}

void CWirelessDPIUI::SetLevelTextColor(int level, UiColor color) {
    if (IsLevel(level)) {
        SetTextColor(m_apLevelValue[At(level)], color);
    }
}

void CWirelessDPIUI::SetLevelSlider(int level, int value) {
    if (IsLevel(level)) {
        SetSliderSilently(m_apLevelSlider[At(level)], value);
    }
}

void CWirelessDPIUI::SetLevelSwatch(int level, UiColor color) {
    if (IsLevel(level)) {
        PaintSwatch(m_apLevelColor[At(level)], color);
    }
}

void CWirelessDPIUI::SelectRate(int item) {
    SelectSilently(m_pRateList, item);
}

std::optional<UiColor> CWirelessDPIUI::PickColor(int level, UiColor initial) {
    QWidget* owner = Context().pDialogOwner != nullptr ? Context().pDialogOwner : window();
    QWidget* swatch = IsLevel(level) ? m_apLevelColor[At(level)] : nullptr;
    // Under the swatch and to its left, wherever the window is on the screen.
    const QPoint topLeft = swatch != nullptr
                               ? swatch->mapToGlobal(QPoint(-kPickerOffsetX, swatch->height()))
                               : owner->mapToGlobal(QPoint(0, 0));
    CDpiColorWnd picker(owner, initial, topLeft);
    if (picker.ShowModal() != 1) {
        return std::nullopt;
    }
    return picker.SelectedColor();
}

void CWirelessDPIUI::OpenMouseSettings() {
    const auto installed = [](std::string_view program) {
        return !QStandardPaths::findExecutable(QtText(program)).isEmpty();
    };
    const std::optional<std::vector<std::string>> command =
        MouseSettingsCommand(qgetenv("XDG_CURRENT_DESKTOP").toStdString(), installed);
    QStringList arguments;
    for (std::size_t i = 1; command && i < command->size(); ++i) {
        arguments << QString::fromStdString((*command)[i]);
    }
    // Detached: the settings program lives on by itself and is never waited for. A click that
    // opens nothing would look like a broken button, so the user is told.
    if (!command || !QProcess::startDetached(QString::fromStdString(command->front()), arguments)) {
        QWidget* owner = Context().pDialogOwner != nullptr ? Context().pDialogOwner : window();
        CMsgWnd::Tell(owner, "warning_title_text", "mouse_settings_unknown_text");
    }
}

}  // namespace veltrix::gui
