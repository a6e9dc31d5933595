#pragma once

// The macro page: macro list, action editor and recording.

#include <cstdint>

#include "SettingsPage.h"

namespace veltrix::gui {

class CWirelessMacroUI : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CWirelessMacroUI(QWidget* parent = nullptr)
        : CSettingsPage(parent, "wirelessmacropage.ui") {}

    // Hook events while the macro recording flag or the macro key edit flag is set.
    virtual void RecordEvent(std::uint32_t /*code*/, std::uint32_t /*flag*/) {}
    virtual void SetKey(std::uint32_t /*virtualKey*/) {}
    // Edits that are neither saved nor cancelled keep the user on this page.
    virtual bool Unsaved() const { return false; }
    virtual void ShowSaveNotice() {}
};

}  // namespace veltrix::gui
