// The window's layouts are files a designer edits without a rebuild: each builds as it was drawn,
// and a part the program cannot build costs that part, with a warning that says where, never the
// window.

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "Skin.h"
#include "SkinImages.h"
#include "UiTestSupport.h"

using namespace veltrix;

namespace {

// The warnings Qt reports while the object lives.
class WarningLog {
  public:
    WarningLog() : m_previous(qInstallMessageHandler(&Note)) { Lines().clear(); }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    static QStringList& Lines() {
        static QStringList lines;
        return lines;
    }

  private:
    static void Note(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) {
            Lines() << text;
        }
    }
    QtMessageHandler m_previous;
};

std::unique_ptr<QWidget> Load(const QString& layout) {
    return std::unique_ptr<QWidget>(gui::LoadLayout(layout, nullptr));
}

QByteArray Nested(int depth) {
    QByteArray widgets;
    for (int level = 0; level < depth; ++level) {
        widgets += "<widget class=\"QWidget\" name=\"level\">";
    }
    widgets += "<widget class=\"QLabel\" name=\"gone\"/>";
    for (int level = 0; level < depth; ++level) {
        widgets += "</widget>";
    }
    return widgets;
}

}  // namespace

class LayoutReaderTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { test::UseSourceSkin(); }

    // Anything of the skin's own layouts that the reader skipped would have warned; what a user
    // or a screen reader meets in them is a text, never a text id.
    void EverySkinLayoutBuildsWhole_data() {
        QTest::addColumn<QString>("layout");
        for (const QString& file : QDir(gui::SkinFolder()).entryList({QStringLiteral("*.ui")})) {
            QTest::newRow(qPrintable(file)) << file;
        }
    }
    void EverySkinLayoutBuildsWhole() {
        QFETCH(QString, layout);
        const WarningLog warnings;
        const auto root = Load(layout);
        QVERIFY(root != nullptr);
        QCOMPARE(WarningLog::Lines(), QStringList());
        const auto isId = [](const QString& text) { return text.endsWith(u"_text"); };
        QList<QWidget*> widgets = root->findChildren<QWidget*>();
        widgets.prepend(root.get());
        for (QWidget* widget : widgets) {
            QStringList shown = {widget->windowTitle(), widget->accessibleName(),
                                 widget->toolTip()};
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                shown << label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                shown << button->text();
            } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                for (int item = 0; item < combo->count(); ++item) {
                    shown << combo->itemText(item);
                }
            }
            QVERIFY2(std::ranges::none_of(shown, isId) && !widget->accessibleName().contains(u'%'),
                     qPrintable(widget->objectName() + ": " + shown.join('|')));
        }
        // The layouts need nothing of Qt Quick, QML or Qt's OpenGL widgets: a tray program that
        // lives all day should not carry them.
        QFile maps("/proc/self/maps");
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        for (const char* library : {"libQt6Quick", "libQt6Qml", "libQt6OpenGLWidgets"}) {
            QVERIFY2(!mapped.contains(library), library);
        }
    }

    // What a user sees of what the designer drew, in the places that are easy to lose.
    void TheLayoutsLookAsDrawn() {
        const auto buttons = Load("wirelessbuttonpage.ui");
        QCOMPARE(test::Control(buttons.get(), "wireless_button1_btn")->cursor().shape(),
                 Qt::PointingHandCursor);

        const auto notice = Load("DPImsg.ui");
        QCOMPARE(notice->layout()->contentsMargins(), QMargins(16, 0, 16, 0));
        QCOMPARE(notice->layout()->spacing(), 10);
        QCOMPARE(test::Control<QLabel>(notice.get(), "dpi_label")->alignment(),
                 Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(!test::Control<QLabel>(notice.get(), "notice_icon")->pixmap().isNull());
        // The skin's pictures and icons are drawn as Qt's image reader and icon engine draw them,
        // in every state; an icon whose file is missing is none.
        for (const char* image : {"images/no_device.svg", "images/veltrix-wireless.svg"}) {
            QCOMPARE(
                gui::SkinLoader().Pixmap(image).toImage(),
                QImage(gui::SkinPath(image)).convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        const QString off = gui::SkinPath("images/nav_dpi.svg");
        const QString on = gui::SkinPath("images/nav_dpi_active.svg");
        const QIcon ours = gui::SkinIconFrom(off, on);
        QIcon qts(off);
        qts.addFile(on, {}, QIcon::Normal, QIcon::On);
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            for (const QIcon::State state : {QIcon::Off, QIcon::On}) {
                QCOMPARE(ours.pixmap(QSize(18, 18), mode, state).toImage(),
                         qts.pixmap(QSize(18, 18), mode, state).toImage());
            }
        }
        QVERIFY(gui::SkinIconFrom(gui::SkinPath("images/gone.svg"), {}).isNull());

        const auto colours = Load("DpiColorDialog.ui");
        auto* swatch = test::Control<QPushButton>(colours.get(), "mouse_dpi_color_6");
        auto* grid = qobject_cast<QGridLayout*>(swatch->parentWidget()->layout());
        QVERIFY(grid != nullptr);
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(swatch), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}), QList<int>({1, 1, 1, 1}));

        const auto main = Load("main.ui");
        QCOMPARE(test::Control<QStackedWidget>(main.get(), "wireless_tab_switch")->count(), 4);
        QVERIFY(!test::Control<QAbstractButton>(main.get(), "skin_btn")->icon().isNull());
        QCOMPARE(main->size(), QSize(800, 572));
    }

    // A list makes its drop-down (a styled frame, list view and scroll bars) only when it is
    // opened, and then in the skin's font; a list measured before its font came is measured again.
    void AListMakesItsDropDownWhenOpened() {
        gui::ApplySkinStyle(gui::SkinStyle::Dark);
        const auto page = Load("wirelessbuttonpanel.ui");
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        const auto dropDowns = [](const QComboBox* list) {
            return std::ranges::count_if(list->children(), [](const QObject* child) {
                return child->isWidgetType() && static_cast<const QWidget*>(child)->isWindow();
            });
        };
        const QList<QComboBox*> lists = page->findChildren<QComboBox*>();
        QCOMPARE(lists.size(), 9);
        for (const QComboBox* list : lists) {
            QCOMPARE(dropDowns(list), 0);
        }
        auto* list = test::Control<QComboBox>(page.get(), "wireless_button_type_combo");
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        QCOMPARE(dropDowns(list), 1);
        QCOMPARE(list->view()->font().pixelSize(), list->font().pixelSize());
        QVERIFY(list->font().pixelSize() > 0);
        list->hidePopup();

        const auto measured = Load("wirelessbuttonpanel.ui");
        auto* early = test::Control<QComboBox>(measured.get(), "wireless_button_type_combo");
        const QSize before = early->sizeHint();
        QFont larger = early->font();
        larger.setPixelSize(40);
        early->setFont(larger);
        QVERIFY(early->sizeHint().height() > before.height());
    }

    // A designer's slip never costs the window: the part that cannot be built is skipped with one
    // warning that names the file and line; only a file that is no layout at all builds nothing.
    void AFaultyLayoutCostsOnlyItsFault_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("builds");
        QTest::addColumn<QString>("warning");
        const QByteArray label = "<widget class=\"QLabel\" name=\"kept\"/>";
        const auto form = [](const QByteArray& inside) {
            return "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"form\">\n" + inside +
                   "\n</widget></ui>";
        };
        QTest::newRow("broken XML")
            << QByteArray("<ui><widget class=\"QWidget\">") << false << "faulty.ui:1: .*";
        QTest::newRow("not a layout") << QByteArray("<html/>") << false << "faulty.ui:1: .*";
        QTest::newRow("no widget")
            << QByteArray("<ui version=\"4.0\"/>") << false << "faulty.ui:1: .*";
        QTest::newRow("unknown class")
            << form(label + "\n<widget class=\"QDial\" name=\"dial\">" + Nested(1) + "</widget>")
            << true << "faulty.ui:3: .*QDial";
        QTest::newRow("unknown property")
            << form(label + "\n<property name=\"sparkle\"><bool>true</bool></property>") << true
            << "faulty.ui:3: .*sparkle";
        QTest::newRow("unknown value")
            << form(label + "\n<property name=\"toolTip\"><brush/></property>") << true
            << "faulty.ui:3: .*brush";
        QTest::newRow("enum of another property")
            << form(label + "\n<property name=\"focusPolicy\"><enum>Qt::Vertical</enum></property>")
            << true << "faulty.ui:3: .*focusPolicy";
        QTest::newRow("nested too deep")
            << form(label + "\n" + Nested(200)) << true << "faulty.ui:3: nested too deep.*";
        QTest::newRow("grid cell far away")
            << form("<layout class=\"QGridLayout\">" + QByteArray("<item row=\"0\" column=\"0\">") +
                    label + "</item>\n" + "<item row=\"99999999\" column=\"0\">" + Nested(0) +
                    "</item></layout>")
            << true << "faulty.ui:3: .*grid.*";
    }
    void AFaultyLayoutCostsOnlyItsFault() {
        QFETCH(QByteArray, body);
        QFETCH(bool, builds);
        QFETCH(QString, warning);
        const test::TempDir skin;
        QFile file(QString::fromStdString((skin / "faulty.ui").string()));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(body) == body.size());
        file.close();
        const QString source = gui::SkinFolder();
        gui::SetSkinFolder(QString::fromStdString(skin.Path().string()));
        std::unique_ptr<QWidget> root;
        {
            const WarningLog warnings;
            root = Load("faulty.ui");
            gui::SetSkinFolder(source);
            QCOMPARE(WarningLog::Lines().size(), 1);
            QVERIFY2(QRegularExpression(warning).match(WarningLog::Lines().first()).hasMatch(),
                     qPrintable(WarningLog::Lines().first()));
        }
        QCOMPARE(root != nullptr, builds);
        if (builds) {
            QVERIFY(gui::FindControl<QLabel>(root.get(), "kept") != nullptr);
            QVERIFY(gui::FindControl<QLabel>(root.get(), "gone") == nullptr);
        }
    }
};

QTEST_MAIN(LayoutReaderTest)
#include "LayoutReaderTest.moc"
