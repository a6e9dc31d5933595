// The small windows: the warning box, the colour picker with its wheel, the about window.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "CAboutWnd.h"
#include "CDpiColorWnd.h"
#include "CMsgWnd.h"
#include "ColorWheel.h"
#include "Language.h"
#include "Skin.h"
#include "UiTestSupport.h"
#include "pages/PageColors.h"

using namespace veltrix;
using namespace veltrix::gui;

namespace {

void Click(QWidget* root, const char* name) {
    auto* button = FindControl<QPushButton>(root, name);
    QVERIFY2(button != nullptr, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

QString SwatchStyle(QWidget* root) {
    auto* swatch = FindControl<QWidget>(root, "color_show_control");
    return swatch != nullptr ? swatch->styleSheet() : QString();
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { veltrix::test::UseSourceSkin(); }
    void cleanup() { SkinWindow::ClearAnswers(); }

    void TheWarningBoxShowsTheTextsOfItsIdsAndAnswers() {
        QString title, text;
        SkinWindow::QueueAnswer([&](SkinWindow& box) {
            title = FindControl<QLabel>(&box, "warning_title")->text();
            text = FindControl<QLabel>(&box, "warning")->text();
            return 1;
        });
        QCOMPARE(CMsgWnd::Ask(nullptr, "warning_title_text", "no_device_text"), 1);
        QCOMPARE(title, Tr("warning_title_text"));
        QCOMPARE(text, Tr("no_device_text"));
        QVERIFY(text != "no_device_text");

        // Its own buttons answer 1 and 0; closing it another way answers 0.
        for (const auto& [button, answer] :
             std::vector<std::pair<const char*, int>>{{"confirm_btn", 1}, {"cancel_btn", 0}}) {
            CMsgWnd box(nullptr, "warning_title_text", "delete_macro_text");
            QTimer::singleShot(0, &box, [&box, name = button] { Click(&box, name); });
            QCOMPARE(box.ShowModal(), answer);
        }
        CMsgWnd box(nullptr, "warning_title_text", "save_macro_text");
        QTimer::singleShot(0, &box, [&box] { box.reject(); });
        QCOMPARE(box.ShowModal(), 0);
    }

    void ThePickerTakesASwatchOrTheWheelAndKeepsItOnCancel() {
        const QRgb start = 0xFF102030;
        CDpiColorWnd cancelled(nullptr, start, QPoint(10, 10));
        cancelled.ChooseSwatch(7);
        QCOMPARE(cancelled.SelectedColor(), kPaletteColors[6]);
        QTimer::singleShot(0, &cancelled, [&cancelled] { Click(&cancelled, "cancel_btn"); });
        QCOMPARE(cancelled.ShowModal(), 0);

        // Dragging the wheel paints the swatch all the way; confirm gives the last colour.
        CDpiColorWnd picker(nullptr, start, QPoint(10, 10));
        QCOMPARE(picker.windowTitle(), Tr("color_picker_title_text"));
        auto* wheel = FindControl<ColorWheel>(&picker, "ColorPallet");
        QVERIFY(wheel != nullptr);
        picker.show();
        const QPoint centre = wheel->rect().center();
        QTest::mousePress(wheel, Qt::LeftButton, {}, centre + QPoint(30, 0));
        const QString first = SwatchStyle(&picker);
        QTest::mouseMove(wheel, centre + QPoint(0, -40));
        QVERIFY(SwatchStyle(&picker) != first);
        const QRgb dragged = wheel->Color();
        QCOMPARE(picker.SelectedColor(), dragged);
        QTest::mouseRelease(wheel, Qt::LeftButton, {}, centre + QPoint(0, -40));
        QTimer::singleShot(0, &picker, [&picker] { Click(&picker, "confirm_btn"); });
        QCOMPARE(picker.ShowModal(), 1);
        QCOMPARE(picker.SelectedColor(), dragged);
        QVERIFY(qRed(dragged) < qGreen(dragged) || qBlue(dragged) < qGreen(dragged));
    }

    void TheAboutWindowShowsItsTitleAndTheVersion() {
        CAboutWnd about(nullptr);
        QCOMPARE(about.windowTitle(), Tr("about_title_text"));
        auto* version = FindControl<QLabel>(&about, "about_version");
        QVERIFY(version != nullptr);
        QVERIFY(version->text().contains(QStringLiteral(VELTRIX_VERSION)));

        // Its links are reached with the Tab key.
        auto* links = FindControl<QLabel>(&about, "about_links");
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        bool reached = false;
        for (int i = 0; i < 8 && !reached; ++i) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &about,
                            Qt::Key_Tab);
            reached = QApplication::focusWidget() == links;
        }
        QVERIFY(reached);
        about.hide();
        QTimer::singleShot(0, &about, [&about] { Click(&about, "exit"); });
        QCOMPARE(about.ShowModal(), 0);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
