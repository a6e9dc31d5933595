#pragma once

// The skin folder "res/": the layouts of every window and page (Qt Designer files built at run
// time), the images, the language file and the style sheet. Controls are found by their names;
// a control that a layout lacks stays null and is skipped by its user.

#include <QColor>
#include <QString>
#include <QWidget>

#include "LayoutReader.h"

namespace veltrix::gui {

// Where the skin is: res/ beside the program first, then ../share/veltrix-wireless/res from it.
// Empty when there is none.
QString SkinFolder();
// Points the layouts and the style sheet at a skin folder (the program's by default).
void SetSkinFolder(const QString& folder);
QString SkinPath(const QString& fileName);

// Builds layouts; the class names of the setting pages (compared without regard to case) create
// the program's own pages, so a layout decides where each page sits. Images are the skin folder's,
// icons in the current look.
class SkinLoader final : public LayoutReader {
  public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override;
    QPixmap Pixmap(const QString& image) override;
    QIcon Icon(QObject* owner, const QString& off, const QString& on) override;
};

// Builds the layout file of the skin folder into `parent` (filling it when parent has no layout
// of its own) and translates its text ids. Null when the file is missing or broken.
QWidget* LoadLayout(const QString& fileName, QWidget* parent);

// The skin's two looks: the dark one, and a light one with a style sheet and images of its own
// ("style_light.qss", "images/light/").
enum class SkinStyle { Dark, Light };

// The style sheet of that look with its image references made absolute; empty when missing.
QString LoadStyleSheet(SkinStyle style = SkinStyle::Dark);
// The path of a skin image ("images/NAME.svg") in the current look: the light look's own drawing
// where it has one, else the shared one.
QString SkinImagePath(const QString& image);

// Gives a label a text colour that the pages chose. White, the pages' plain text on the dark
// look, is the look's own text colour on the light one, where white would not show.
void SetSkinTextColor(QWidget* label, QRgb color);

// Names the family that the default font is drawn in. A desktop without a theme of its own
// names a generic family ("Sans Serif") that the font database finds only through its
// fallbacks, for each size and weight the style sheet asks for; named, each is found at once,
// and drawn in the same font.
void UseDrawnFontFamily();

// Gives every window of the program the skin's icon. Drawing it takes a few sizes of a picture,
// so the main window asks for it once its first frame is on screen.
void ApplySkinWindowIcon();

SkinStyle CurrentSkinStyle();
// Gives the program that look: its style sheet, and the images of every control built from a
// layout.
void ApplySkinStyle(SkinStyle style);

// The look the user chose last, kept in the program's own settings file
// ($XDG_CONFIG_HOME/veltrix-wireless/veltrix-wireless.conf), never in the mouse's settings.
// Dark when nothing was chosen or the file cannot be read.
SkinStyle SavedSkinStyle();
// Keeps the choice; false when it could not be written.
bool SaveSkinStyle(SkinStyle style);

// A control by its design name under `root` (or root itself); null when the layout lacks it.
template <typename T>
T* FindControl(QObject* root, const QString& name) {
    if (root == nullptr) {
        return nullptr;
    }
    if (root->objectName() == name) {
        if (auto* self = qobject_cast<T*>(root)) {
            return self;
        }
    }
    return root->findChild<T*>(name);
}

}  // namespace veltrix::gui
