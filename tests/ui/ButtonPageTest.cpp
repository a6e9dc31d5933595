// The button page as the user meets it: its layout, what it shows of the record, and the
// assignments made with clicks on its widgets.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QtTest>
#include <functional>

#include "CMainWnd.h"
#include "CWirelessButtonUI.h"
#include "CWirelessMacroUI.h"
#include "CWirelessPage.h"
#include "HookBinding.h"
#include "Language.h"
#include "Skin.h"
#include "SkinWindow.h"
#include "UiTestSupport.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "profile/SettingsFiles.h"
#include "vocabulary/ButtonFunctions.h"

using namespace veltrix;
using namespace veltrix::gui;
using veltrix::test::TempDir;

namespace {

constexpr std::uint32_t kVirtualKeyA = 0x41;
constexpr int kMediaMute = 7;  // item of the media list

std::unique_ptr<CMainWnd> MakeWindow(const TempDir& data,
                                     std::vector<std::filesystem::path> plugins) {
    return veltrix::test::MakeMainWindow(data.Path(), std::move(plugins), true);
}

QAbstractButton* Button(QWidget* page, int number) {
    return FindControl<QAbstractButton>(page, QString("wireless_button%1_btn").arg(number));
}

QComboBox* Combo(QWidget* page, const char* name) {
    return FindControl<QComboBox>(page, name);
}

// Opens the list, moves to the item (as the pointer does) and takes it.
void ChooseItem(QComboBox* combo, int item) {
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* view = combo->view();
    QTRY_VERIFY(view->isVisible());
    view->setCurrentIndex(view->model()->index(item, combo->modelColumn()));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(combo->currentIndex(), item);
}

MacroRecord TwelveStepMacro() {
    MacroRecord macro{};
    SetFieldText(macro.szName, u"Reload combo");
    macro.iActionCount = 12;
    for (std::size_t step = 0; step < 12; ++step) {
        macro.aAction[step] = {static_cast<std::uint8_t>(4 + step / 2),
                               step % 2 == 0 ? kDirectionPress : kDirectionRelease, 30};
    }
    return macro;
}

}  // namespace

class ButtonPageTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { veltrix::test::UseSourceSkin(); }

    void TheLayoutHasEveryControlAndTheVocabularyOrder() {
        CWirelessButtonUI page;
        page.DoInit();
        for (int n = 1; n <= 12; ++n) {
            veltrix::test::Control(&page, QString("wireless_key%1_control").arg(n));
            veltrix::test::Control(&page, QString("wireless_button%1_btn").arg(n));
        }
        QCOMPARE(FindControl<QStackedWidget>(&page, "wireless_button_type_tab_switch")->count(), 9);
        QCOMPARE(Combo(&page, "wireless_button_type_combo")->count(), 9);
        QCOMPARE(Combo(&page, "wireless_macro_repeat_mode_combo")->count(), kRepeatModeCount);

        // Each list shows its category's functions in the order the editor counts them.
        const std::pair<const char*, FunctionCategory> lists[] = {
            {"wireless_mouse_type_combo", FunctionCategory::Mouse},
            {"wireless_dpi_type_combo", FunctionCategory::Dpi},
            {"wireless_profile_type_combo", FunctionCategory::Profile},
            {"wireless_media_type_combo", FunctionCategory::Media},
            {"wireless_system_type_combo", FunctionCategory::System},
            {"wireless_shortcut_type_combo", FunctionCategory::Shortcut},
        };
        for (const auto& [name, category] : lists) {
            QStringList expected, shown;
            for (int item = 0; ListCodeAt(category, item).has_value(); ++item) {
                expected << Tr(FunctionTextId(*ListCodeAt(category, item)));
            }
            for (int item = 0; item < Combo(&page, name)->count(); ++item) {
                shown << Combo(&page, name)->itemText(item);
            }
            QCOMPARE(shown, expected);
        }
    }

    void WithoutItsLayoutThePageStaysEmptyAndSafe() {
        const TempDir emptySkin;
        SetSkinFolder(QString::fromStdString(emptySkin.Path().string()));
        CWirelessButtonUI page;
        page.DoInit();
        veltrix::test::UseSourceSkin();
        ProfileSettings settings = DefaultProfileSettings();
        MacroStore store;
        CaptureTargetFlags flags{};
        auto hooks = BindHookLibrary().hooks;
        MessageQueue window;
        page.Wire({&settings, nullptr, &store, hooks.get(), &flags, window.Handle(), nullptr, {}});
        page.FillMacroList();
        page.Reload();
        page.ResetSelection();
        page.CaptureKey(kVirtualKeyA, 0);
        QCOMPARE(page.SelectedButton(), -1);
    }

    void ThePageShowsTheRecordAndFollowsThePointer() {
        TempDir data;
        auto window = MakeWindow(data, veltrix::test::NoPluginFolders());
        CWirelessButtonUI* page = window->DevicePage().ButtonPage();
        QWidget* panel = FindControl<QWidget>(page, "wireless_button_function_hor");
        QVERIFY(!panel->isVisible());
        // Not an X11 desktop: where a capture or a recording starts, the window says what it hears,
        // also on a page built after start-up.
        window->DevicePage().MacroPage();
        for (const char* name : {"wireless_keyboard_type_edit", "wireless_macro_record_btn",
                                 "wireless_macro_action_edit"}) {
            QVERIFY2(FindControl<QWidget>(window.get(), name)
                         ->toolTip()
                         .endsWith(Tr("in_window_input_text")),
                     name);
        }

        // The factory profile: only button 1 holds left click, so it cannot be chosen.
        QVERIFY(!Button(page, 1)->isEnabled() && Button(page, 12)->isEnabled());
        QCOMPARE(Button(page, 1)->text(), QString("Left click"));
        QCOMPARE(Button(page, 1)->accessibleName(), QString("Button 1: Left click"));
        QCOMPARE(Button(page, 9)->text(), QString("Off"));

        QWidget* mark3 = FindControl<QWidget>(page, "wireless_key3_control");
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QCoreApplication::sendEvent(Button(page, 3), &enter);
        QVERIFY(mark3->isVisible());
        QCoreApplication::sendEvent(Button(page, 3), &leave);
        QVERIFY(!mark3->isVisible());

        // Choosing a button opens it for editing and keeps its mark; a second click on it
        // changes nothing, Cancel closes it and leaves the record as it was.
        const ProfileSettings before = window->DevicePage().Settings();
        QTest::mouseClick(Button(page, 3), Qt::LeftButton);
        QVERIFY(panel->isVisible());
        QCOMPARE(page->SelectedButton(), 2);
        QCoreApplication::sendEvent(Button(page, 3), &leave);
        QVERIFY(mark3->isVisible());
        QVERIFY(!Button(page, 4)->isEnabled());
        QCoreApplication::sendEvent(Button(page, 4), &enter);
        QVERIFY(!FindControl<QWidget>(page, "wireless_key4_control")->isVisible());
        QCOMPARE(Combo(page, "wireless_button_type_combo")->currentIndex(), 0);  // factory
        ChooseItem(Combo(page, "wireless_button_type_combo"), 5);
        QTest::mouseClick(Button(page, 3), Qt::LeftButton);
        QVERIFY(Button(page, 3)->isChecked());
        QCOMPARE(Combo(page, "wireless_button_type_combo")->currentIndex(), 5);
        QTest::mouseClick(FindControl<QAbstractButton>(page, "wireless_button_cancel_btn"),
                          Qt::LeftButton);
        QVERIFY(!panel->isVisible());
        QVERIFY(!mark3->isVisible());
        QVERIFY(!Button(page, 3)->isChecked());
        QVERIFY(Button(page, 4)->isEnabled());
        QCOMPARE(page->SelectedButton(), -1);
        QVERIFY(std::memcmp(&before, &window->DevicePage().Settings(), sizeof before) == 0);

        // A screen reader toggles a checkable button rather than clicking it: the same choice.
        QAccessible::queryAccessibleInterface(Button(page, 5))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(panel->isVisible());
        QCOMPARE(page->SelectedButton(), 4);
        QTest::mouseClick(FindControl<QAbstractButton>(page, "wireless_button_cancel_btn"),
                          Qt::LeftButton);

        // The macro list follows the store: none is selected after a refill.
        QComboBox* macros = Combo(page, "wireless_macro_type_combo");
        QCOMPARE(macros->count(), 0);
        window->Macros().Append(TwelveStepMacro());
        page->FillMacroList();
        QCOMPARE(macros->count(), 1);
        QCOMPARE(macros->itemText(0), QString("Reload combo"));
        QCOMPARE(macros->currentIndex(), -1);
    }

    // What reaches the mouse and the file is the end-to-end scenario's; here, what the widgets
    // hand the editor.
    void ClicksGiveThreeButtonsAKeyAMediaFunctionAndAMacro() {
        TempDir data;
        MacroStore stored;
        stored.Append(TwelveStepMacro());
        QVERIFY(SaveMacroList(stored, data.Path()));
        auto window = MakeWindow(data, veltrix::test::NoPluginFolders());
        CWirelessButtonUI* page = window->DevicePage().ButtonPage();
        QComboBox* category = Combo(page, "wireless_button_type_combo");
        auto* apply = FindControl<QAbstractButton>(page, "wireless_button_apply_btn");
        auto* keyEdit = FindControl<QLineEdit>(page, "wireless_keyboard_type_edit");

        // Button 4 presses A: the key field, once clicked, takes one key from the input hook.
        QTest::mouseClick(Button(page, 4), Qt::LeftButton);
        ChooseItem(category, static_cast<int>(FunctionCategory::Keyboard));
        window->HandleCustomMessage({kMsgHookEvent, kVirtualKeyA, 0});
        // nothing listens before the field is activated
        QCOMPARE(keyEdit->text(), QString());
        QTest::mouseClick(keyEdit, Qt::LeftButton);
        QCOMPARE(keyEdit->text(), Tr("press_a_key_text"));
        window->HandleCustomMessage({kMsgHookEvent, kVirtualKeyA, 0});
        window->HandleCustomMessage({kMsgHookEvent, kVirtualKeyA, 1});
        window->HandleCustomMessage({kMsgHookEvent, 0x20, 0});  // Space, say, to press Apply
        QCOMPARE(keyEdit->text(), QString("A"));
        QCOMPARE(keyEdit->accessibleDescription(), QString("A"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(Button(page, 4)->accessibleName(), QString("Button 4: A"));

        // Button 5 mutes.
        QTest::mouseClick(Button(page, 5), Qt::LeftButton);
        ChooseItem(category, static_cast<int>(FunctionCategory::Media));
        ChooseItem(Combo(page, "wireless_media_type_combo"), kMediaMute);
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(Button(page, 5)->text(), QString("Mute"));

        // Button 6 plays the stored macro three times. A count out of range is corrected when the
        // field is left; the count still being typed is taken by Apply even when it is pressed
        // the way a screen reader does, without the focus leaving the field.
        QTest::mouseClick(Button(page, 6), Qt::LeftButton);
        ChooseItem(category, static_cast<int>(FunctionCategory::Macro));
        ChooseItem(Combo(page, "wireless_macro_type_combo"), 0);
        QVERIFY(veltrix::test::Control(page, "wireless_loop_times_hor")->isVisible());
        auto* count = FindControl<QLineEdit>(page, "wireless_loop_times_edit");
        count->setFocus();
        count->selectAll();
        QTest::keyClicks(count, "300");
        QTest::keyClick(count, Qt::Key_Return);
        QCOMPARE(count->text(), QString("255"));
        count->selectAll();
        QTest::keyClicks(count, "3");
        apply->click();
        QCOMPARE(Button(page, 6)->accessibleName(), QString("Button 6: Reload combo"));

        // What each choice puts in the record is the editor's; the count is the field's.
        QCOMPARE(window->DevicePage().Settings().Profiles[0].aButton[5].iMacroRepeatCount, 3);

        // Button 7 has the macro picked, not yet applied, when the macro page renames it: the
        // list here follows, and Apply gives the macro as it now is.
        QTest::mouseClick(Button(page, 7), Qt::LeftButton);
        ChooseItem(category, static_cast<int>(FunctionCategory::Macro));
        ChooseItem(Combo(page, "wireless_macro_type_combo"), 0);
        CWirelessMacroUI* macros = window->DevicePage().MacroPage();
        const auto showTab = [&window](const char* name) {
            veltrix::test::Control<QAbstractButton>(window.get(), name)->click();
        };
        showTab("wireless_macro_btn");
        veltrix::test::Control<QListWidget>(macros, "wireless_macro_list")->setCurrentRow(0);
        auto* name = veltrix::test::Control<QLineEdit>(macros, "wireless_macro_name_edit");
        name->setText("Reload two");
        Q_EMIT name->editingFinished();
        showTab("wireless_button_btn");
        QCOMPARE(Combo(page, "wireless_macro_type_combo")->currentText(), QString("Reload two"));
        apply->click();
        QCOMPARE(Button(page, 7)->accessibleName(), QString("Button 7: Reload two"));
    }

    // The keyboard alone: the key field takes one key when it takes the focus; the window sees
    // that press too, in either order with the hook's, and keeps it from acting. Escape is the
    // key while the field waits for one, and otherwise cancels. Leaving the page or hiding the
    // window ends the capture.
    void EscapeIsTheKeyWhileTheFieldWaitsAndEveryEndStopsTheCapture() {
        TempDir data;
        auto window = MakeWindow(data, veltrix::test::NoPluginFolders());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->DevicePage().SelectNavigation(kButtonTab);
        CWirelessButtonUI* page = window->DevicePage().ButtonPage();
        auto* keyEdit = FindControl<QLineEdit>(page, "wireless_keyboard_type_edit");
        const ButtonEntry& entry = window->DevicePage().Settings().Profiles[0].aButton[3];
        const auto pressKey = [&](Qt::Key qtKey, std::uint32_t virtualKey) {
            QTest::keyPress(keyEdit, qtKey);
            window->HandleCustomMessage({kMsgHookEvent, virtualKey, 0});
            window->HandleCustomMessage({kMsgHookEvent, virtualKey, 1});
            QTest::keyRelease(keyEdit, qtKey);
        };
        const auto editButton4 = [&] {
            Button(page, 4)->setFocus();
            QTest::keyClick(Button(page, 4), Qt::Key_Space);
            QCOMPARE(page->SelectedButton(), 3);
            ChooseItem(Combo(page, "wireless_button_type_combo"),
                       static_cast<int>(FunctionCategory::Keyboard));
            keyEdit->setFocus(Qt::TabFocusReason);
            QCOMPARE(keyEdit->text(), Tr("press_a_key_text"));
            QCOMPARE(window->CaptureFlags().byButtonCapture, 1);
        };

        editButton4();
        pressKey(Qt::Key_Escape, 0x1B);
        // Escape was the key
        QCOMPARE(page->SelectedButton(), 3);
        QCOMPARE(keyEdit->text(), QString("Esc"));
        QTest::keyClick(keyEdit, Qt::Key_Space);
        // Space on the field asks again
        QCOMPARE(keyEdit->text(), Tr("press_a_key_text"));
        pressKey(Qt::Key_B, 0x42);
        QVERIFY(keyEdit->hasFocus());
        QTest::keyClick(keyEdit, Qt::Key_Escape);
        QCOMPARE(page->SelectedButton(), -1);
        // cancelled
        QCOMPARE(entry.byKeyCode, 0);

        for (const auto& end : std::vector<std::function<void()>>{
                 [&] { window->DevicePage().SelectNavigation(kDpiTab); },
                 [&] { window->showMinimized(); },
                 [&] { window->hide(); },
             }) {
            window->showNormal();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            window->DevicePage().SelectNavigation(kButtonTab);
            editButton4();
            end();
            QCOMPARE(window->CaptureFlags().byButtonCapture, 0);
            window->HandleCustomMessage({kMsgHookEvent, 0x42, 0});
            QCOMPARE(keyEdit->text(), QString());
            QTest::keyClick(keyEdit, Qt::Key_Escape);  // closes the edit for the next round
        }
    }
};

QTEST_MAIN(ButtonPageTest)
#include "ButtonPageTest.moc"
