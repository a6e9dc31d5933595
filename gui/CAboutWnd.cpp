#include "CAboutWnd.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

#include "Language.h"
#include "Skin.h"
#include "platform/Autostart.h"
#include "platform/Paths.h"

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
    if (auto* links = FindControl<QLabel>(Root(), "about_links")) {
        const QString folder =
            QUrl::fromLocalFile(QString::fromStdString(DataFolder().string())).toString();
        // Rich text takes no colour from the style sheet: the accent of the look in use.
        const QString accent = CurrentSkinStyle() == SkinStyle::Light ? "#0077b6" : "#00c2ff";
        links->setText(QString("<a style=\"color:%5\" href=\"%1\">%2</a> &nbsp;·&nbsp; "
                               "<a style=\"color:%5\" href=\"%3\">%4</a>")
                           .arg(folder, Tr("about_folder_link_text"),
                                "https://www.gnu.org/licenses/gpl-3.0.html",
                                Tr("about_licence_link_text"), accent));
        links->setOpenExternalLinks(true);
        links->setTextInteractionFlags(Qt::TextBrowserInteraction);
    }
    if (auto* version = FindControl<QLabel>(Root(), "about_version")) {
        version->setText(Tr("about_version_text").arg(QStringLiteral(VELTRIX_VERSION)));
    }
}

}  // namespace veltrix::gui
