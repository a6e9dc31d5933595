// The main window's message table, over the real device page, worker and driver plugins, with the
// emulated mouse where a mouse is needed.

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStackedWidget>
#include <QtTest>
#include <atomic>
#include <fstream>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "CDPIMsg.h"
#include "CMainWnd.h"
#include "CWirelessLightUI.h"
#include "CWirelessPage.h"
#include "FileDialogs.h"
#include "Language.h"
#include "SingleInstance.h"
#include "Skin.h"
#include "SkinWindow.h"
#include "TrayIcon.h"
#include "UiTestSupport.h"
#include "platform/Fd.h"
#include "profile/SettingsFiles.h"

using namespace veltrix;
using namespace veltrix::gui;
using veltrix::test::FakeMouse;
using veltrix::test::SavedRecord;
using veltrix::test::TempDir;

namespace {

int CurrentDeviceView(CMainWnd& window) {
    auto* tabs = FindControl<QStackedWidget>(&window, "device_tab_switch");
    return tabs != nullptr ? tabs->currentIndex() : -2;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { veltrix::test::UseSourceSkin(); }
    void cleanup() {
        SkinWindow::ClearAnswers();
        ClearFileAnswers();
    }

    void NoticesShowTheirTextAndShareOnePopup() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path());
        window->HandleCustomMessage({kMsgDpiNotice, 0, 32});
        QPointer<CDPIMsg> popup = window->NoticePopup();
        QVERIFY(popup != nullptr);
        QCOMPARE(popup->Text(), QString("DPI :3200"));
        // A second notice reuses the popup and starts its two seconds again.
        window->HandleCustomMessage({kMsgProfileNotice, 0, 2});
        QCOMPARE(window->NoticePopup(), popup.data());
        QCOMPARE(popup->Text(), QString("Profile 3"));
        window->HandleCustomMessage({kMsgProfileNotice, 1, 2});
        QCOMPARE(popup->Text(), QString("Profile"));
        window->HandleCustomMessage({kMsgDpiNotice, 3, 32});
        QCOMPARE(popup->Text(), QString("DPI :"));
        QCOMPARE(window->NoticeTimer().interval(), 2000);
        QVERIFY(window->NoticeTimer().isActive());
        window->NoticeTimer().start(1);
        QTRY_VERIFY(popup.isNull());  // closed, and it deleted itself
        QVERIFY(window->NoticePopup() == nullptr);
    }

    void NoticeSitsInTheCornerOfTheWorkArea() {
        QCOMPARE(NoticeGeometry(QRect(0, 0, 1920, 1040)), QRect(1710, 980, 200, 50));
        // A panel at the top moves the work area down; the popup stays in its corner.
        QCOMPARE(NoticeGeometry(QRect(0, 27, 1920, 1053)), QRect(1710, 1020, 200, 50));
    }

    void WithoutAMouseEveryWayToTheWindowWarnsOnceAtATime() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path());
        QVERIFY(!window->DevicePresent());
        // While the warning is open, further requests to show the window open nothing more.
        SkinWindow::QueueAnswer([&window](SkinWindow&) {
            window->HandleCustomMessage({kMsgActivate, 0, 0});
            window->OnTrayClicked();
            return 1;
        });
        window->HandleCustomMessage({kMsgActivate, 0, 0});
        QCOMPARE(window->WarningsShown(), 1);
        SkinWindow::QueueAnswer(0);
        window->OnTrayClicked();
        SkinWindow::QueueAnswer(0);
        window->OnMenuCommand("Configuration");
        QCOMPARE(window->WarningsShown(), 3);
        // What must change nothing.
        window->HandleCustomMessage({5121, 0, 0});
        window->OnMenuCommand("other");
        QCOMPARE(window->WarningsShown(), 3);
        QVERIFY(!window->isVisible());
    }

    void ADiscardedRequestStillSavesTheRecord() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path());
        std::filesystem::remove(SettingsFile(data.Path()));
        window->DevicePage().Settings().Profiles[0].iLightBrightness = 3;
        window->HandleCustomMessage({kMsgApplyRequest, 3, 0});
        QTRY_VERIFY(std::filesystem::exists(SettingsFile(data.Path())));
        QCOMPARE(SavedRecord(data.Path()).Profiles[0].iLightBrightness, 3);
    }

    void QuitFromTheCaptionSavesAtOnceAndHides() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path());
        window->show();
        window->DevicePage().Settings().Profiles[0].iLightBrightness = 3;
        // The caption's menu is the way to Quit where no notification area offers its menu.
        auto* caption = FindControl<QWidget>(window.get(), "caption");
        QVERIFY(caption != nullptr);
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                                  caption->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(caption, &request);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QAction* quit = nullptr;
        for (QAction* action : menu->actions()) {
            quit = action->text() == "Quit" ? action : quit;
        }
        QVERIFY(quit != nullptr);
        quit->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(SavedRecord(data.Path()).Profiles[0].iLightBrightness, 3);
    }

    void TheLockLivesOnlyInAPrivateFolder() {
        TempDir home;
        namespace fs = std::filesystem;
        const fs::path runtime = home / "run";
        const fs::path cache = home / "cache";
        fs::create_directories(runtime);
        veltrix::test::ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime.c_str());
        veltrix::test::ScopedEnv cacheEnv("XDG_CACHE_HOME", cache.c_str());
        const QString own = QString::fromStdString(cache / "veltrix-wireless/run");
        // A runtime folder that others may enter is passed over for one of the user's own.
        for (const auto& [mode, expected] : {std::pair{fs::perms::owner_all, runtime.string()},
                                             std::pair{fs::perms(0755), own.toStdString()}}) {
            fs::permissions(runtime, mode);
            QCOMPARE(SingleInstance::PrivateRuntimeFolder(), QString::fromStdString(expected));
        }
        QCOMPARE(fs::status(own.toStdString()).permissions() & fs::perms::all,
                 fs::perms::owner_all);

        // Nowhere private to go: the start fails and says why, instead of passing for a second
        // start.
        fs::permissions(own.toStdString(), fs::perms(0755));
        SingleInstance instance;
        QCOMPARE(instance.TryBecomePrimary([](const QByteArray&) {}),
                 SingleInstance::Start::Failed);
        QVERIFY(instance.ErrorText().contains("0700"));
    }

    void ASecondStartHandsItsActivationTokenToTheFirst() {
        // Without the token the desktop gave the second start, a Wayland desktop keeps the
        // first one's window behind the others. A token that is no plain word is not passed on.
        TempDir folder;
        const QString path = QString::fromStdString(folder.Path().string());
        SingleInstance first(path);
        QList<QByteArray> tokens;
        QCOMPARE(first.TryBecomePrimary([&tokens](const QByteArray& token) { tokens << token; }),
                 SingleInstance::Start::Primary);
        for (const char* token : {"sway-token_1", "", "two words", "bad\ttoken"}) {
            veltrix::test::ScopedEnv env("XDG_ACTIVATION_TOKEN", token);
            bool answered = false;
            std::thread second([&] { answered = SingleInstance(path).ActivateRunning(); });
            QTRY_COMPARE(tokens.size(), 1);
            second.join();
            QVERIFY(answered);
            QCOMPARE(tokens.takeFirst(), QByteArray(token) == "sway-token_1" ? token : "");
        }
    }

    void OtherClientsAndALeftSocketNeverHoldUpASecondStart() {
        TempDir folder;
        const QString path = QString::fromStdString(folder.Path().string());
        const std::string socketPath =
            (folder / ("veltrix-wireless-" + std::to_string(::getuid()) + ".socket")).string();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
        const auto open = [&address](bool connectIt) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const auto* where = reinterpret_cast<const sockaddr*>(&address);
            return (connectIt ? ::connect(fd, where, sizeof(address))
                              : ::bind(fd, where, sizeof(address))) == 0
                       ? fd
                       : -1;
        };
        // The socket of a program that crashed is still in the folder.
        ::close(open(false));
        SingleInstance first(path);
        int activations = 0;
        QCOMPARE(first.TryBecomePrimary([&activations](const QByteArray&) { ++activations; }),
                 SingleInstance::Start::Primary);

        // One client says nothing, one sends a megabyte with no line end, one leaves half-way
        // through a request: the first instance must neither wait for them nor read on.
        const Fd silent(open(true));
        const Fd flood(open(true));
        const Fd early(open(true));
        QVERIFY(silent.Get() >= 0 && flood.Get() >= 0 && early.Get() >= 0);
        QCOMPARE(::send(early.Get(), "activ", 5, MSG_NOSIGNAL), 5);
        ::shutdown(early.Get(), SHUT_RDWR);
        std::atomic<ssize_t> flooded = -2;
        std::thread writer([&] {
            const std::string garbage(1 << 20, 'x');
            flooded = ::send(flood.Get(), garbage.data(), garbage.size(), MSG_NOSIGNAL);
        });
        bool answered = false;
        std::thread second([&] { answered = SingleInstance(path).ActivateRunning(); });
        QTRY_COMPARE(activations, 1);
        QTRY_VERIFY(flooded != -2);
        writer.join();
        second.join();
        QVERIFY(answered);
        QVERIFY(flooded < (1 << 20));
        QCOMPARE(activations, 1);
    }

    void TheMouseIsFollowedFromItsMessages() {
        FakeMouse mouse;
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path(), false, &mouse);
        QVERIFY(window->DevicePresent());
        QCOMPARE(CurrentDeviceView(*window), 0);

        // The tray's tooltip names the battery, charging on the cable, and nothing known from the
        // cable's removal to the next status report. The page warns of the last bar until the
        // mouse is on its cable.
        const auto toolTip = [&window] { return window->Tray()->Icon().toolTip(); };
        auto* lowPower = veltrix::test::Control(window.get(), "low_power_label");
        QCOMPARE(toolTip(), QString("Veltrix Wireless\nBattery 75%"));
        mouse.Status(2, 1);
        QTRY_COMPARE(toolTip(), QString("Veltrix Wireless\nBattery 25%"));
        QVERIFY(!lowPower->isHidden());
        mouse.Plug(DeviceLinkKind::Cable, true);
        QTRY_COMPARE(toolTip(), QString("Veltrix Wireless\nCharging"));
        QVERIFY(lowPower->isHidden());
        mouse.Plug(DeviceLinkKind::Cable, false);
        QTRY_COMPARE(toolTip(), QString("Veltrix Wireless"));

        // Unplugging the receiver: no mouse, the no-device view, and the window does not stay.
        window->show();
        mouse.Plug(DeviceLinkKind::Receiver, false);
        QTRY_VERIFY(!window->DevicePresent());
        QCOMPARE(CurrentDeviceView(*window), 1);
        QVERIFY(!window->isVisible() || window->isMinimized());
    }

    void TheTrayTakesTheThemesSymbolicIconWhereThereIsOne() {
        TempDir data;
        TempDir icons;
        const std::filesystem::path theme = icons / "hicolor";
        std::filesystem::create_directories(theme / "symbolic" / "apps");
        std::ofstream(theme / "index.theme")
            << "[Icon Theme]\nName=Hicolor\nDirectories=symbolic/apps\n\n"
               "[symbolic/apps]\nSize=16\nMinSize=8\nMaxSize=512\nType=Scalable\n";
        const QStringList oldPaths = QIcon::themeSearchPaths();
        const QString oldTheme = QIcon::themeName();
        QIcon::setThemeSearchPaths({QString::fromStdString(icons.Path().string())});
        QIcon::setThemeName("hicolor");
        const auto trayIconName = [&data] {
            auto window = veltrix::test::MakeMainWindow(data.Path());
            window->ShowAtStart(true);  // in the notification area only: the icon shows at once
            return window->Tray()->Icon().icon().name();
        };
        const QString withoutTheme = trayIconName();
        std::filesystem::copy_file(VELTRIX_SKIN_DIR "/images/veltrix-wireless-symbolic.svg",
                                   theme / "symbolic" / "apps" / "veltrix-wireless-symbolic.svg");
        const QString withTheme = trayIconName();
        QIcon::setThemeSearchPaths(oldPaths);
        QIcon::setThemeName(oldTheme);
        QVERIFY2(withoutTheme.isEmpty(), "the skin's own icon");
        QCOMPARE(withTheme, QString("veltrix-wireless-symbolic"));
    }

    // The program's icon is drawn right after the first frame, or at once when the program
    // starts in the notification area, and every window takes it.
    void EveryWindowTakesTheIconOnceThereIsSomethingToShow() {
        TempDir data;
        QApplication::setWindowIcon(QIcon());
        {
            auto window = veltrix::test::MakeMainWindow(data.Path(), true);
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QTRY_VERIFY(!window->windowIcon().isNull());
        }
        QApplication::setWindowIcon(QIcon());
        auto window = veltrix::test::MakeMainWindow(data.Path());
        window->ShowAtStart(true);
        QVERIFY(!window->windowIcon().isNull());
    }

    // The page asks and tells; what the answers do is the device page rules' (core tests), the
    // way through the file dialogs the end-to-end scenario's.
    void AWrongProfileFileAndAResetAreToldAndAsked() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path());
        CWirelessPage& page = window->DevicePage();
        const std::filesystem::path wrong = data / "one.pro";
        std::ofstream(wrong) << "not a profile";
        QueueFileAnswer(QString::fromStdString(wrong.string()));
        QString told;
        veltrix::test::AnswerWarning(told, 1);
        page.ImportProfile();
        QCOMPARE(told, Tr("import_profile_size_text"));

        // Reset asks first: Cancel keeps every profile, OK brings them all back.
        window->findChild<QAbstractButton*>("wireless_profile_3_btn")->click();
        veltrix::test::AnswerWarning(told, 0);
        page.ResetProfiles();
        QCOMPARE(told, Tr("reset_profile_confirm_text"));
        QCOMPARE(page.Settings().iCurProfile, 2);
        SkinWindow::QueueAnswer(1);
        page.ResetProfiles();
        QVERIFY(window->findChild<QAbstractButton*>("wireless_profile_1_btn")->isChecked());
    }

    // A page first shown after a profile switch shows the profile of that moment.
    void APageFirstShownShowsTheCurrentProfile() {
        TempDir data;
        auto window = veltrix::test::MakeMainWindow(data.Path());
        CWirelessPage& page = window->DevicePage();
        page.Settings().Profiles[1].aiDpiValue[1] = 40;
        window->findChild<QAbstractButton*>("wireless_profile_2_btn")->click();
        page.SelectNavigation(kDpiTab);
        QCOMPARE(window->findChild<QSlider*>("wireless_dpi2_slider")->value(), 40);
        QCOMPARE(window->findChild<QLabel*>("wireless_dpi_value_2")->text(), QString("4000"));
    }

    void ThePageFactoryIgnoresCase() {
        SkinLoader loader;
        QWidget parent;
        QWidget* page = loader.createWidget("wirelesslight", &parent, "light");
        QVERIFY(qobject_cast<CWirelessLightUI*>(page) != nullptr);
        QCOMPARE(page->objectName(), QString("light"));
        QWidget* other = loader.createWidget("QLabel", &parent, "label");
        QVERIFY(other != nullptr && qobject_cast<CSettingsPage*>(other) == nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
