#include "Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVariant>
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

QString Language::CodeFor(const QString& folder, const QStringList& uiLanguages) {
    const QDir skin(folder);
    for (const QString& wanted : uiLanguages) {
        // "zh-Hans-CN" and "zh_CN" both name the file "lan_zh_CN.xml".
        const QString name = QLocale(wanted).name();
        const QString language = name.section('_', 0, 0);
        if (language == u"en") {
            return {};
        }
        for (const QString& code : {name, language}) {
            if (!code.isEmpty() && code != u"C" && skin.exists(FileName(code))) {
                return code;
            }
        }
    }
    return {};
}

QString Language::FileName(const QString& code) {
    return code.isEmpty() ? QStringLiteral("lan.xml") : "lan_" + code + ".xml";
}

bool Language::LoadLanguage(const QString& folder, const QString& code) {
    const QDir skin(folder);
    if (!Load(skin.filePath(FileName({})))) {
        return false;
    }
    QFile file(skin.filePath(FileName(code)));
    QHash<QString, QString> translated;
    if (!code.isEmpty() && file.open(QIODevice::ReadOnly) && Read(file.readAll(), translated)) {
        m_texts.insert(translated);
    }
    return true;
}

bool Language::LoadFromData(const QByteArray& xml) {
    QHash<QString, QString> texts;
    if (!Read(xml, texts)) {
        return false;
    }
    m_texts = std::move(texts);
    return true;
}

bool Language::Read(const QByteArray& xml, QHash<QString, QString>& texts) {
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
    return !reader.hasError();
}

QString QtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString QtText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString Language::Text(std::string_view id) const {
    return Text(QtText(id));
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
            // A layout's root carries the title of the window it is loaded into.
            if (!widget->windowTitle().isEmpty()) {
                widget->setWindowTitle(translate(widget->windowTitle()));
            }
            if (m_texts.contains(widget->accessibleName())) {
                const QString name = m_texts.value(widget->accessibleName());
                const QVariant number = widget->property("accessibleNameArg");
                widget->setAccessibleName(number.isValid() ? name.arg(number.toString()) : name);
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
