#pragma once

// The DPI page: DPI levels, their colours and the report rate.

#include <cstdint>

#include "SettingsPage.h"

namespace veltrix::gui {

class CWirelessDPIUI : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CWirelessDPIUI(QWidget* parent = nullptr)
        : CSettingsPage(parent, "wirelessdpipage.ui") {}

    // The mouse changed its current DPI level; the record holds it already.
    virtual void ShowCurrentLevel(int /*level*/) {}
};

}  // namespace veltrix::gui
