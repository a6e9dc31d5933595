// veltrix-wireless: the window of the Veltrix wireless mouse. Any argument (such as --hidden from
// the autostart entry) starts it in the notification area.

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "CMainWnd.h"
#include "Language.h"
#include "SingleInstance.h"
#include "Skin.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/x11/X11LayoutLookup.h"

using namespace veltrix;
using namespace veltrix::gui;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("veltrix-wireless");
    QGuiApplication::setDesktopFileName("io.veltrix.Wireless");
    QApplication::setQuitOnLastWindowClosed(false);
    const bool startHidden = argc > 1;

    CMainWnd* window = nullptr;
    SingleInstance instance;
    if (!instance.TryBecomePrimary([&window] {
            if (window != nullptr) {
                window->HandleCustomMessage({kMsgActivate, 0, 0});
            }
        })) {
        instance.ActivateRunning();
        return 1;
    }

    if (SkinFolder().isEmpty()) {
        std::fprintf(stderr,
                     "veltrix-wireless: the skin folder was not found (res/ beside the program "
                     "or ../share/veltrix-wireless/res)\n");
        return 2;
    }
    // The skin's texts and Qt's own (file dialogs, standard buttons) in the same language.
    const QString language = Language::CodeFor(SkinFolder(), QLocale::system().uiLanguages());
    Language::Instance().LoadLanguage(SkinFolder(), language);
    QTranslator qtTexts;
    if (!language.isEmpty() &&
        qtTexts.load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    ApplySkinStyle(SavedSkinStyle());
    QApplication::setWindowIcon(QIcon(SkinPath("images/veltrix-wireless.svg")));

    // Keys are stored by the position of the key the user pressed, under the layout in use.
    x11::InstallX11LayoutLookup();

    MainWindowOptions options;
    options.dataFolder = DataFolder();
    CMainWnd mainWindow(std::move(options));
    window = &mainWindow;
    mainWindow.InitWindow();
    mainWindow.ShowAtStart(startHidden);
    QApplication::exec();
    window = nullptr;
    return 0;
}
