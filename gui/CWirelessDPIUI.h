#pragma once

// The DPI page: DPI levels, their colours and the report rate. It renders what the DpiPage rules
// tell it and reports the user's events to them.

#include <array>
#include <memory>

#include "PageControls.h"
#include "SettingsPage.h"
#include "pages/DpiPage.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QSlider;

namespace veltrix::gui {

class CWirelessDPIUI final : public CSettingsPage, public DpiPageView {
    Q_OBJECT

  public:
    explicit CWirelessDPIUI(QWidget* parent = nullptr);
    ~CWirelessDPIUI() override;

    void Wire(const PageContext& context) override;
    void Reload() override;
    bool FlushHeldEdits(const ApplySender& send) override;
    // The mouse changed its current DPI level; the record holds it already.
    void ShowCurrentLevel(int level);

    // Test seam: the rules behind the page, null before Wire.
    veltrix::DpiPage* Rules() const { return m_pRules.get(); }

    // DpiPageView
    bool IsPageVisible() const override { return isVisible(); }
    void StartTimer(int id, std::chrono::milliseconds period) override;
    void StopTimer(int id) override;
    void SelectLevelButton(int level) override;
    void SetLevelText(int level, std::string_view text) override;
    void SetLevelTextId(int level, std::string_view textId) override;
    void SetLevelTextColor(int level, UiColor color) override;
    void SetLevelSlider(int level, int value) override;
    void SetLevelSwatch(int level, UiColor color) override;
    void SelectRate(int item) override;
    std::optional<UiColor> PickColor(int level, UiColor initial) override;
    void OpenMouseSettings() override;

  protected:
    void FindControls(QWidget* root) override;

  private:
    void ConnectControls();
    void ShowLevelValue(int level, const QString& text, bool notSet);

    std::array<QAbstractButton*, kDpiLevelCount> m_apLevelBtn{};
    std::array<QLabel*, kDpiLevelCount> m_apLevelValue{};
    std::array<QSlider*, kDpiLevelCount> m_apLevelSlider{};
    std::array<QAbstractButton*, kDpiLevelCount> m_apLevelColor{};
    QComboBox* m_pRateList = nullptr;
    QAbstractButton* m_pMouseSettingsBtn = nullptr;
    PageTimers m_timers;
    std::unique_ptr<veltrix::DpiPage> m_pRules;
};

}  // namespace veltrix::gui
