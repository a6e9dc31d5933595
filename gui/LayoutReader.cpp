#include "LayoutReader.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHash>
#include <QIODevice>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>
#include <QStackedWidget>
#include <QToolButton>
#include <QXmlStreamReader>
#include <optional>

#include "DropDownList.h"
#include "LayoutValue.h"

namespace veltrix::gui {
namespace {

// Far deeper than any window nests; it bounds the reader's recursion on a hostile file.
constexpr int kMaxDepth = 64;
// A grid allocates every row and column up to the last one used, so a far cell costs memory.
constexpr int kMaxGridCells = 256;

template <typename T>
QWidget* Make(QWidget* parent) {
    return new T(parent);
}

struct WidgetClass {
    const char* name;
    QWidget* (*make)(QWidget*);
};

constexpr WidgetClass kWidgetClasses[] = {
    {"QWidget", &Make<QWidget>},
    {"QLabel", &Make<QLabel>},
    {"QPushButton", &Make<QPushButton>},
    {"QToolButton", &Make<QToolButton>},
    {"QComboBox", &Make<DropDownList>},
    {"QLineEdit", &Make<QLineEdit>},
    {"QSlider", &Make<QSlider>},
    {"QCheckBox", &Make<QCheckBox>},
    {"QListWidget", &Make<QListWidget>},
    {"QProgressBar", &Make<QProgressBar>},
    {"QStackedWidget", &Make<QStackedWidget>},
};

// What the file's elements may hold that this program has no use for.
bool Ignored(QStringView element) {
    static const QStringList kIgnored = {"class",    "customwidgets", "resources",
                                         "zorder",   "author",        "comment",
                                         "tabstops", "layoutdefault", "includes"};
    return kIgnored.contains(element);
}

struct Property {
    QString name;
    bool stdset;  // false for a property of the layout's own that the program reads by name
    LayoutValue value;
};

QObject* Named(QWidget* root, const QString& name) {
    return root->objectName() == name ? root : root->findChild<QObject*>(name);
}

class Builder {
  public:
    Builder(LayoutReader& reader, QIODevice& file, const QString& fileName)
        : m_reader(reader), m_xml(&file), m_fileName(fileName) {}

    QWidget* Build(QWidget* parent) {
        QWidget* root = nullptr;
        if (m_xml.readNextStartElement() && m_xml.name() == u"ui") {
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == u"widget" && root == nullptr) {
                    root = ReadWidget(parent, 0);
                } else if (m_xml.name() == u"connections" && root != nullptr) {
                    ReadConnections(root);
                } else if (Ignored(m_xml.name())) {
                    m_xml.skipCurrentElement();
                } else {
                    Skip();
                }
            }
        } else if (!m_xml.hasError()) {
            m_xml.raiseError("not a layout file");
        }
        while (!m_xml.atEnd()) {
            m_xml.readNext();
        }
        if (m_xml.hasError() || root == nullptr) {
            Warn(m_xml.hasError() ? m_xml.errorString() : "the layout has no widget");
            delete root;
            return nullptr;
        }
        return root;
    }

  private:
    void Warn(const QString& what) {
        qWarning().noquote()
            << QString("%1:%2: %3").arg(m_fileName).arg(m_xml.lineNumber()).arg(what);
    }
    // Skips the current element, naming it and the value of its first attribute.
    void Skip(const QString& why = "skipped") {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        QString what = "<" + m_xml.name().toString() + ">";
        if (!attributes.isEmpty()) {
            what += " " + attributes.first().value().toString();
        }
        Warn(why + " " + what);
        m_xml.skipCurrentElement();
    }

    QWidget* ReadWidget(QWidget* parent, int depth) {
        if (depth > kMaxDepth) {
            Skip("nested too deep:");
            return nullptr;
        }
        const QString className = m_xml.attributes().value("class").toString();
        QWidget* widget =
            m_reader.createWidget(className, parent, m_xml.attributes().value("name").toString());
        if (widget == nullptr) {
            Skip("unknown widget class:");
            return nullptr;
        }
        // A stack's page and a list's row exist only once the children and items are read.
        std::optional<Property> current;
        while (m_xml.readNextStartElement()) {
            const QStringView element = m_xml.name();
            if (element == u"property") {
                const Property property = ReadProperty(widget);
                const QVariant& data = property.value.data;
                if (property.name == u"currentIndex" || property.name == u"currentRow") {
                    current = property;
                } else if (property.name == u"geometry" && depth == 0 && data.isValid()) {
                    // The top widget takes the size it was designed at; where it sits is its
                    // parent's business.
                    widget->resize(data.toRect().size());
                } else {
                    Write(widget, property);
                }
            } else if (element == u"widget") {
                QWidget* child = ReadWidget(widget, depth + 1);
                if (auto* stack = qobject_cast<QStackedWidget*>(widget); stack && child) {
                    stack->addWidget(child);
                }
            } else if (element == u"layout") {
                if (widget->layout() != nullptr) {
                    Skip("a second layout:");
                } else {
                    ReadLayout(widget, depth + 1);
                }
            } else if (element == u"item" &&
                       (qobject_cast<QComboBox*>(widget) || qobject_cast<QListWidget*>(widget))) {
                ReadListItem(widget);
            } else if (element == u"action") {
                auto* action = new QAction(widget);
                action->setObjectName(m_xml.attributes().value("name").toString());
                ReadEachProperty(action,
                                 [&](const Property& property) { Write(action, property); });
            } else if (element == u"attribute" || element == u"zorder") {
                m_xml.skipCurrentElement();
            } else {
                Skip();
            }
        }
        if (current) {
            Write(widget, *current);
        }
        return widget;
    }

    // A layout of `owner`'s children: `owner`'s own when `into` is null, else nested in `into`.
    QLayout* ReadLayout(QWidget* owner, int depth, QLayout* into = nullptr) {
        if (depth > kMaxDepth) {
            Skip("nested too deep:");
            return nullptr;
        }
        const QStringView className = m_xml.attributes().value("class");
        QWidget* parent = into == nullptr ? owner : nullptr;
        QLayout* layout = nullptr;
        if (className == u"QHBoxLayout") {
            layout = new QHBoxLayout(parent);
        } else if (className == u"QVBoxLayout") {
            layout = new QVBoxLayout(parent);
        } else if (className == u"QGridLayout") {
            layout = new QGridLayout(parent);
        } else {
            Skip("unknown layout class:");
            return nullptr;
        }
        layout->setObjectName(m_xml.attributes().value("name").toString());
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"property") {
                WriteLayoutProperty(layout, ReadProperty(layout));
            } else if (m_xml.name() == u"item") {
                ReadLayoutItem(layout, owner, depth);
            } else {
                Skip();
            }
        }
        return layout;
    }

    // The four margins are one property of a layout, given one side at a time; a grid's two
    // spacings are no properties at all.
    void WriteLayoutProperty(QLayout* layout, const Property& property) {
        const int number = property.value.data.toInt();
        QMargins margins = layout->contentsMargins();
        auto* grid = qobject_cast<QGridLayout*>(layout);
        if (!property.value.data.isValid()) {
            return;
        } else if (property.name == u"leftMargin") {
            margins.setLeft(number);
        } else if (property.name == u"topMargin") {
            margins.setTop(number);
        } else if (property.name == u"rightMargin") {
            margins.setRight(number);
        } else if (property.name == u"bottomMargin") {
            margins.setBottom(number);
        } else if (grid != nullptr && property.name == u"horizontalSpacing") {
            grid->setHorizontalSpacing(number);
        } else if (grid != nullptr && property.name == u"verticalSpacing") {
            grid->setVerticalSpacing(number);
        } else {
            Write(layout, property);
        }
        layout->setContentsMargins(margins);
    }

    void ReadLayoutItem(QLayout* layout, QWidget* owner, int depth) {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const auto number = [&](const char* name, int otherwise) {
            return attributes.hasAttribute(name) ? attributes.value(name).toInt() : otherwise;
        };
        const int row = number("row", -1);
        const int column = number("column", -1);
        const int rowSpan = number("rowspan", 1);
        const int columnSpan = number("colspan", 1);
        const auto alignment =
            EnumValue<Qt::Alignment>(attributes.value("alignment").toString()).value_or(0);
        auto* grid = qobject_cast<QGridLayout*>(layout);
        const auto inGrid = [](int first, int span) {
            return first >= 0 && span >= 1 && first + span <= kMaxGridCells;
        };
        if (grid != nullptr && !(inGrid(row, rowSpan) && inGrid(column, columnSpan))) {
            Skip("a grid cell out of range:");
            return;
        }
        auto* box = qobject_cast<QBoxLayout*>(layout);
        const Qt::Alignment align(alignment);
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"widget") {
                // Through addWidget, which also shows the widget when its window already shows.
                if (QWidget* widget = ReadWidget(owner, depth + 1)) {
                    if (grid != nullptr) {
                        grid->addWidget(widget, row, column, rowSpan, columnSpan, align);
                    } else {
                        box->addWidget(widget, 0, align);
                    }
                }
            } else if (m_xml.name() == u"layout") {
                if (QLayout* inner = ReadLayout(owner, depth + 1, layout)) {
                    static_cast<QLayoutItem*>(inner)->setAlignment(align);
                    if (grid != nullptr) {
                        grid->addLayout(inner, row, column, rowSpan, columnSpan, align);
                    } else {
                        box->addLayout(inner);
                    }
                }
            } else if (m_xml.name() == u"spacer") {
                QSpacerItem* spacer = ReadSpacer();
                spacer->setAlignment(align);
                if (grid != nullptr) {
                    grid->addItem(spacer, row, column, rowSpan, columnSpan, align);
                } else {
                    box->addItem(spacer);
                }
            } else {
                Skip();
            }
        }
    }

    QSpacerItem* ReadSpacer() {
        bool vertical = false;
        QSizePolicy::Policy policy = QSizePolicy::Expanding;
        QSize size;
        ReadEachProperty(nullptr, [&](const Property& property) {
            const QVariant& data = property.value.data;
            if (property.name == u"orientation") {
                vertical = EnumValue<Qt::Orientation>(data.toString()) == Qt::Vertical;
            } else if (property.name == u"sizeType") {
                policy = QSizePolicy::Policy(
                    EnumValue<QSizePolicy::Policy>(data.toString()).value_or(policy));
            } else if (property.name == u"sizeHint") {
                size = data.toSize();
            } else {
                Warn("unknown property " + property.name + " of a spacer");
            }
        });
        return vertical
                   ? new QSpacerItem(size.width(), size.height(), QSizePolicy::Minimum, policy)
                   : new QSpacerItem(size.width(), size.height(), policy, QSizePolicy::Minimum);
    }

    // A row of a combo box or list widget: its text and icon.
    void ReadListItem(QWidget* widget) {
        QString text;
        QIcon icon;
        ReadEachProperty(nullptr, [&](const Property& property) {
            if (property.name == u"text") {
                text = property.value.data.toString();
            } else if (property.name == u"icon") {
                icon = property.value.data.value<QIcon>();
            } else {
                Warn("unknown property " + property.name + " of an item");
            }
        });
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            combo->addItem(icon, text);
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            new QListWidgetItem(icon, text, list);
        }
    }

    // Calls `use` with each <property> of the current element; anything else is skipped.
    template <typename Use>
    void ReadEachProperty(QObject* owner, Use use) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"property") {
                use(ReadProperty(owner));
            } else {
                Skip();
            }
        }
    }

    // At a <property>: its name and value, read to its end. The value is invalid (and warned
    // about) when its kind is unknown; `owner` is the object whose icon it may be.
    Property ReadProperty(QObject* owner) {
        Property property{m_xml.attributes().value("name").toString(),
                          m_xml.attributes().value("stdset") != u"0",
                          {}};
        if (m_xml.readNextStartElement()) {
            property.value = ReadLayoutValue(m_xml, m_reader, owner,
                                             [this](const QString& what) { Warn(what); });
            m_xml.skipCurrentElement();
        }
        return property;
    }

    void Write(QObject* object, const Property& property) {
        const QVariant& data = property.value.data;
        if (!data.isValid()) {
            return;
        }
        const QByteArray key = property.name.toLatin1();
        const QMetaObject* meta = object->metaObject();
        const int index = meta->indexOfProperty(key.constData());
        if (index < 0 && !property.stdset) {
            object->setProperty(key.constData(), data);
            return;
        }
        if (index < 0) {
            Warn("unknown property " + property.name + " of " + meta->className());
            return;
        }
        const QMetaProperty target = meta->property(index);
        bool ok = true;
        if (!property.value.names) {
            ok = target.write(object, data);
        } else if (target.isEnumType()) {
            const int value = target.enumerator().keysToValue(data.toString().toLatin1(), &ok);
            ok = ok && target.write(object, value);
        } else {
            ok = false;
        }
        if (!ok) {
            Warn("cannot set " + property.name + " of " + meta->className() + " to " +
                 data.toString());
        }
    }

    void ReadConnections(QWidget* root) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"connection") {
                Skip();
                continue;
            }
            const QHash<QString, QString> f = ReadLayoutFields(m_xml);
            QObject* sender = Named(root, f.value("sender"));
            QObject* receiver = Named(root, f.value("receiver"));
            QMetaMethod signal;
            QMetaMethod slot;
            if (sender != nullptr && receiver != nullptr) {
                const QMetaObject* from = sender->metaObject();
                const QMetaObject* to = receiver->metaObject();
                signal = from->method(from->indexOfSignal(
                    QMetaObject::normalizedSignature(f.value("signal").toLatin1().constData())));
                slot = to->method(to->indexOfMethod(
                    QMetaObject::normalizedSignature(f.value("slot").toLatin1().constData())));
            }
            if (!signal.isValid() || !slot.isValid() ||
                !QMetaObject::checkConnectArgs(signal, slot) ||
                !QObject::connect(sender, signal, receiver, slot)) {
                Warn("cannot connect " + f.value("sender") + " " + f.value("signal") + " to " +
                     f.value("receiver") + " " + f.value("slot"));
            }
        }
    }

    LayoutReader& m_reader;
    QXmlStreamReader m_xml;
    QString m_fileName;
};

}  // namespace

QWidget* LayoutReader::Read(QIODevice& file, const QString& fileName, QWidget* parent) {
    return Builder(*this, file, fileName).Build(parent);
}

QWidget* LayoutReader::createWidget(const QString& className, QWidget* parent,
                                    const QString& name) {
    for (const WidgetClass& widgetClass : kWidgetClasses) {
        if (className == QLatin1String(widgetClass.name)) {
            QWidget* widget = widgetClass.make(parent);
            widget->setObjectName(name);
            return widget;
        }
    }
    return nullptr;
}

QPixmap LayoutReader::Pixmap(const QString& image) {
    return QPixmap(image);
}

QIcon LayoutReader::Icon(QObject* /*owner*/, const QString& off, const QString& on) {
    QIcon icon(off);
    if (!on.isEmpty()) {
        icon.addFile(on, {}, QIcon::Normal, QIcon::On);
    }
    return icon;
}

}  // namespace veltrix::gui
