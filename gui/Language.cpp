#include "Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QXmlStreamReader>

namespace veltrix::gui {

Language& Language::Instance() {
    static Language language;
    return language;
}

bool Language::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return LoadFromData(file.readAll());
}

bool Language::LoadFromData(const QByteArray& xml) {
    QHash<QString, QString> texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"text") {
            const QString id = reader.attributes().value(QLatin1String("id")).toString();
            const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements);
            if (!id.isEmpty()) {
                texts.insert(id, text);
            }
        }
    }
    if (reader.hasError()) {
        return false;
    }
    m_texts = std::move(texts);
    return true;
}

QString Language::Text(std::string_view id) const {
    return Text(QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())));
}

QString Language::Text(const QString& id) const {
    return m_texts.value(id, id);
}

TextLookup Language::Lookup() const {
    return [this](std::string_view id) { return Text(id).toStdU16String(); };
}

void Language::TranslateTree(QObject* root) const {
    const auto translate = [this](const QString& text) { return m_texts.value(text, text); };
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.prepend(root);
    for (QObject* object : objects) {
        if (auto* widget = qobject_cast<QWidget*>(object)) {
            if (!widget->toolTip().isEmpty()) {
                widget->setToolTip(translate(widget->toolTip()));
            }
            if (widget->isWindow() && !widget->windowTitle().isEmpty()) {
                widget->setWindowTitle(translate(widget->windowTitle()));
            }
        }
        if (auto* label = qobject_cast<QLabel*>(object)) {
            label->setText(translate(label->text()));
        } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
            button->setText(translate(button->text()));
        } else if (auto* box = qobject_cast<QGroupBox*>(object)) {
            box->setTitle(translate(box->title()));
        } else if (auto* combo = qobject_cast<QComboBox*>(object)) {
            for (int i = 0; i < combo->count(); ++i) {
                combo->setItemText(i, translate(combo->itemText(i)));
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(object)) {
            edit->setPlaceholderText(translate(edit->placeholderText()));
        } else if (auto* action = qobject_cast<QAction*>(object)) {
            action->setText(translate(action->text()));
        }
    }
}

QString Tr(std::string_view id) {
    return Language::Instance().Text(id);
}

}  // namespace veltrix::gui
