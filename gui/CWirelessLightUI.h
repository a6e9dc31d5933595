#pragma once

// The lighting page: lighting mode, brightness, speed and colours.

#include <cstdint>

#include "SettingsPage.h"

namespace veltrix::gui {

class CWirelessLightUI : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CWirelessLightUI(QWidget* parent = nullptr)
        : CSettingsPage(parent, "wirelesslightpage.ui") {}
};

}  // namespace veltrix::gui
