#include "UiTestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <sstream>

#include "Language.h"
#include "Skin.h"
#include "SkinWindow.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"
#include "platform/BinaryFile.h"
#include "profile/SettingsFiles.h"

namespace veltrix::test {

void UseSourceSkin() {
    gui::SetSkinFolder(QString::fromUtf8(VELTRIX_SKIN_DIR));
    gui::Language::Instance().Load(gui::SkinPath("lan.xml"));
}

void AnswerWarning(QString& shown, int answer) {
    gui::SkinWindow::QueueAnswer([&shown, answer](gui::SkinWindow& box) {
        shown = gui::FindControl<QLabel>(&box, "warning")->text();
        return answer;
    });
}

std::vector<std::filesystem::path> BuiltPluginFolders() {
    return {VELTRIX_PLUGIN_BUILD_DIR};
}

std::vector<std::filesystem::path> NoPluginFolders() {
    return {"/nonexistent/veltrix-plugins"};
}

std::unique_ptr<gui::CMainWnd> MakeMainWindow(const std::filesystem::path& dataFolder,
                                              std::vector<std::filesystem::path> plugins,
                                              bool shown) {
    gui::MainWindowOptions options;
    options.dataFolder = dataFolder;
    options.pluginFolders = std::move(plugins);
    auto window = std::make_unique<gui::CMainWnd>(std::move(options));
    window->InitWindow();
    if (shown) {
        window->show();
    }
    QCoreApplication::processEvents();
    return window;
}

ProfileSettings SavedRecord(const std::filesystem::path& dataFolder) {
    ProfileSettings saved{};
    ReadFilePrefix(SettingsFile(dataFolder), WritableRecordBytes(saved));
    return saved;
}

std::vector<std::string> ReportsOf(const ProfileSettings& settings, std::uintptr_t area,
                                   int profile) {
    RecordingTransport transport;
    const LinkFlags flags;
    ReportSender(transport, flags, InstantClock()).SendRequest(settings, area, profile);
    std::vector<std::string> lines;
    for (const SentReport& report : transport.Sent()) {
        lines.push_back(ReportHexLine(report.bytes));
    }
    return lines;
}

EmulatedMouse::EmulatedMouse()
    : m_emulator(VELTRIX_EMULATOR_PATH, m_dir / "mouse.sock"),
      m_env("VELTRIX_EMULATOR", (m_dir / "mouse.sock").c_str()) {}

std::string EmulatedMouse::Ctl(const std::vector<std::string>& command) const {
    return m_emulator.Ctl(command).out;
}

std::vector<std::string> EmulatedMouse::Log() const {
    std::vector<std::string> lines;
    std::istringstream in(Ctl({"log"}));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace veltrix::test
