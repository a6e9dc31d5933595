// The macro page over the real core, in a real main window: what it shows, the way from a
// recording to the buttons and the mouse, renames and deletes, and the ends of a recording. Macro
// files are the end-to-end scenario's.

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QStackedWidget>
#include <QtTest>
#include <functional>

#include "CWirelessMacroUI.h"
#include "CWirelessPage.h"
#include "Language.h"
#include "Skin.h"
#include "SkinWindow.h"
#include "TrayIcon.h"
#include "UiTestSupport.h"
#include "device/FeatureReports.h"
#include "device/ReportText.h"
#include "macro/MacroRecorder.h"
#include "platform/Utf16Text.h"
#include "profile/SettingsFiles.h"
#include "support/ByteImage.h"
#include "vocabulary/ButtonFunctions.h"

using namespace veltrix;
using namespace veltrix::gui;
using veltrix::test::FakeMouse;
using veltrix::test::TempDir;

namespace {

constexpr MacroAction kPressA{4, kDirectionPress, 10}, kReleaseA{4, kDirectionRelease, 20},
    kPressLeft{241, kDirectionPress, 5};

using veltrix::test::AnswerWarning;
using veltrix::test::BytesOf;
using veltrix::test::Control;
using veltrix::test::FileBytes;
using veltrix::test::Macro;
using veltrix::test::WriteMacros;

void Click(QWidget* page, const char* name) {
    Control<QAbstractButton>(page, name)->click();
}

// What a screen reader does with a checkable button: it toggles it, and nothing is clicked.
void Toggle(QWidget* page, const char* name) {
    QAccessibleInterface* access =
        QAccessible::queryAccessibleInterface(Control<QAbstractButton>(page, name));
    access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

// The user types into an edit and leaves it.
void Type(QWidget* page, const char* name, const QString& text) {
    auto* edit = Control<QLineEdit>(page, name);
    edit->setText(text);
    Q_EMIT edit->editingFinished();
}

QStringList RowTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        const QVariant spoken = list->item(i)->data(Qt::AccessibleTextRole);
        texts << (spoken.isValid() ? spoken.toString() : list->item(i)->text());
    }
    return texts;
}

bool LogHas(const FakeMouse& mouse, const std::string& line) {
    const std::vector<std::string> log = mouse.Log();
    return std::find(log.begin(), log.end(), line) != log.end();
}

// The debug messages that reach the message handler, and so stderr, while `act` runs.
QStringList* g_debugMessages = nullptr;
template <typename Action>
QStringList DebugMessagesDuring(Action act) {
    QStringList messages;
    g_debugMessages = &messages;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtDebugMsg) {
                g_debugMessages->append(text);
            }
        });
    act();
    qInstallMessageHandler(previous);
    g_debugMessages = nullptr;
    return messages;
}

}  // namespace

class MacroPageTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { veltrix::test::UseSourceSkin(); }
    void cleanup() { SkinWindow::ClearAnswers(); }

    void ThePageShowsWhatTheWorkingCopySays() {
        TempDir data;
        WriteMacros(data,
                    {Macro(u"Greet", {kPressA, kReleaseA, kPressLeft}), Macro(u"Привет", {})});
        auto window = veltrix::test::MakeMainWindow(data.Path());
        CWirelessMacroUI* page = window->DevicePage().MacroPage();
        QVERIFY(page != nullptr);

        QStringList spoken;
        for (QWidget* control : page->findChildren<QWidget*>()) {
            spoken << control->accessibleName();
        }
        for (const QString& name : QString("Macro list,Macro name,New macro,Delete macro,Record,"
                                           "Insert mouse event,Left click,Right click,Middle "
                                           "click,Back,Forward,Action list,Move up,Move down,"
                                           "Clear,Edit action,Action key,Action delay,Mouse "
                                           "action,Default delay,Record delays,No delay,Default "
                                           "delay (ms),Save,Cancel,Import macro,Export macro")
                                       .split(',')) {
            QVERIFY2(spoken.contains(name), qPrintable(name));
        }

        auto* macros = Control<QListWidget>(page, "wireless_macro_list");
        QCOMPARE(RowTexts(macros), QStringList({"Greet", "Привет"}));
        QCOMPARE(macros->currentRow(), -1);

        // The editor's traces are a developer's: off unless turned on by logging rules.
        QStringList traces = DebugMessagesDuring([&] { macros->setCurrentRow(1); });
        QVERIFY2(traces.isEmpty(), qPrintable(traces.join('\n')));
        QLoggingCategory::setFilterRules("veltrix.macro.debug=true");
        traces = DebugMessagesDuring([&] { macros->setCurrentRow(0); });
        QLoggingCategory::setFilterRules({});
        QVERIFY2(traces.filter("iActionIndex=").size() == 1, qPrintable(traces.join('\n')));
        QCOMPARE(Control<QLineEdit>(page, "wireless_macro_name_edit")->text(), QString("Greet"));
        auto* actions = Control<QListWidget>(page, "wireless_macro_action_list");
        QCOMPARE(RowTexts(actions),
                 QStringList({"A, Press, 10 ms", "A, Release, 20 ms", "Left button, Press, 5 ms"}));
        QCOMPARE(actions->currentRow(), 2);

        // The editor of a keyboard step, then of the last step, a mouse step, whose delay is not
        // editable. Opening the editor makes the page unsaved: no other macro can be chosen.
        actions->setCurrentRow(0);
        Click(page, "wireless_macro_action_edit_check");
        auto* editor = Control<QStackedWidget>(page, "wireless_macro_action_edit_tab");
        QCOMPARE(editor->currentIndex(), 1);
        QCOMPARE(Control<QLineEdit>(page, "wireless_macro_action_edit")->text(), QString("A"));
        QCOMPARE(Control<QLineEdit>(page, "wireless_macro_delay_edit")->text(), QString("10"));
        QVERIFY(!macros->isEnabled());
        QVERIFY(!Control(page, "wireless_macro_savedata_tab")->isHidden());
        QVERIFY(Control(page, "wireless_macro_exportorimport_tab")->isHidden());
        actions->setCurrentRow(2);
        QCOMPARE(editor->currentIndex(), 2);
        auto* mouseDelay = Control<QLineEdit>(page, "wireless_macro_mouseaction_delay_edit");
        QCOMPARE(mouseDelay->text(), QString("0"));
        QVERIFY(!mouseDelay->isEnabled());

        // A new macro waits for the edits to be saved or cancelled.
        QString shown;
        AnswerWarning(shown, 1);
        Click(page, "wireless_macro_add_btn");
        QCOMPARE(shown, Tr("save_macro_text"));
        QCOMPARE(window->Macros().Count(), 2);
        QVERIFY(page->Unsaved());

        Click(page, "wireless_macro_cancel_btn");
        QVERIFY(!page->Unsaved());
        QVERIFY(macros->isEnabled());
        QCOMPARE(editor->currentIndex(), 0);
    }

    void ARecordedMacroReachesTheStoreItsFileAndTheMouse() {
        FakeMouse mouse;
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path(), false, &mouse);
        CWirelessMacroUI* page = window->DevicePage().MacroPage();
        // Button 4 of the first profile runs the macro that recording is about to create.
        ProfileSettings& settings = window->DevicePage().Settings();
        ButtonEntry& button = settings.Profiles[0].aButton[3];
        button.byFuncCode = kFuncMacro;
        SetFieldText(button.szMacroName, u"Macro1");

        // Recording from an empty page creates the macro first.
        Click(page, "wireless_macro_record_btn");
        QCOMPARE(window->Macros().Count(), 1);
        QCOMPARE(window->CaptureFlags().byMacroRecording, 1);
        QCOMPARE(Control<QAbstractButton>(page, "wireless_macro_record_btn")->text(),
                 Tr("stop_recording_text"));
        const std::uint32_t kH = 0x48, kI = 0x49;
        for (const auto& [code, flag] : std::initializer_list<std::pair<std::uint32_t, int>>{
                 {kH, 0}, {kH, 1}, {kI, 0}, {kI, 0}, {kI, 1}}) {
            window->HandleCustomMessage({kMsgHookEvent, code, flag});
        }
        Toggle(page, "wireless_macro_record_btn");
        QVERIFY(!page->Recorder()->Recording());

        // The first step's delay, edited.
        Control<QListWidget>(page, "wireless_macro_action_list")->setCurrentRow(0);
        Toggle(page, "wireless_macro_action_edit_check");
        Type(page, "wireless_macro_delay_edit", "250");
        mouse.ClearLog();
        Click(page, "wireless_macro_save_btn");
        QVERIFY(!page->Unsaved());

        const std::uint8_t h = TranslateHookEvent(kH, 0).byKeyCode;
        const std::uint8_t i = TranslateHookEvent(kI, 0).byKeyCode;
        const MacroRecord& saved = window->Macros().At(0);
        const MacroRecord expected = Macro(u"Macro1", {{h, kDirectionPress, 250},
                                                       {h, kDirectionRelease, 10},
                                                       {i, kDirectionPress, 10},
                                                       {i, kDirectionRelease, 2}});
        QCOMPARE(BytesOf(saved), BytesOf(expected));

        // The button carries the saved macro, in the record and in its file, and the mouse has it.
        QCOMPARE(button.wMacroActionCount, 4);
        QVERIFY(veltrix::test::SavedRecord(data.Path()).Profiles[0].aButton[3].aMacroAction ==
                expected.aAction);
        const std::string report = ReportHexLine(MacroReport(button, 1));
        QTRY_VERIFY(LogHas(mouse, report));
    }

    void RenamesAndDeletesKeepNamesUniqueAndButtonsInStep() {
        TempDir data;
        WriteMacros(data, {Macro(u"Greet", {kPressA}), Macro(u"Other", {kPressA, kReleaseA})});
        auto window = veltrix::test::MakeMainWindow(data.Path());
        CWirelessMacroUI* page = window->DevicePage().MacroPage();
        ButtonEntry& button = window->DevicePage().Settings().Profiles[2].aButton[0];
        button.byFuncCode = kFuncMacro;
        SetFieldText(button.szMacroName, u"Other");
        auto* macros = Control<QListWidget>(page, "wireless_macro_list");
        auto* name = Control<QLineEdit>(page, "wireless_macro_name_edit");
        macros->setCurrentRow(1);

        // Another macro's name in another case is taken; a change of case alone changes nothing.
        for (const char* refused : {"GREET", "oTHER"}) {
            Type(page, "wireless_macro_name_edit", refused);
            QCOMPARE(name->text(), QString("Other"));
        }
        Type(page, "wireless_macro_name_edit", "Über");
        QCOMPARE(RowTexts(macros), QStringList({"Greet", "Über"}));
        QCOMPARE(QString::fromStdU16String(std::u16string(FieldText(button.szMacroName))),
                 QString("Über"));
        MacroStore onDisk;
        LoadMacroList(onDisk, data.Path());
        QCOMPARE(onDisk.IndexOfName(u"Über"), 1);

        // Deleting the last macro selects the one before it and gives the button its own function
        // back, in the record and its file.
        QString shown;
        AnswerWarning(shown, 1);
        Click(page, "wireless_macro_delete_btn");
        QCOMPARE(shown, Tr("delete_macro_text"));
        QCOMPARE(RowTexts(macros), QStringList({"Greet"}));
        QCOMPARE(macros->currentRow(), 0);
        QCOMPARE(name->text(), QString("Greet"));
        QCOMPARE(button.byFuncCode, DefaultFunctionCode(0));
        QCOMPARE(veltrix::test::SavedRecord(data.Path()).Profiles[2].aButton[0].byFuncCode,
                 DefaultFunctionCode(0));
        QCOMPARE(FileBytes(MacroFile(data.Path())).size(), sizeof(MacroRecord));

        // Deleting the only macro leaves an empty editor.
        SkinWindow::QueueAnswer(1);
        Click(page, "wireless_macro_delete_btn");
        QCOMPARE(macros->count(), 0);
        QCOMPARE(name->text(), QString());
        QVERIFY(page->Editor()->CurrentMacro() == nullptr);
    }

    // A recording runs only while the user can see it: hiding or minimising the window, trying
    // to leave the page, Save, Cancel, New, Delete, import and another macro each end it as its
    // record button would, and nothing typed afterwards gets in. The tray says while it runs.
    void EveryEndOfTheUsersAttentionStopsARecording() {
        TempDir data;
        WriteMacros(data, {Macro(u"Greet", {kPressA, kReleaseA}), Macro(u"Other", {})});
        auto window = veltrix::test::MakeMainWindow(data.Path(), true);
        window->DevicePage().SelectNavigation(kMacroTab);
        CWirelessMacroUI* page = window->DevicePage().MacroPage();
        auto* macros = Control<QListWidget>(page, "wireless_macro_list");
        QString shown;
        const auto refused = [&](const char* button) {
            AnswerWarning(shown, 1);
            Click(page, button);
        };
        const std::vector<std::pair<const char*, std::function<void()>>> ends = {
            {"hide", [&] { window->hide(); }},
            {"minimise", [&] { window->showMinimized(); }},
            {"page",
             [&] {
                 AnswerWarning(shown, 1);
                 window->DevicePage().SelectNavigation(kDpiTab);
             }},
            {"save", [&] { Click(page, "wireless_macro_save_btn"); }},
            {"cancel", [&] { Click(page, "wireless_macro_cancel_btn"); }},
            {"new", [&] { refused("wireless_macro_add_btn"); }},
            {"delete", [&] { refused("wireless_macro_delete_btn"); }},
            {"import", [&] { refused("wireless_macro_import_btn"); }},
            {"other macro", [&] { macros->setCurrentRow(1); }},
        };
        for (const auto& [what, end] : ends) {
            window->showNormal();
            if (page->Unsaved()) {
                Click(page, "wireless_macro_cancel_btn");
            }
            macros->setCurrentRow(0);
            Toggle(page, "wireless_macro_record_btn");
            QVERIFY2(page->Recorder()->Recording(), what);
            QVERIFY2(window->Tray()->ToolTip().contains(Tr("tray_recording_text")), what);
            window->HandleCustomMessage({kMsgHookEvent, 0x42, 0});
            window->HandleCustomMessage({kMsgHookEvent, 0x42, 1});
            end();
            const int steps = page->Editor()->ActionCount();
            QVERIFY2(!page->Recorder()->Recording(), what);
            QVERIFY2(!Control<QAbstractButton>(page, "wireless_macro_record_btn")->isChecked(),
                     what);
            QCOMPARE(window->CaptureFlags().byMacroRecording, 0);
            QVERIFY(!window->Tray()->ToolTip().contains(Tr("tray_recording_text")));
            window->HandleCustomMessage({kMsgHookEvent, 0x43, 0});
            window->HandleCustomMessage({kMsgHookEvent, 0x43, 1});
            QCOMPARE(page->Editor()->ActionCount(), steps);
        }
        QCOMPARE(window->Macros().At(0).iActionCount, 2);  // the steps recorded before Save
    }

    // The window's widgets outlive the device page and the hooks; what reaches the page then
    // (a focus change as the window closes, a late hook event) must find nothing freed.
    void AClosedWindowLeavesThePageInert() {
        TempDir data;
        WriteMacros(data, {Macro(u"Greet", {kPressA, kReleaseA})});
        auto window = veltrix::test::MakeMainWindow(data.Path());
        CWirelessMacroUI* page = window->DevicePage().MacroPage();
        Control<QListWidget>(page, "wireless_macro_list")->setCurrentRow(0);
        Click(page, "wireless_macro_record_btn");
        window->Destroy();
        QVERIFY(!page->Unsaved());
        Click(page, "wireless_macro_record_btn");
        page->RecordEvent(0x41, 0);
        page->KeyEditEvent(0x41, 0);
        QFocusEvent focusOut(QEvent::FocusOut);
        QCoreApplication::sendEvent(Control(page, "wireless_macro_action_edit"), &focusOut);
    }
};

QTEST_MAIN(MacroPageTest)
#include "MacroPageTest.moc"
