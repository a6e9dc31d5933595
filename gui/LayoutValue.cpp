#include "LayoutValue.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QSizePolicy>
#include <QXmlStreamReader>

#include "LayoutReader.h"

namespace veltrix::gui {

QHash<QString, QString> ReadLayoutFields(QXmlStreamReader& xml) {
    QHash<QString, QString> fields;
    while (xml.readNextStartElement()) {
        const QString name = xml.name().toString();
        fields.insert(name, xml.readElementText(QXmlStreamReader::SkipChildElements));
    }
    return fields;
}

LayoutValue ReadLayoutValue(QXmlStreamReader& xml, LayoutReader& reader, QObject* owner,
                            const std::function<void(const QString&)>& warn) {
    const QString kind = xml.name().toString();
    if (kind == u"string" || kind == u"enum" || kind == u"set") {
        return {xml.readElementText(QXmlStreamReader::SkipChildElements), kind != u"string"};
    }
    static const QStringList kTexts = {"number", "bool",        "double",
                                       "cursor", "cursorShape", "pixmap"};
    if (kTexts.contains(kind)) {
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        bool ok = true;
        QVariant data;
        if (kind == u"number") {
            data = text.toInt(&ok);
        } else if (kind == u"bool") {
            data = text == u"true";
        } else if (kind == u"double") {
            data = text.toDouble(&ok);
        } else if (kind == u"pixmap") {
            data = reader.Pixmap(text);
        } else {
            const int shape =
                kind == u"cursor" ? text.toInt(&ok) : EnumValue<Qt::CursorShape>(text).value_or(-1);
            ok = ok && shape >= 0 && shape <= Qt::LastCursor;
            data = QCursor(Qt::CursorShape(shape));
        }
        if (!ok) {
            warn("not a " + kind + ": " + text);
            return {};
        }
        return {data};
    }
    static const QStringList kCompounds = {"rect", "size", "point", "sizepolicy", "iconset"};
    if (!kCompounds.contains(kind)) {
        const QXmlStreamAttributes attributes = xml.attributes();
        warn("unknown kind of value: <" + kind + ">" +
             (attributes.isEmpty() ? QString() : " " + attributes.first().value().toString()));
        xml.skipCurrentElement();
        return {};
    }
    const QXmlStreamAttributes attributes = xml.attributes();
    const QHash<QString, QString> f = ReadLayoutFields(xml);
    const auto n = [&](const char* name) { return f.value(name).toInt(); };
    if (kind == u"rect") {
        return {QRect(n("x"), n("y"), n("width"), n("height"))};
    }
    if (kind == u"size") {
        return {QSize(n("width"), n("height"))};
    }
    if (kind == u"point") {
        return {QPoint(n("x"), n("y"))};
    }
    if (kind == u"sizepolicy") {
        const auto policy = [&](const char* name) {
            return QSizePolicy::Policy(
                EnumValue<QSizePolicy::Policy>(attributes.value(name).toString())
                    .value_or(QSizePolicy::Preferred));
        };
        QSizePolicy sizePolicy(policy("hsizetype"), policy("vsizetype"));
        sizePolicy.setHorizontalStretch(n("horstretch"));
        sizePolicy.setVerticalStretch(n("verstretch"));
        return {sizePolicy};
    }
    return {reader.Icon(owner, f.value("normaloff"), f.value("normalon"))};
}

}  // namespace veltrix::gui
