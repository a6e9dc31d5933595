#include "SettingsPage.h"

#include "Skin.h"

namespace veltrix::gui {

void CSettingsPage::DoInit() {
    if (m_bInitialised) {
        return;
    }
    m_bInitialised = true;
    QWidget* root = LoadLayout(m_layoutFile, this);
    // Built while on screen: a layout shows what it is given only once the event loop runs again,
    // which would paint the page empty first.
    if (root != nullptr && isVisible()) {
        root->show();
    }
    FindControls(root);
}

}  // namespace veltrix::gui
