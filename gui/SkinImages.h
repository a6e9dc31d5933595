#pragma once

// The skin's pictures and icons, drawn from its SVG files by the program itself, as Qt's image
// reader and SVG icon engine draw them: a start-up then neither looks up nor loads Qt's image
// and icon plugins, and an icon's file is read only when a size of it is first drawn.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace veltrix::gui {

// The picture at `path` at the size it gives; kept in Qt's pixmap cache. Files other than SVG
// go through Qt's image reader.
QPixmap SkinPicture(const QString& path);

// An icon drawn from `off`, and from `on` (when given) while its button is checked. Null when
// `off` does not exist.
QIcon SkinIconFrom(const QString& off, const QString& on);

}  // namespace veltrix::gui
