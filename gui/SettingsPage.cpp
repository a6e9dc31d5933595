#include "SettingsPage.h"

#include "Skin.h"

namespace veltrix::gui {

void CSettingsPage::DoInit() {
    if (m_bInitialised) {
        return;
    }
    m_bInitialised = true;
    FindControls(LoadLayout(m_layoutFile, this));
}

}  // namespace veltrix::gui
