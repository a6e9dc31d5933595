#pragma once

// What every window test shares: the skin of the source tree with its English texts, the user's
// files in a folder of the test's own, and a mouse where a test wants one.

#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "CMainWnd.h"
#include "Skin.h"
#include "device/DeviceSession.h"
#include "device/RecordingTransport.h"
#include "macro/MacroRecord.h"
#include "profile/ProfileSettings.h"
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

class FakeMouse;

// A main window over the user's files in `dataFolder`, initialised (and shown when asked), its
// first events handled. Without `mouse` it finds none.
std::unique_ptr<gui::CMainWnd> MakeMainWindow(const std::filesystem::path& dataFolder,
                                              bool shown = false, FakeMouse* mouse = nullptr);

// A macro of that name and steps, and macro.data in `data` holding `records`.
MacroRecord Macro(std::u16string_view name, std::initializer_list<MacroAction> actions);
void WriteMacros(const TempDir& data, std::initializer_list<MacroRecord> records);

// The record saved in `dataFolder` (zeros where there is none).
ProfileSettings SavedRecord(const std::filesystem::path& dataFolder);
// The reports that apply request (area, profile) sends for `settings`, one hex line each, as
// FakeMouse::Log has them.
std::vector<std::string> ReportsOf(const ProfileSettings& settings, std::uintptr_t area,
                                   int profile);

// The mouse where none can be plugged in: its receiver and cable answer as the driver plugins do
// with their devices, and post the plugins' messages to the window, so the window, its device
// link and its worker run as with a real mouse. It starts on the receiver, awake (its first status
// report says DPI level 2, 3 bars).
class FakeMouse {
  public:
    FakeMouse();
    ~FakeMouse();
    DriverLinks Links();

    // The device arrives or leaves, as the driver's monitor tells it.
    void Plug(DeviceLinkKind link, bool plugged);
    // An input report over the receiver: the event's code and value.
    void Report(std::uint32_t code, std::uint32_t value);
    // The status report the mouse sends while awake: DPI level (1 to 4) and battery bars (1 to 4).
    void Status(int level, int bars);
    // Every report the mouse took, one hex line each, in order.
    std::vector<std::string> Log() const;
    void ClearLog() { m_iLogStart = m_log.Sent().size(); }

  private:
    class Link;
    RecordingTransport m_log;
    std::size_t m_iLogStart = 0;
    std::unique_ptr<Link> m_pReceiver;
    std::unique_ptr<Link> m_pCable;
};

}  // namespace veltrix::test
