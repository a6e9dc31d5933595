#pragma once

// The values of a layout file's properties, read from the file's XML: texts, numbers, names of
// enum values, cursors, images, icons, sizes, rectangles and size policies.

#include <QHash>
#include <QMetaEnum>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class QObject;
class QXmlStreamReader;

namespace veltrix::gui {

class LayoutReader;

// A property's value as the file gives it. Enum and set values stay names until the property
// they are written to says what the names mean.
struct LayoutValue {
    QVariant data;
    bool names = false;
};

template <typename T>
std::optional<int> EnumValue(const QString& names) {
    bool ok = false;
    const int value = QMetaEnum::fromType<T>().keysToValue(names.toLatin1().constData(), &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// At a value element (<string>, <rect>, ...): its value, read to the element's end. Invalid, with
// a word to `warn`, when the kind is unknown or the text is not of its kind. `reader` makes the
// images and the icon of `owner`.
LayoutValue ReadLayoutValue(QXmlStreamReader& xml, LayoutReader& reader, QObject* owner,
                            const std::function<void(const QString&)>& warn);

// The children of a compound element (<rect>, <connection>, ...) by name, read to its end.
QHash<QString, QString> ReadLayoutFields(QXmlStreamReader& xml);

}  // namespace veltrix::gui
