#pragma once

// Builds a Qt Designer layout file into widgets with Qt Core's XML reader: the widget classes,
// layouts, spacers, properties and connections that a window's layout uses, and nothing that
// would bring in Qt Quick or OpenGL. A layout is data a designer edits, so the file is untrusted:
// what cannot be built (an unknown class, property, value or element) is skipped with one warning
// naming the file and line, nesting is bounded, and only a file that is not a layout at all (no
// widget, or broken XML) builds nothing.

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QIODevice;

namespace veltrix::gui {

class LayoutReader {
  public:
    virtual ~LayoutReader() = default;

    // The layout's top widget, built into `parent`; null when the file is missing its widget or
    // is not well-formed XML (what was built is then deleted).
    QWidget* Read(QIODevice& file, const QString& fileName, QWidget* parent);

    // A widget of a layout's class, named `name`; null for a class this reader cannot build.
    virtual QWidget* createWidget(const QString& className, QWidget* parent, const QString& name);

    // The images a layout names, as given in the file (usually relative to the skin folder).
    virtual QPixmap Pixmap(const QString& image);
    // The icon of `owner`: `off` normally, `on` (when given) while the button is checked.
    virtual QIcon Icon(QObject* owner, const QString& off, const QString& on);
};

}  // namespace veltrix::gui
