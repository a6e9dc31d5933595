#pragma once

// What every window test shares: the skin of the source tree with its English texts, the user's
// files in a folder of the test's own, and the mouse emulator on a socket when a test wants one.

#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "CMainWnd.h"
#include "Skin.h"
#include "profile/ProfileSettings.h"
#include "support/EmulatorProcess.h"
#include "support/TempDir.h"

namespace veltrix::test {

// Points the program at the source tree's skin and loads its language file. Once per program.
void UseSourceSkin();

// The control of that name under `root`; a missing one ends the test program, naming it.
template <typename T = QWidget>
T* Control(QObject* root, const QString& name) {
    T* control = gui::FindControl<T>(root, name);
    if (control == nullptr) {
        qFatal("no control %s", qPrintable(name));
    }
    return control;
}

// Answers the next warning box with `answer`, noting the text it showed.
void AnswerWarning(QString& shown, int answer);

// The folder the built driver plugins are in.
std::vector<std::filesystem::path> BuiltPluginFolders();
// A folder without plugins: the program then finds no mouse.
std::vector<std::filesystem::path> NoPluginFolders();

// A main window over the user's files in `dataFolder`, initialised (and shown when asked), its
// first events handled.
std::unique_ptr<gui::CMainWnd> MakeMainWindow(const std::filesystem::path& dataFolder,
                                              std::vector<std::filesystem::path> plugins,
                                              bool shown = false);

// The record saved in `dataFolder` (zeros where there is none).
ProfileSettings SavedRecord(const std::filesystem::path& dataFolder);
// The reports that apply request (area, profile) sends for `settings`, one hex line each, as the
// emulator logs them.
std::vector<std::string> ReportsOf(const ProfileSettings& settings, std::uintptr_t area,
                                   int profile);

// The emulated mouse, served for the life of the object, and the environment that makes the
// driver plugins use it.
class EmulatedMouse {
  public:
    EmulatedMouse();
    bool IsServing() const { return m_emulator.IsServing(); }
    // `veltrix-mouse-emulator ctl` with the command; its standard output.
    std::string Ctl(const std::vector<std::string>& command) const;
    // Every report the mouse received, one hex line each.
    std::vector<std::string> Log() const;

  private:
    TempDir m_dir;
    EmulatorProcess m_emulator;
    ScopedEnv m_env;
};

}  // namespace veltrix::test
