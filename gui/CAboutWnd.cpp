#include "CAboutWnd.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "Language.h"
#include "Skin.h"
#include "platform/Autostart.h"

namespace veltrix::gui {

CAboutWnd::CAboutWnd(QWidget* owner) : SkinWindow(owner, "about.ui") {
    if (auto* exit = FindControl<QPushButton>(Root(), "exit")) {
        connect(exit, &QPushButton::clicked, this, [this] { done(0); });
    }
    if (auto* autostart = FindControl<QCheckBox>(Root(), "autostart_check")) {
        autostart->setChecked(AutostartEnabled());
        connect(autostart, &QCheckBox::toggled, this, [autostart](bool enable) {
            // A switch that could not be written shows how things really are.
            if (!SetAutostart(enable)) {
                const QSignalBlocker blocker(autostart);
                autostart->setChecked(AutostartEnabled());
            }
        });
    }
    if (auto* version = FindControl<QLabel>(Root(), "about_version")) {
        version->setText(Tr("about_version_text").arg(QStringLiteral(VELTRIX_VERSION)));
    }
}

}  // namespace veltrix::gui
