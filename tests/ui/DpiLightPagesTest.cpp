// The DPI and lighting pages in the real window: their controls, what they show of the record,
// and what reaches the mouse when the user changes something.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <functional>

#include "CDpiColorWnd.h"
#include "CWirelessDPIUI.h"
#include "CWirelessLightUI.h"
#include "CWirelessPage.h"
#include "Language.h"
#include "Skin.h"
#include "SkinWindow.h"
#include "UiTestSupport.h"
#include "profile/SettingsFiles.h"
#include "support/ByteImage.h"

using namespace veltrix;
using namespace veltrix::gui;
using veltrix::test::FakeMouse;
using veltrix::test::ScopedEnv;
using veltrix::test::TempDir;

namespace {

using veltrix::test::Control;
using veltrix::test::SavedRecord;

std::unique_ptr<CMainWnd> MakeWindow(const TempDir& data, FakeMouse* mouse = nullptr) {
    auto window = veltrix::test::MakeMainWindow(data.Path(), true, mouse);
    // Both pages are built when first asked for; these tests find their controls by name.
    window->DevicePage().DpiPage();
    window->DevicePage().LightPage();
    return window;
}

void ShowTab(QWidget* window, const char* navigation) {
    Control<QAbstractButton>(window, navigation)->click();
}

// The colour a control is drawn in at its centre.
QColor ColorOf(QWidget* control) {
    const QImage image = control->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QColor TextColorOf(QWidget* label) {
    label->ensurePolished();
    return label->palette().color(label->foregroundRole());
}

}  // namespace

class DpiLightPagesTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        veltrix::test::UseSourceSkin();
        // Colours are read off the screen, so the pages wear the skin as the program does.
        qApp->setStyleSheet(LoadStyleSheet());
    }
    void cleanup() { SkinWindow::ClearAnswers(); }

    void EveryControlIsFoundByItsNameAndNamedForAssistiveTools() {
        TempDir data;
        auto window = MakeWindow(data);
        // Name, accessible name, and how many, numbered from 1 as %1.
        const std::tuple<QString, QString, int> controls[] = {
            {"wireless_dpi_btn_%1", "DPI level %1", 8},
            {"wireless_dpi%1_slider", "DPI level %1 value", 8},
            {"wireless_dpi_color%1", "DPI level %1 colour", 8},
            {"wireless_polling_rate_combo", "Report rate", 1},
            {"mouse_attibute_btn", "Mouse settings", 1},
            {"wireless_light_mode_combo", "Lighting mode", 1},
            {"wireless_brightness_slider", "Brightness", 1},
            {"wireless_breathing_slider", "Speed", 1},
            {"wireless_r_edit", "Red", 1},
            {"wireless_g_edit", "Green", 1},
            {"wireless_b_edit", "Blue", 1},
            {"wireless_color_btn%1", "Colour %1", 16},
            {"wireless_color_btn%1_1", "Preset colour %1", 7},
            {"wireless_light_color_pallet", "Colour wheel", 1},
            {"wireless_direction_%1", "Direction %1", 2},
            {"wireless_synchronize_btn", "Synchronize", 1},
        };
        for (const auto& [pattern, accessible, count] : controls) {
            for (int n = 1; n <= count; ++n) {
                const QString name = count > 1 ? pattern.arg(n) : pattern;
                QCOMPARE(Control(window.get(), name)->accessibleName(),
                         count > 1 ? accessible.arg(n) : accessible);
            }
        }
        // The lists hold what the pages count their items by.
        const auto items = [&window](const char* name) {
            QStringList texts;
            auto* combo = Control<QComboBox>(window.get(), name);
            for (int item = 0; item < combo->count(); ++item) {
                texts << combo->itemText(item);
            }
            return texts;
        };
        QCOMPARE(items("wireless_polling_rate_combo"),
                 QStringList({"125 Hz", "250 Hz", "500 Hz", "1000 Hz"}));
        QStringList modes;
        for (int mode = 0; mode < kLightModeCount; ++mode) {
            modes << Tr(LightModeTextId(mode));
        }
        QCOMPARE(items("wireless_light_mode_combo"), modes);

        // The mouse keeps its lighting itself: a button with nothing to do does not look live.
        auto* sync = Control<QAbstractButton>(window.get(), "wireless_synchronize_btn");
        QVERIFY(!sync->isEnabled());
        QCOMPARE(sync->accessibleDescription(), Tr("synchronize_tip_text"));
    }

    void BothPagesShowTheRecordAndFollowTheMode() {
        TempDir data;
        auto window = MakeWindow(data);
        QWidget* w = window.get();
        ShowTab(w, "wireless_dpi_setting_btn");
        const QString off = Tr("dpi_level_off_text");
        const QStringList dpi = {"1000", "1600", "3200", "5000", off, off, off, off};
        const std::array<QColor, 8> swatches = {
            QColor(255, 0, 0),   QColor(0, 255, 0),   QColor(0, 0, 255),   QColor(255, 255, 0),
            QColor(0, 255, 255), QColor(255, 0, 255), QColor(255, 128, 0), QColor(255, 255, 255)};
        for (int n = 1; n <= 8; ++n) {
            auto* label = Control<QLabel>(w, QString("wireless_dpi_value_%1").arg(n));
            QCOMPARE(label->text(), dpi[n - 1]);
            QCOMPARE(TextColorOf(label), n == 2 ? QColor(Qt::red) : QColor(Qt::white));
            QCOMPARE(
                Control<QAbstractButton>(w, QString("wireless_dpi_btn_%1").arg(n))->isChecked(),
                n == 2);
            QCOMPARE(ColorOf(Control(w, QString("wireless_dpi_color%1").arg(n))),
                     swatches[static_cast<std::size_t>(n - 1)]);
        }
        QCOMPARE(Control<QComboBox>(w, "wireless_polling_rate_combo")->currentIndex(), 2);
        // An unused level's slider says to assistive tools that the level is off rather than at
        // its lowest value, until the user sets it.
        auto* unused = Control<QSlider>(w, "wireless_dpi5_slider");
        QCOMPARE(unused->accessibleDescription(), off);
        QTest::keyClick(unused, Qt::Key_Right);
        QCOMPARE(Control<QLabel>(w, "wireless_dpi_value_5")->text(), QString("200"));
        QCOMPARE(unused->accessibleDescription(), QString());

        // The factory mode shows the speed alone; the direction it runs in is marked.
        ShowTab(w, "wireless_light_btn");
        const auto shown = [w](const char* group) { return Control(w, group)->isVisible(); };
        auto* mode = Control<QComboBox>(w, "wireless_light_mode_combo");
        QCOMPARE(mode->toolTip(), Tr("wireless_lightmode8"));
        QVERIFY(shown("wireless_breath_ver") && !shown("wireless_brightness_ver") &&
                !shown("wireless_color_hor") && !shown("wireless_color_ver"));
        QVERIFY(Control<QAbstractButton>(w, "wireless_direction_2")->isChecked());
        QCOMPARE(Control<QSlider>(w, "wireless_breathing_slider")->value(), 5);
        mode->setCurrentIndex(2);
        QVERIFY(shown("wireless_breath_ver") && shown("wireless_color_ver") &&
                !shown("wireless_brightness_ver") && !shown("wireless_color_hor"));
        mode->setCurrentIndex(0);
        QCOMPARE(Control<QLabel>(w, "light_mode_name")->text(), Tr("wireless_lightmode1"));

        // A colour typed is kept in range and shows on the swatch; a preset on its own.
        for (const auto& [edit, value] : {std::pair{"wireless_r_edit", "300"},
                                          {"wireless_g_edit", "128"},
                                          {"wireless_b_edit", "0"}}) {
            Control<QLineEdit>(w, edit)->setText(value);
        }
        QCOMPARE(Control<QLineEdit>(w, "wireless_r_edit")->text(), QString("255"));
        QCOMPARE(window->DevicePage().Settings().Profiles[0].crLightColor, ColorRef{0x0080FF});
        QCOMPARE(ColorOf(Control(w, "wireless_preview_control")), QColor(255, 128, 0));
        Control<QAbstractButton>(w, "wireless_color_btn3_1")->click();
        QCOMPARE(ColorOf(Control(w, "wireless_preview_control_1")), QColor(0, 0, 255));
    }

    // Which desktop runs which program is the command's own test; here, that a desktop without
    // its program is told so, and that the program is started without arguments.
    void TheMouseSettingsButtonStartsTheDesktopsOwnProgram() {
        TempDir data;
        TempDir bin;
        const std::filesystem::path marker = bin / "started";
        std::ofstream(bin / "xfce4-mouse-settings")
            << "#!/bin/sh\necho \"$@\" > " << marker.string() << "\n";
        std::filesystem::permissions(bin / "xfce4-mouse-settings",
                                     std::filesystem::perms::owner_all);
        auto window = MakeWindow(data);
        ShowTab(window.get(), "wireless_dpi_setting_btn");
        auto* button = Control<QAbstractButton>(window.get(), "mouse_attibute_btn");
        const ScopedEnv path("PATH", bin.Path().c_str());
        {
            const ScopedEnv current("XDG_CURRENT_DESKTOP", "GNOME");
            QString told;
            veltrix::test::AnswerWarning(told, 1);
            button->click();
            QCOMPARE(told, Tr("mouse_settings_unknown_text"));
        }
        const ScopedEnv desktop("XDG_CURRENT_DESKTOP", "XFCE");
        button->click();
        QTRY_VERIFY(std::filesystem::exists(marker));
        QVERIFY(std::filesystem::file_size(marker) <= 1);
    }

    // Bursts of edits reaching the mouse once are the end-to-end scenario's; here, what the
    // window adds: where the picker opens, a drag, and held edits saved when they leave the
    // user's sight.
    void ThePickerOpensUnderItsSwatchAndHeldEditsGoWhenOutOfSight() {
        TempDir data;
        auto window = MakeWindow(data);
        QWidget* w = window.get();
        // Room on the offscreen screen for the colour picker where the page puts it.
        window->move(-300, 0);
        ShowTab(w, "wireless_dpi_setting_btn");

        auto* swatch = Control<QAbstractButton>(w, "wireless_dpi_color4");
        QPoint pickerAt;
        SkinWindow::QueueAnswer([&pickerAt](SkinWindow& picker) {
            pickerAt = picker.pos();
            static_cast<CDpiColorWnd&>(picker).ChooseSwatch(13);
            return 1;
        });
        swatch->click();
        QCOMPARE(pickerAt, swatch->mapToGlobal(QPoint(-140, swatch->height())));
        QCOMPARE(ColorOf(swatch), QColor(0x1E, 0xB4, 0x0A));
        QTRY_COMPARE(SavedRecord(data.Path()).Profiles[0].acrDpiColor[3], ColorRef{0x0AB41E});

        // A drag shows its value while it moves and is saved once it is let go.
        auto* slider = Control<QSlider>(w, "wireless_dpi3_slider");
        slider->setSliderDown(true);
        slider->setSliderPosition(42);
        QCOMPARE(Control<QLabel>(w, "wireless_dpi_value_3")->text(), QString("4200"));
        slider->setSliderDown(false);
        QTRY_COMPARE(SavedRecord(data.Path()).Profiles[0].aiDpiValue[2], 42);

        // A held edit is sent and saved at once when its page or the window hides.
        auto* brightness = Control<QSlider>(w, "wireless_brightness_slider");
        const std::function<void()> ends[] = {
            [w] { ShowTab(w, "wireless_dpi_setting_btn"); },
            [w] { w->hide(); },
            [w] { w->showMinimized(); },
        };
        int held = SavedRecord(data.Path()).Profiles[0].iLightBrightness;
        for (const auto& end : ends) {
            w->showNormal();
            ShowTab(w, "wireless_light_btn");
            QTest::keyClick(brightness, Qt::Key_Left);
            end();
            QCOMPARE(SavedRecord(data.Path()).Profiles[0].iLightBrightness, --held);
        }
    }

    void AProfileSwitchAndTheMousesDpiButtonReachThePage() {
        FakeMouse mouse;
        TempDir data;
        auto window = MakeWindow(data, &mouse);
        QWidget* w = window.get();
        CWirelessPage& page = window->DevicePage();

        // A switch to a profile of another rate reloads the DPI page, which sends that rate. A
        // DPI edit still held when the profile switches goes first, for the profile it was made
        // in; then the switch itself.
        ShowTab(w, "wireless_dpi_setting_btn");
        page.Settings().Profiles[1].iReportRate = 1;
        page.Settings().Profiles[1].aiDpiValue[0] = 20;
        QTest::keyClick(Control<QSlider>(w, "wireless_dpi2_slider"), Qt::Key_Right);
        Control<QAbstractButton>(w, "wireless_profile_2_btn")->click();
        QCOMPARE(Control<QLabel>(w, "wireless_dpi_value_1")->text(), QString("2000"));
        QCOMPARE(Control<QComboBox>(w, "wireless_polling_rate_combo")->currentIndex(), 1);
        const ProfileSettings saved = SavedRecord(data.Path());
        QCOMPARE(saved.Profiles[0].aiDpiValue[1], 17);
        std::vector<std::string> expected;
        for (const auto& [area, profile] :
             {std::pair{kApplyDpi, 0}, std::pair{kApplyRate, 1}, std::pair{kApplyProfiles, 0}}) {
            std::ranges::copy(veltrix::test::ReportsOf(saved, area, profile),
                              std::back_inserter(expected));
        }
        QTRY_COMPARE(mouse.Log(), expected);

        // The DPI button on the mouse marks its new level on the page.
        mouse.Report(kEventDpiLevel, 3);
        QTRY_COMPARE(page.Settings().Profiles[1].iCurDpiLevel, 2);
        QVERIFY(Control<QAbstractButton>(w, "wireless_dpi_btn_3")->isChecked());
        QCOMPARE(TextColorOf(Control(w, "wireless_dpi_value_3")), QColor(Qt::red));
    }

    // Last: the program's style sheet, once set, changes how the other tests' controls draw.
    void TheSkinButtonSwitchesTheLookAndTheNextStartKeepsIt() {
        TempDir data;
        TempDir config;
        const veltrix::test::ScopedEnv home("XDG_CONFIG_HOME", config.Path().c_str());
        QCOMPARE(SavedSkinStyle(), SkinStyle::Dark);
        ApplySkinStyle(SavedSkinStyle());  // as the program starts
        auto window = MakeWindow(data);
        QWidget* w = window.get();
        ShowTab(w, "wireless_dpi_setting_btn");
        const std::vector<std::uint8_t> record =
            veltrix::test::FileBytes(SettingsFile(data.Path()));
        const auto lightness = [](QWidget* widget) {
            return widget->grab().toImage().pixelColor(4, 4).lightness();
        };
        // The darkest drawn pixel of the Skin button's own icon.
        const auto iconInk = [w] {
            const QImage icon =
                Control<QAbstractButton>(w, "skin_btn")->icon().pixmap(16, 16).toImage();
            int darkest = 255;
            for (int y = 0; y < icon.height(); ++y) {
                for (int x = 0; x < icon.width(); ++x) {
                    if (icon.pixelColor(x, y).alpha() > 128) {
                        darkest = std::min(darkest, icon.pixelColor(x, y).lightness());
                    }
                }
            }
            return darkest;
        };
        QWidget* caption = Control(w, "caption");
        QLabel* otherLevel = Control<QLabel>(w, "wireless_dpi_value_4");
        QVERIFY(lightness(caption) < 80);

        // Light: background, icons and the DPI values all readable; the choice kept in the
        // program's own settings, and the mouse's settings file untouched.
        Control<QAbstractButton>(w, "skin_btn")->click();
        QCOMPARE(CurrentSkinStyle(), SkinStyle::Light);
        QVERIFY(lightness(caption) > 200);
        QVERIFY(iconInk() < 128);
        QVERIFY(TextColorOf(otherLevel).lightness() < 80);
        QVERIFY(std::filesystem::exists(config / "veltrix-wireless" / "veltrix-wireless.conf"));
        QCOMPARE(SavedSkinStyle(), SkinStyle::Light);
        QCOMPARE(veltrix::test::FileBytes(SettingsFile(data.Path())), record);
        {
            // A window built in the light look, as at the next start, has it too.
            auto next = MakeWindow(data);
            QVERIFY(lightness(Control(next.get(), "caption")) > 200);
        }

        // And back.
        Control<QAbstractButton>(w, "skin_btn")->click();
        QCOMPARE(SavedSkinStyle(), SkinStyle::Dark);
        QVERIFY(lightness(caption) < 80);
        QVERIFY(iconInk() > 128);
        QCOMPARE(TextColorOf(otherLevel), QColor(Qt::white));
    }
};

QTEST_MAIN(DpiLightPagesTest)
#include "DpiLightPagesTest.moc"
