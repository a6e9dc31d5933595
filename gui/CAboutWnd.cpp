#include "CAboutWnd.h"

#include <QLabel>
#include <QPushButton>

#include "Language.h"
#include "Skin.h"

namespace veltrix::gui {

CAboutWnd::CAboutWnd(QWidget* owner) : SkinWindow(owner, "about.ui") {
    if (auto* exit = FindControl<QPushButton>(Root(), "exit")) {
        connect(exit, &QPushButton::clicked, this, [this] { done(0); });
    }
    if (auto* version = FindControl<QLabel>(Root(), "about_version")) {
        version->setText(Tr("about_version_text").arg(QStringLiteral(VELTRIX_VERSION)));
    }
}

}  // namespace veltrix::gui
