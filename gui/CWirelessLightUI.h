#pragma once

// The lighting page: lighting mode, brightness, speed, direction and colours. It renders what
// the LightingPage rules tell it and reports the user's events to them.

#include <array>
#include <memory>

#include "PageControls.h"
#include "SettingsPage.h"
#include "pages/LightingPage.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace veltrix::gui {

class ColorWheel;

class CWirelessLightUI final : public CSettingsPage, public LightingPageView {
    Q_OBJECT

  public:
    explicit CWirelessLightUI(QWidget* parent = nullptr);
    ~CWirelessLightUI() override;

    void Wire(const PageContext& context) override;
    void Reload() override;
    bool FlushHeldEdits(const ApplySender& send) override;

    // Test seam: the rules behind the page, null before Wire.
    veltrix::LightingPage* Rules() const { return m_pRules.get(); }

    // LightingPageView
    bool IsPageVisible() const override { return isVisible(); }
    void StartTimer(int id, std::chrono::milliseconds period) override;
    void StopTimer(int id) override;
    void SelectMode(int item) override;
    void SetModeTooltip(std::string_view textId) override;
    void SetBrightnessSlider(int value) override;
    void SetSpeedSlider(int value) override;
    void ShowGroups(const LightGroups& groups) override;
    void SetChannelText(ColorChannel channel, std::string_view text) override;
    void SetColorPreview(UiColor color) override;
    void SetWheelColor(UiColor color) override;
    void SetPresetPreview(UiColor color) override;
    void ShowDirection(int direction) override;

  protected:
    void FindControls(QWidget* root) override;

  private:
    void ConnectControls();
    QLineEdit* ChannelEdit(ColorChannel channel) const;
    void ShowModeCard(const QString& name, const QString& about);

    QComboBox* m_pModeList = nullptr;
    QSlider* m_pBrightnessSlider = nullptr;
    QSlider* m_pSpeedSlider = nullptr;
    QWidget* m_pPreview = nullptr;
    std::array<QLineEdit*, 3> m_apChannelEdit{};  // red, green, blue
    std::array<QAbstractButton*, kPaletteColors.size()> m_apColorBtn{};
    ColorWheel* m_pWheel = nullptr;
    std::array<QAbstractButton*, 2> m_apDirectionBtn{};
    QAbstractButton* m_pSynchronizeBtn = nullptr;
    QWidget* m_pBrightnessGroup = nullptr;
    QWidget* m_pSpeedGroup = nullptr;
    QWidget* m_pColorGroup = nullptr;
    QWidget* m_pPresetGroup = nullptr;
    // The chosen mode's name and what it does.
    QLabel* m_pModeName = nullptr;
    QLabel* m_pModeAbout = nullptr;
    QWidget* m_pPresetPreview = nullptr;
    std::array<QAbstractButton*, kPresetColors.size()> m_apPresetBtn{};
    PageTimers m_timers;
    std::unique_ptr<veltrix::LightingPage> m_pRules;
};

}  // namespace veltrix::gui
