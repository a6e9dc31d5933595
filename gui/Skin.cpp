#include "Skin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QSettings>
#include <QVBoxLayout>

#include "ApplyRing.h"
#include "CWirelessButtonUI.h"
#include "CWirelessDPIUI.h"
#include "CWirelessLightUI.h"
#include "CWirelessMacroUI.h"
#include "ColorWheel.h"
#include "Language.h"
#include "MouseDiagram.h"
#include "SkinImages.h"
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

SkinStyle& CurrentStyle() {
    static SkinStyle style = SkinStyle::Dark;
    return style;
}

// Where a layout's buttons keep the images their icons were drawn from, so that a change of look
// can draw them again from the other look's images.
constexpr char kIconOffProperty[] = "skin_icon_off";
constexpr char kIconOnProperty[] = "skin_icon_on";
constexpr char kTextColorProperty[] = "skin_text_color";
constexpr QRgb kLightTextColor = 0xFF1D2027;

void ShowTextColor(QWidget* label, QRgb color) {
    if (CurrentSkinStyle() == SkinStyle::Light && color == 0xFFFFFFFF) {
        color = kLightTextColor;
    }
    label->setStyleSheet(QString("color: %1;").arg(QColor(color).name()));
}

QIcon SkinIcon(const QString& off, const QString& on) {
    return SkinIconFrom(SkinImagePath(off), on.isEmpty() ? QString() : SkinImagePath(on));
}

// Draws a window's icons and chosen text colours again in the current look.
void Redraw(QWidget* root) {
    const QList<QAbstractButton*> buttons = root->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        const QString off = button->property(kIconOffProperty).toString();
        if (!off.isEmpty()) {
            button->setIcon(SkinIcon(off, button->property(kIconOnProperty).toString()));
        }
    }
    const QList<QWidget*> widgets = root->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QVariant color = widget->property(kTextColorProperty);
        if (color.isValid()) {
            ShowTextColor(widget, color.value<QRgb>());
        }
    }
}

QString SettingsPath() {
    return QString::fromStdString(
        (ConfigHome() / "veltrix-wireless" / "veltrix-wireless.conf").string());
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
        return LayoutReader::createWidget(className, parent, name);
    }
    widget->setObjectName(name);
    return widget;
}

QPixmap SkinLoader::Pixmap(const QString& image) {
    return SkinPicture(SkinPath(image));
}

QIcon SkinLoader::Icon(QObject* owner, const QString& off, const QString& on) {
    // Kept so that a change of look can draw the icon again from the other look's images.
    if (owner != nullptr) {
        owner->setProperty(kIconOffProperty, off);
        owner->setProperty(kIconOnProperty, on);
    }
    return SkinIcon(off, on);
}

QWidget* LoadLayout(const QString& fileName, QWidget* parent) {
    QFile file(SkinPath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    QWidget* root = SkinLoader().Read(file, file.fileName(), parent);
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

QString SkinImagePath(const QString& image) {
    if (CurrentSkinStyle() == SkinStyle::Light && image.startsWith("images/")) {
        const QString own = SkinPath("images/light/" + image.mid(7));
        if (QFile::exists(own)) {
            return own;
        }
    }
    return SkinPath(image);
}

void SetSkinTextColor(QWidget* label, QRgb color) {
    label->setProperty(kTextColorProperty, QVariant::fromValue(color));
    ShowTextColor(label, color);
}

SkinStyle CurrentSkinStyle() {
    return CurrentStyle();
}

void ApplySkinStyle(SkinStyle style) {
    CurrentStyle() = style;
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->setStyleSheet(LoadStyleSheet(style));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            Redraw(window);
        }
    }
}

void UseDrawnFontFamily() {
    QFont font = QApplication::font();
    const QString drawn = QFontInfo(font).family();
    if (!drawn.isEmpty() && drawn != font.family()) {
        font.setFamily(drawn);
        QApplication::setFont(font);
    }
}

void ApplySkinWindowIcon() {
    QApplication::setWindowIcon(SkinIconFrom(SkinPath("images/veltrix-wireless.svg"), {}));
}

SkinStyle SavedSkinStyle() {
    const QSettings settings(SettingsPath(), QSettings::IniFormat);
    return settings.value("skin/style").toString() == QLatin1String("light") ? SkinStyle::Light
                                                                             : SkinStyle::Dark;
}

bool SaveSkinStyle(SkinStyle style) {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    settings.setValue("skin/style", style == SkinStyle::Light ? "light" : "dark");
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString LoadStyleSheet(SkinStyle style) {
    QFile file(SkinPath(style == SkinStyle::Light ? "style_light.qss" : "style.qss"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // Style sheets resolve relative urls against the working directory, not the sheet's folder.
    return QString::fromUtf8(file.readAll())
        .replace("url(images/", "url(" + SkinFolder() + "/images/");
}

}  // namespace veltrix::gui
