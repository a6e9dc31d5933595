#include "CWirelessLightUI.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "ColorWheel.h"
#include "Language.h"
#include "Skin.h"

namespace veltrix::gui {
namespace {

constexpr std::array kChannels = {ColorChannel::Red, ColorChannel::Green, ColorChannel::Blue};

void ShowIf(QWidget* widget, bool shown) {
    if (widget != nullptr) {
        widget->setVisible(shown);
    }
}

// Paints each button of a colour row in its own colour.
template <std::size_t N>
void PaintRow(const std::array<QAbstractButton*, N>& buttons,
              const std::array<UiColor, N>& colors) {
    for (std::size_t i = 0; i < N; ++i) {
        PaintSwatch(buttons[i], colors[i]);
    }
}

}  // namespace

CWirelessLightUI::CWirelessLightUI(QWidget* parent)
    : CSettingsPage(parent, "wirelesslightpage.ui"),
      m_timers(this, [this](int id) { IfWired(m_pRules, &LightingPage::OnTimer, id); }) {}

CWirelessLightUI::~CWirelessLightUI() = default;

void CWirelessLightUI::FindControls(QWidget* root) {
    m_pModeList = FindControl<QComboBox>(root, "wireless_light_mode_combo");
    m_pBrightnessSlider = FindControl<QSlider>(root, "wireless_brightness_slider");
    m_pSpeedSlider = FindControl<QSlider>(root, "wireless_breathing_slider");
    m_pPreview = FindControl<QWidget>(root, "wireless_preview_control");
    m_apChannelEdit = {FindControl<QLineEdit>(root, "wireless_r_edit"),
                       FindControl<QLineEdit>(root, "wireless_g_edit"),
                       FindControl<QLineEdit>(root, "wireless_b_edit")};
    for (std::size_t i = 0; i < m_apColorBtn.size(); ++i) {
        m_apColorBtn[i] =
            FindControl<QAbstractButton>(root, QString("wireless_color_btn%1").arg(i + 1));
    }
    m_pWheel = FindControl<ColorWheel>(root, "wireless_light_color_pallet");
    for (std::size_t i = 0; i < m_apDirectionBtn.size(); ++i) {
        m_apDirectionBtn[i] =
            FindControl<QAbstractButton>(root, QString("wireless_direction_%1").arg(i + 1));
    }
    m_pSynchronizeBtn = FindControl<QAbstractButton>(root, "wireless_synchronize_btn");
    if (m_pSynchronizeBtn != nullptr) {
        // The mouse keeps its lighting itself and every change is sent as it is made: there is
        // nothing left to synchronize, and a button that does nothing must not look live.
        m_pSynchronizeBtn->setEnabled(false);
        m_pSynchronizeBtn->unsetCursor();
        m_pSynchronizeBtn->setToolTip(Tr("synchronize_tip_text"));
        m_pSynchronizeBtn->setAccessibleDescription(Tr("synchronize_tip_text"));
    }
    m_pBrightnessGroup = FindControl<QWidget>(root, "wireless_brightness_ver");
    m_pSpeedGroup = FindControl<QWidget>(root, "wireless_breath_ver");
    m_pColorGroup = FindControl<QWidget>(root, "wireless_color_hor");
    m_pPresetGroup = FindControl<QWidget>(root, "wireless_color_ver");
    m_pModeName = FindControl<QLabel>(root, "light_mode_name");
    m_pModeAbout = FindControl<QLabel>(root, "light_mode_about");
    m_pPresetPreview = FindControl<QWidget>(root, "wireless_preview_control_1");
    for (std::size_t i = 0; i < m_apPresetBtn.size(); ++i) {
        m_apPresetBtn[i] =
            FindControl<QAbstractButton>(root, QString("wireless_color_btn%1_1").arg(i + 1));
    }

    if (m_pModeList != nullptr) {
        m_pModeList->setMaxVisibleItems(kLightModeCount);
    }
    if (m_pBrightnessSlider != nullptr) {
        m_pBrightnessSlider->setRange(kBrightnessMin, kBrightnessMax);
    }
    if (m_pSpeedSlider != nullptr) {
        m_pSpeedSlider->setRange(kSpeedMin, kSpeedMax);
    }
    PaintRow(m_apColorBtn, kPaletteColors);
    PaintRow(m_apPresetBtn, kPresetColors);
    ShowGroups({});
    ConnectControls();
}

void CWirelessLightUI::ConnectControls() {
    using Rules = veltrix::LightingPage;
    ConnectIf(m_pModeList, &QComboBox::currentIndexChanged, this,
              WhenWired(m_pRules, &Rules::OnModeChosen));
    OnSliderSettled(m_pBrightnessSlider, this, WhenWired(m_pRules, &Rules::OnBrightnessChanged));
    OnSliderSettled(m_pSpeedSlider, this, WhenWired(m_pRules, &Rules::OnSpeedChanged));
    for (const ColorChannel channel : kChannels) {
        // textChanged rather than textEdited, so that assistive tools that set the text count as
        // the user; the program's own texts are set with signals blocked.
        ConnectIf(ChannelEdit(channel), &QLineEdit::textChanged, this,
                  WhenWired(m_pRules, [channel](Rules& rules, const QString& text) {
                      rules.OnChannelEdited(channel, text.toStdString());
                  }));
    }
    for (std::size_t i = 0; i < m_apColorBtn.size(); ++i) {
        ConnectIf(
            m_apColorBtn[i], &QAbstractButton::clicked, this,
            WhenWired(m_pRules, [i](Rules& rules) { rules.OnPaletteClick(static_cast<int>(i)); }));
    }
    for (std::size_t i = 0; i < m_apPresetBtn.size(); ++i) {
        ConnectIf(
            m_apPresetBtn[i], &QAbstractButton::clicked, this,
            WhenWired(m_pRules, [i](Rules& rules) { rules.OnPresetClick(static_cast<int>(i)); }));
    }
    for (std::size_t i = 0; i < m_apDirectionBtn.size(); ++i) {
        // toggled rather than clicked: a screen reader toggles a direction without clicking it.
        // The program shows the direction with signals blocked.
        ConnectIf(m_apDirectionBtn[i], &QAbstractButton::toggled, this,
                  WhenWired(m_pRules, [i](Rules& rules, bool checked) {
                      if (checked) {
                          rules.OnDirectionClick(static_cast<int>(i));
                      }
                  }));
    }
    ConnectIf(m_pWheel, &ColorWheel::ColorChanged, this, WhenWired(m_pRules, &Rules::OnWheelMoved));
    ConnectIf(m_pWheel, &ColorWheel::ColorChangedButtonUp, this,
              WhenWired(m_pRules, &Rules::OnWheelReleased));
    ConnectIf(m_pWheel, &ColorWheel::ColorChangedByKey, this,
              WhenWired(m_pRules, &Rules::OnWheelKeyed));
}

void CWirelessLightUI::Wire(const PageContext& context) {
    CSettingsPage::Wire(context);
    m_pRules.reset();
    if (context.pSettings != nullptr) {
        m_pRules =
            std::make_unique<veltrix::LightingPage>(*context.pSettings, *this, context.mainWindow);
    }
}

bool CWirelessLightUI::FlushHeldEdits(const ApplySender& send) {
    return m_pRules != nullptr && m_pRules->FlushHeldEdits(send);
}

void CWirelessLightUI::Reload() {
    IfWired(m_pRules, &LightingPage::Reload);
}

void CWirelessLightUI::StartTimer(int id, std::chrono::milliseconds period) {
    m_timers.Start(id, period);
}

void CWirelessLightUI::StopTimer(int id) {
    m_timers.Stop(id);
}

void CWirelessLightUI::SelectMode(int item) {
    SelectSilently(m_pModeList, item);
    if (item < 0) {
        ShowModeCard({}, {});
    }
}

void CWirelessLightUI::SetModeTooltip(std::string_view textId) {
    if (m_pModeList != nullptr) {
        m_pModeList->setToolTip(Tr(textId));
    }
    // The card below the groups names the mode and says what it does.
    ShowModeCard(Tr(textId), Tr(std::string(textId) + "_about"));
}

void CWirelessLightUI::ShowModeCard(const QString& name, const QString& about) {
    if (m_pModeName != nullptr) {
        m_pModeName->setText(name);
    }
    if (m_pModeAbout != nullptr) {
        m_pModeAbout->setText(about);
    }
}

void CWirelessLightUI::SetBrightnessSlider(int value) {
    SetSliderSilently(m_pBrightnessSlider, value);
}

void CWirelessLightUI::SetSpeedSlider(int value) {
    SetSliderSilently(m_pSpeedSlider, value);
}

void CWirelessLightUI::ShowGroups(const LightGroups& groups) {
    ShowIf(m_pBrightnessGroup, groups.bBrightness);
    ShowIf(m_pSpeedGroup, groups.bSpeed);
    ShowIf(m_pColorGroup, groups.bColor);
    ShowIf(m_pPresetGroup, groups.bPreset);
}

QLineEdit* CWirelessLightUI::ChannelEdit(ColorChannel channel) const {
    switch (channel) {
        case ColorChannel::Red:
            return m_apChannelEdit[0];
        case ColorChannel::Green:
            return m_apChannelEdit[1];
        case ColorChannel::Blue:
            return m_apChannelEdit[2];
    }
    return nullptr;
}

void CWirelessLightUI::SetChannelText(ColorChannel channel, std::string_view text) {
    SetTextSilently(ChannelEdit(channel), QtText(text));
}

void CWirelessLightUI::SetColorPreview(UiColor color) {
    PaintSwatch(m_pPreview, color);
}

void CWirelessLightUI::SetWheelColor(UiColor color) {
    if (m_pWheel != nullptr) {
        m_pWheel->SetColor(color);
    }
}

void CWirelessLightUI::SetPresetPreview(UiColor color) {
    PaintSwatch(m_pPresetPreview, color);
}

void CWirelessLightUI::ShowDirection(int direction) {
    CheckOnly(m_apDirectionBtn, direction);
}

}  // namespace veltrix::gui
