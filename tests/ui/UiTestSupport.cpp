#include "UiTestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <atomic>

#include "Language.h"
#include "Skin.h"
#include "SkinWindow.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"
#include "platform/BinaryFile.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/SettingsFiles.h"

namespace veltrix::test {

namespace {

std::vector<std::string> HexLines(const std::vector<SentReport>& sent, std::size_t from = 0) {
    std::vector<std::string> lines;
    for (std::size_t i = from; i < sent.size(); ++i) {
        lines.push_back(ReportHexLine(sent[i].bytes));
    }
    return lines;
}

}  // namespace

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

std::unique_ptr<gui::CMainWnd> MakeMainWindow(const std::filesystem::path& dataFolder, bool shown,
                                              FakeMouse* mouse) {
    gui::MainWindowOptions options;
    options.dataFolder = dataFolder;
    if (mouse != nullptr) {
        options.driverLinks = mouse->Links();
    } else {
        options.pluginFolders = {"/nonexistent/veltrix-plugins"};
    }
    options.clock = &InstantClock();
    auto window = std::make_unique<gui::CMainWnd>(std::move(options));
    window->InitWindow();
    if (mouse != nullptr) {
        // The start-up selection of the current profile sends its commit; tests begin after it.
        if (!QTest::qWaitFor([mouse] { return !mouse->Log().empty(); })) {
            qFatal("the mouse got no start-up commit");
        }
        mouse->ClearLog();
    }
    if (shown) {
        window->show();
    }
    QCoreApplication::processEvents();
    return window;
}

MacroRecord Macro(std::u16string_view name, std::initializer_list<MacroAction> actions) {
    MacroRecord record{};
    SetFieldText(record.szName, name);
    std::copy(actions.begin(), actions.end(), record.aAction.begin());
    record.iActionCount = static_cast<std::int32_t>(actions.size());
    return record;
}

void WriteMacros(const TempDir& data, std::initializer_list<MacroRecord> records) {
    MacroStore store;
    for (const MacroRecord& record : records) {
        store.Append(record);
    }
    QVERIFY(SaveMacroList(store, data.Path()));
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
    return HexLines(transport.Sent());
}

// One driver plugin with its device: the device opens only while plugged in and takes reports
// only while open; the monitor posts to the window that opened it until it is closed.
class FakeMouse::Link final : public DriverLink {
  public:
    static constexpr std::uint32_t kLevel2ThreeBars = 0x73;

    Link(RecordingTransport& log, DeviceLinkKind kind, bool plugged)
        : m_log(log), m_kind(kind), m_bPlugged(plugged) {}

    void Plug(bool plugged) {
        m_bPlugged = plugged;
        m_bOpen = m_bOpen && plugged;
        VeltrixPost(&m_window, m_changeMessage, plugged ? 1 : 0, 0);
    }
    void Post(std::uint32_t code, std::uint32_t value) {
        VeltrixPost(&m_window, m_reportMessage, code, value);
    }

    std::int32_t Set_VIDPID(std::int32_t, std::int32_t) override { return 1; }
    std::int32_t Open_DevMonitor(const VeltrixWindowHandle& window, std::uint32_t reportMessage,
                                 std::uint32_t changeMessage) override {
        m_window = window;
        m_reportMessage = reportMessage;
        m_changeMessage = changeMessage;
        return 1;
    }
    // An awake mouse tells its state as soon as its receiver is open.
    std::int32_t Open_FeatureDevice() override {
        m_bOpen = m_bPlugged;
        if (m_bOpen && m_kind == DeviceLinkKind::Receiver) {
            Post(kEventStatus, kLevel2ThreeBars);
        }
        return m_bOpen ? 1 : 0;
    }
    // The worker's call.
    std::int32_t SetFeature(std::span<const std::uint8_t> report) override {
        return m_bOpen ? m_log.SetFeature(m_kind, report) : 0;
    }
    std::int32_t GetFeature(std::span<std::uint8_t>) override { return 0; }
    std::int32_t Close_FeatureDevice() override {
        m_bOpen = false;
        return 1;
    }
    std::int32_t Close_DevMonitor() override {
        m_window = {};
        return 1;
    }

  private:
    RecordingTransport& m_log;
    DeviceLinkKind m_kind;
    bool m_bPlugged;
    std::atomic<bool> m_bOpen{false};
    VeltrixWindowHandle m_window{};
    std::uint32_t m_reportMessage = 0;
    std::uint32_t m_changeMessage = 0;
};

FakeMouse::FakeMouse()
    : m_pReceiver(std::make_unique<Link>(m_log, DeviceLinkKind::Receiver, true)),
      m_pCable(std::make_unique<Link>(m_log, DeviceLinkKind::Cable, false)) {}

FakeMouse::~FakeMouse() = default;

DriverLinks FakeMouse::Links() {
    return {m_pReceiver.get(), m_pCable.get()};
}

void FakeMouse::Plug(DeviceLinkKind link, bool plugged) {
    (link == DeviceLinkKind::Cable ? m_pCable : m_pReceiver)->Plug(plugged);
}

void FakeMouse::Report(std::uint32_t code, std::uint32_t value) {
    m_pReceiver->Post(code, value);
}

void FakeMouse::Status(int level, int bars) {
    const auto run = [](int count) { return (1u << count) - 1; };
    Report(kEventStatus, run(bars) << 4 | run(level));
}

std::vector<std::string> FakeMouse::Log() const {
    return HexLines(m_log.Sent(), m_iLogStart);
}

}  // namespace veltrix::test
