// veltrix-wireless: the window of the Veltrix wireless mouse. --hidden (the autostart entry's), or
// any other argument, starts it in the notification area.

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "CMainWnd.h"
#include "CMsgWnd.h"
#include "Language.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "Skin.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/x11/X11LayoutLookup.h"

using namespace veltrix;
using namespace veltrix::gui;

namespace {

// --help and --version answer on the terminal and end, before anything needs a display. Any
// other command line, recognised or not, only asks for a start in the notification area.
bool StartsHidden(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription("Configures the Veltrix wireless gaming mouse.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption({"hidden", "Start in the notification area, without showing the window."});
    parser.addPositionalArgument("[arguments...]", "Any argument also starts it hidden.");
    parser.parse(arguments);
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(0);
    }
    if (parser.isSet(version)) {
        std::printf("veltrix-wireless %s\n", VELTRIX_VERSION);
        std::exit(0);
    }
    return argc > 1;
}

// `qtTexts` holds Qt's own texts for the language chosen, so it lives as long as the program.
bool LoadSkin(QTranslator& qtTexts) {
    if (SkinFolder().isEmpty()) {
        std::fprintf(stderr,
                     "veltrix-wireless: the skin folder was not found (res/ beside the program "
                     "or ../share/veltrix-wireless/res)\n");
        return false;
    }
    // The skin's texts and Qt's own (file dialogs, standard buttons) in the same language.
    const QString language = Language::CodeFor(SkinFolder(), QLocale::system().uiLanguages());
    Language::Instance().LoadLanguage(SkinFolder(), language);
    if (!language.isEmpty() &&
        qtTexts.load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    ApplySkinStyle(SavedSkinStyle());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName("veltrix-wireless");
    QCoreApplication::setApplicationVersion(VELTRIX_VERSION);
    const bool startHidden = StartsHidden(argc, argv);

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName("io.veltrix.Wireless");
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtTexts;

    CMainWnd* window = nullptr;
    SingleInstance instance;
    switch (instance.TryBecomePrimary([&window](const QByteArray& token) {
        if (window != nullptr) {
            // Qt's Wayland platform raises the window (or the box it opens) with the token it
            // finds here, as a desktop lets only a program it has just started take the focus.
            if (!token.isEmpty()) {
                qputenv("XDG_ACTIVATION_TOKEN", token);
            }
            window->HandleCustomMessage({kMsgActivate, 0, 0});
        }
    })) {
        case SingleInstance::Start::Primary:
            break;
        case SingleInstance::Start::AlreadyRunning:
            instance.ActivateRunning();
            return 1;
        case SingleInstance::Start::Failed:
            std::fprintf(stderr, "veltrix-wireless: %s\n", qPrintable(instance.ErrorText()));
            if (LoadSkin(qtTexts)) {
                ApplySkinWindowIcon();
                CMsgWnd::Tell(nullptr, "warning_title_text", "instance_lock_failed_text");
            }
            return 3;
    }

    UseDrawnFontFamily();
    if (!LoadSkin(qtTexts)) {
        return 2;
    }

    // Keys are stored by the position of the key the user pressed, under the layout in use.
    x11::InstallX11LayoutLookup();

    MainWindowOptions options;
    options.dataFolder = DataFolder();
    CMainWnd mainWindow(std::move(options));
    window = &mainWindow;
    mainWindow.InitWindow();
    QuitSignals signals;
    QObject::connect(&signals, &QuitSignals::Received, &mainWindow, &CMainWnd::Quit);
    // The desktop session ends: keep everything on disk now, in case the program gets no further.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainWindow,
                     [&mainWindow](QSessionManager&) { mainWindow.SaveNow(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &mainWindow, &CMainWnd::Destroy);
    mainWindow.ShowAtStart(startHidden);
    QApplication::exec();
    window = nullptr;
    return 0;
}
