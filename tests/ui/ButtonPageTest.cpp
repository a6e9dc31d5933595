// The button page in the real window: its layout, what it shows of the record, and what the
// editor's rules and the end-to-end scenario cannot see: the pointer's marks, a screen reader's
// toggle, the repeat count field, a rename on the macro page, the ends of a key capture.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QtTest>
#include <functional>

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
        // The editing panel is built when it is first shown.
        QVERIFY(page.findChildren<QComboBox*>().isEmpty());
        page.ShowFunctionPanel(true);
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
        auto window = veltrix::test::MakeMainWindow(data.Path(), true);
        CWirelessButtonUI* page = window->DevicePage().ButtonPage();
        QWidget* panel = FindControl<QWidget>(page, "wireless_button_function_hor");
        QVERIFY(!panel->isVisible());
        // Not an X11 desktop: where a capture or a recording starts, the window says what it hears
        // (once its first frame is drawn), also in the editing panel built after that.
        const auto says = [&window](const char* name) {
            return FindControl<QWidget>(window.get(), name)
                ->toolTip()
                .endsWith(Tr("in_window_input_text"));
        };
        window->DevicePage().MacroPage();
        QTRY_VERIFY(says("wireless_macro_record_btn") && says("wireless_macro_action_edit"));
        QVERIFY(FindControl<QWidget>(window.get(), "wireless_keyboard_type_edit") == nullptr);
        page->ShowFunctionPanel(true);
        QVERIFY(says("wireless_keyboard_type_edit"));
        page->ShowFunctionPanel(false);
        // The factory profile: only button 1 holds left click, so it cannot be chosen.
        QVERIFY(!Button(page, 1)->isEnabled() && Button(page, 12)->isEnabled());
        QCOMPARE(Button(page, 1)->accessibleName(), QString("Button 1: Left click"));
        QCOMPARE(Button(page, 9)->text(), QString("Off"));

        // The pointer marks a button; the chosen one keeps its mark, one that cannot be chosen
        // gets none, and Cancel takes it away.
        QWidget* mark3 = FindControl<QWidget>(page, "wireless_key3_control");
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QCoreApplication::sendEvent(Button(page, 3), &enter);
        QVERIFY(mark3->isVisible());
        QCoreApplication::sendEvent(Button(page, 3), &leave);
        QVERIFY(!mark3->isVisible());
        QTest::mouseClick(Button(page, 3), Qt::LeftButton);
        QVERIFY(panel->isVisible());
        // A second click on it changes nothing.
        ChooseItem(Combo(page, "wireless_button_type_combo"), 5);
        QTest::mouseClick(Button(page, 3), Qt::LeftButton);
        QVERIFY(Button(page, 3)->isChecked());
        QCOMPARE(Combo(page, "wireless_button_type_combo")->currentIndex(), 5);
        QCoreApplication::sendEvent(Button(page, 3), &leave);
        QVERIFY(mark3->isVisible());
        QCoreApplication::sendEvent(Button(page, 4), &enter);
        QVERIFY(!Button(page, 4)->isEnabled());
        QVERIFY(!FindControl<QWidget>(page, "wireless_key4_control")->isVisible());
        QTest::mouseClick(FindControl<QAbstractButton>(page, "wireless_button_cancel_btn"),
                          Qt::LeftButton);
        QVERIFY(!panel->isVisible() && !mark3->isVisible() && !Button(page, 3)->isChecked());

        // A screen reader toggles a checkable button rather than clicking it: the same choice.
        QAccessible::queryAccessibleInterface(Button(page, 5))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(panel->isVisible());
        QCOMPARE(page->SelectedButton(), 4);
    }

    // The count being typed is taken by Apply even when a screen reader presses it without the
    // focus leaving the field; a macro renamed on the macro page while it is picked here is
    // followed by the list and given as it now is.
    void TheRepeatCountAndARenameReachApply() {
        TempDir data;
        veltrix::test::WriteMacros(
            data, {veltrix::test::Macro(u"Reload combo", {{4, kDirectionPress, 30}})});
        auto window = veltrix::test::MakeMainWindow(data.Path(), true);
        CWirelessButtonUI* page = window->DevicePage().ButtonPage();
        QTest::mouseClick(Button(page, 6), Qt::LeftButton);
        auto* apply = FindControl<QAbstractButton>(page, "wireless_button_apply_btn");
        QComboBox* macroList = Combo(page, "wireless_macro_type_combo");
        const auto pickMacro = [&](int button) {
            QTest::mouseClick(Button(page, button), Qt::LeftButton);
            ChooseItem(Combo(page, "wireless_button_type_combo"),
                       static_cast<int>(FunctionCategory::Macro));
            ChooseItem(macroList, 0);
        };

        QCOMPARE(macroList->count(), 1);
        QCOMPARE(macroList->currentIndex(), -1);
        pickMacro(6);
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
        QCOMPARE(window->DevicePage().Settings().Profiles[0].aButton[5].iMacroRepeatCount, 3);

        pickMacro(7);
        veltrix::test::Control<QAbstractButton>(window.get(), "wireless_macro_btn")->click();
        CWirelessMacroUI* macros = window->DevicePage().MacroPage();
        veltrix::test::Control<QListWidget>(macros, "wireless_macro_list")->setCurrentRow(0);
        auto* name = veltrix::test::Control<QLineEdit>(macros, "wireless_macro_name_edit");
        name->setText("Reload two");
        Q_EMIT name->editingFinished();
        veltrix::test::Control<QAbstractButton>(window.get(), "wireless_button_btn")->click();
        QCOMPARE(macroList->currentText(), QString("Reload two"));
        apply->click();
        QCOMPARE(Button(page, 7)->accessibleName(), QString("Button 7: Reload two"));
    }

    // The keyboard alone: the key field takes one key when it takes the focus, and the window
    // keeps that press from acting. Escape is the key while the field waits for one; Space or a
    // click on the field asks again; once it has a key, Escape cancels. Leaving the page or hiding
    // the window ends the capture.
    void TheKeyFieldTakesEscapeAndEveryEndStopsTheCapture() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path(), true);
        CWirelessButtonUI* page = window->DevicePage().ButtonPage();
        QLineEdit* keyEdit = nullptr;
        const auto editButton4 = [&] {
            window->showNormal();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            window->DevicePage().SelectNavigation(kButtonTab);
            QTest::mouseClick(Button(page, 4), Qt::LeftButton);
            ChooseItem(Combo(page, "wireless_button_type_combo"),
                       static_cast<int>(FunctionCategory::Keyboard));
            keyEdit = FindControl<QLineEdit>(page, "wireless_keyboard_type_edit");
            keyEdit->setFocus(Qt::TabFocusReason);
            QCOMPARE(keyEdit->text(), Tr("press_a_key_text"));
            QCOMPARE(window->CaptureFlags().byButtonCapture, 1);
        };

        // The field sees the press that the hook reports too.
        const auto pressKey = [&](Qt::Key qtKey, std::uint32_t virtualKey) {
            QTest::keyPress(keyEdit, qtKey);
            window->HandleCustomMessage({kMsgHookEvent, virtualKey, 0});
            window->HandleCustomMessage({kMsgHookEvent, virtualKey, 1});
            QTest::keyRelease(keyEdit, qtKey);
        };
        editButton4();
        pressKey(Qt::Key_Escape, 0x1B);
        QCOMPARE(page->SelectedButton(), 3);
        QCOMPARE(keyEdit->text(), QString("Esc"));
        QCOMPARE(keyEdit->accessibleDescription(), QString("Esc"));  // what a screen reader says
        QTest::keyClick(keyEdit, Qt::Key_Space);
        QCOMPARE(keyEdit->text(), Tr("press_a_key_text"));
        pressKey(Qt::Key_B, 0x42);
        QCOMPARE(keyEdit->text(), QString("B"));
        QTest::mouseClick(keyEdit, Qt::LeftButton);
        QCOMPARE(keyEdit->text(), Tr("press_a_key_text"));
        pressKey(Qt::Key_B, 0x42);
        QTest::keyClick(keyEdit, Qt::Key_Escape);
        QCOMPARE(page->SelectedButton(), -1);

        for (const auto& end : std::vector<std::function<void()>>{
                 [&] { window->DevicePage().SelectNavigation(kDpiTab); },
                 [&] { window->showMinimized(); },
                 [&] { window->hide(); },
             }) {
            editButton4();
            end();
            QCOMPARE(window->CaptureFlags().byButtonCapture, 0);
            window->HandleCustomMessage({kMsgHookEvent, 0x42, 0});
            QCOMPARE(keyEdit->text(), QString());
            QTest::keyClick(keyEdit, Qt::Key_Escape);  // closes the edit for the next round
        }
        QCOMPARE(window->DevicePage().Settings().Profiles[0].aButton[3].byKeyCode, 0);
    }
};

QTEST_MAIN(ButtonPageTest)
#include "ButtonPageTest.moc"
