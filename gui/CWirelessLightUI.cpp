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
    // Every handler goes through m_pRules, which exists from Wire on.
    const auto rules = [this] { return m_pRules.get(); };
    if (m_pModeList != nullptr) {
        connect(m_pModeList, &QComboBox::currentIndexChanged, this, [rules](int item) {
            if (auto* page = rules()) {
                page->OnModeChosen(item);
            }
        });
    }
    OnSliderSettled(m_pBrightnessSlider, this, [rules](int value) {
        if (auto* page = rules()) {
            page->OnBrightnessChanged(value);
        }
    });
    OnSliderSettled(m_pSpeedSlider, this, [rules](int value) {
        if (auto* page = rules()) {
            page->OnSpeedChanged(value);
        }
    });
    for (const ColorChannel channel : kChannels) {
        if (QLineEdit* edit = ChannelEdit(channel)) {
            // textChanged rather than textEdited, so that assistive tools that set the text
            // count as the user; the program's own texts are set with signals blocked.
            connect(edit, &QLineEdit::textChanged, this, [rules, channel](const QString& text) {
                if (auto* page = rules()) {
                    page->OnChannelEdited(channel, text.toStdString());
                }
            });
        }
    }
    for (std::size_t i = 0; i < m_apColorBtn.size(); ++i) {
        if (QAbstractButton* button = m_apColorBtn[i]) {
            connect(button, &QAbstractButton::clicked, this, [rules, i] {
                if (auto* page = rules()) {
                    page->OnPaletteClick(static_cast<int>(i));
                }
            });
        }
    }
    for (std::size_t i = 0; i < m_apPresetBtn.size(); ++i) {
        if (QAbstractButton* button = m_apPresetBtn[i]) {
            connect(button, &QAbstractButton::clicked, this, [rules, i] {
                if (auto* page = rules()) {
                    page->OnPresetClick(static_cast<int>(i));
                }
            });
        }
    }
    for (std::size_t i = 0; i < m_apDirectionBtn.size(); ++i) {
        // toggled rather than clicked: a screen reader toggles a direction without clicking it.
        // The program shows the direction with signals blocked.
        if (QAbstractButton* button = m_apDirectionBtn[i]) {
            connect(button, &QAbstractButton::toggled, this, [rules, i](bool checked) {
                if (auto* page = rules(); page != nullptr && checked) {
                    page->OnDirectionClick(static_cast<int>(i));
                }
            });
        }
    }
    if (m_pWheel != nullptr) {
        connect(m_pWheel, &ColorWheel::ColorChanged, this, [rules](QRgb color) {
            if (auto* page = rules()) {
                page->OnWheelMoved(color);
            }
        });
        connect(m_pWheel, &ColorWheel::ColorChangedButtonUp, this, [rules](QRgb color) {
            if (auto* page = rules()) {
                page->OnWheelReleased(color);
            }
        });
        connect(m_pWheel, &ColorWheel::ColorChangedByKey, this, [rules](QRgb color) {
            if (auto* page = rules()) {
                page->OnWheelKeyed(color);
            }
        });
    }
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
