#include "Skin.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QVBoxLayout>

#include "ApplyRing.h"
#include "CWirelessButtonUI.h"
#include "CWirelessDPIUI.h"
#include "CWirelessLightUI.h"
#include "CWirelessMacroUI.h"
#include "ColorWheel.h"
#include "Language.h"
#include "MouseDiagram.h"
#include "platform/Paths.h"

namespace veltrix::gui {
namespace {

QString& CurrentSkinFolder() {
    static QString folder;
    return folder;
}

bool Is(const QString& className, const char* name) {
    return className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString SkinFolder() {
    QString& folder = CurrentSkinFolder();
    if (folder.isEmpty()) {
        if (const auto found = FindSkinFolder()) {
            folder = QString::fromStdString(found->string());
        }
    }
    return folder;
}

void SetSkinFolder(const QString& folder) {
    CurrentSkinFolder() = folder;
}

QString SkinPath(const QString& fileName) {
    return SkinFolder() + "/" + fileName;
}

SkinLoader::SkinLoader() {
    setWorkingDirectory(QDir(SkinFolder()));
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
    QWidget* widget = nullptr;
    if (Is(className, "WirelessButton")) {
        widget = new CWirelessButtonUI(parent);
    } else if (Is(className, "WirelessLight")) {
        widget = new CWirelessLightUI(parent);
    } else if (Is(className, "WirelessDPI")) {
        widget = new CWirelessDPIUI(parent);
    } else if (Is(className, "WirelessMacro")) {
        widget = new CWirelessMacroUI(parent);
    } else if (Is(className, "ColorWheel")) {
        widget = new ColorWheel(parent);
    } else if (Is(className, "ApplyRing")) {
        widget = new ApplyRing(parent);
    } else if (Is(className, "MouseDiagram")) {
        widget = new MouseDiagram(parent);
    } else {
        return QUiLoader::createWidget(className, parent, name);
    }
    widget->setObjectName(name);
    return widget;
}

QWidget* LoadLayout(const QString& fileName, QWidget* parent) {
    QFile file(SkinPath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    SkinLoader loader;
    QWidget* root = loader.load(&file, parent);
    if (root == nullptr) {
        return nullptr;
    }
    Language::Instance().TranslateTree(root);
    // On this platform Qt reads a combo box's current item as its accessible name; the name the
    // layout gives it (what the list chooses) reaches screen readers as its description.
    for (QComboBox* combo : root->findChildren<QComboBox*>()) {
        if (combo->accessibleDescription().isEmpty()) {
            combo->setAccessibleDescription(combo->accessibleName());
        }
    }
    if (parent != nullptr && parent->layout() == nullptr) {
        auto* layout = new QVBoxLayout(parent);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(root);
    }
    return root;
}

QString LoadStyleSheet() {
    QFile file(SkinPath("style.qss"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // Style sheets resolve relative urls against the working directory, not the sheet's folder.
    return QString::fromUtf8(file.readAll())
        .replace("url(images/", "url(" + SkinFolder() + "/images/");
}

}  // namespace veltrix::gui
