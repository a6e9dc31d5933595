#pragma once

// The button assignment page: twelve buttons.

#include <cstdint>

#include "SettingsPage.h"

namespace veltrix::gui {

class CWirelessButtonUI : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CWirelessButtonUI(QWidget* parent = nullptr)
        : CSettingsPage(parent, "wirelessbuttonpage.ui") {}

    // The button being edited, 0 to 11; -1 when none (hook events are not forwarded then).
    virtual int SelectedButton() const { return -1; }
    // A key from the input hook while the button-capture flag is set.
    virtual void CaptureKey(std::uint32_t /*virtualKey*/) {}
    // Ends the editing state (after a reset of the record).
    virtual void ResetSelection() {}
};

}  // namespace veltrix::gui
