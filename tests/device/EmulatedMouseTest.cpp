// The real driver plugins, bound through HidDriverLink, talking to a real emulator process.

#include <atomic>
#include <csignal>
#include <fstream>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "device/DriverLinkTransport.h"
#include "device/HidDriverLink.h"
#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"
#include "hiddriver/EmulatorProtocol.h"
#include "pages/ButtonFunctions.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/EmulatorProcess.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::EmulatorProcess;
using test::kPatience;
using test::ScopedEnv;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

const std::vector<std::filesystem::path> kPluginFolders = {PLUGIN_DIR};
const Bytes kCommitProfile3 = {0x0C, 0x04, 0x03, 0x05};

bool IsStatus(const Message& message) {
    return message.id == kMsgReceiverEvent && message.wParam == kEventStatus;
}

class EmulatedMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator->IsServing());
        ASSERT_TRUE(m_receiver.Bind(kReceiverLibraryName, kPluginFolders)) << m_receiver.Error();
        ASSERT_TRUE(m_cable.Bind(kCableLibraryName, kPluginFolders)) << m_cable.Error();
    }

    void TearDown() override {
        for (HidDriverLink* link : {&m_receiver, &m_cable}) {
            link->Close_FeatureDevice();
            link->Close_DevMonitor();
        }
        // Whatever the plugins did to it, the mouse itself must have held up.
        EXPECT_EQ(m_emulator->Stop(), 0);
    }

    // As at start-up: select the device, watch it, open it. The result of the open.
    int StartReceiver() {
        m_receiver.Set_VIDPID(kVeltrixVendorId, kReceiverProductId);
        m_receiver.Open_DevMonitor(m_window, kMsgReceiverEvent, kMsgReceiverLink);
        return m_receiver.Open_FeatureDevice();
    }
    int StartCable() {
        m_cable.Set_VIDPID(kVeltrixVendorId, kCableProductId);
        m_cable.Open_DevMonitor(m_window, kMsgCableEvent, kMsgCableLink);
        return m_cable.Open_FeatureDevice();
    }

    std::string Ctl(const std::vector<std::string>& command) {
        const test::ProcessResult result = m_emulator->Ctl(command);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    // The next message other than a status report.
    std::optional<Message> NextEvent() {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (const auto message = m_messages.WaitFor(Left(deadline))) {
            if (!IsStatus(*message)) {
                return message;
            }
        }
        return std::nullopt;
    }

    // Passes over everything until `wanted` comes.
    bool WaitForMessage(const Message& wanted) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (const auto message = m_messages.WaitFor(Left(deadline))) {
            if (*message == wanted) {
                return true;
            }
        }
        return false;
    }

    static std::chrono::milliseconds Left(std::chrono::steady_clock::time_point deadline) {
        return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now()),
                        std::chrono::milliseconds(0));
    }

    TempDir m_dir;
    const std::string m_socket = m_dir / "mouse.sock";
    std::unique_ptr<EmulatorProcess> m_emulator =
        std::make_unique<EmulatorProcess>(EMULATOR_PATH, m_socket);
    ScopedEnv m_env{emulator::kSocketVariable, m_socket.c_str()};
    // Declared before the links: it must outlive their monitor threads.
    MessageQueue m_messages;
    const VeltrixWindowHandle m_window = m_messages.Handle();
    HidDriverLink m_receiver;
    HidDriverLink m_cable;
};

TEST_F(EmulatedMouse, ArrivalAndRemovalGiveTheChangeMessage) {
    EXPECT_EQ(StartReceiver(), 1);
    EXPECT_EQ(StartCable(), 0);  // the cable starts out

    Ctl({"plug", "cable"});
    EXPECT_EQ(NextEvent(), (Message{kMsgCableLink, 1, 0}));
    EXPECT_EQ(m_cable.Open_FeatureDevice(), 1);
    Ctl({"unplug", "receiver"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverLink, 0, 0}));
    Ctl({"plug", "cable"});  // already in: no news
    Ctl({"plug", "receiver"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverLink, 1, 0}));
    Ctl({"unplug", "cable"});
    EXPECT_EQ(NextEvent(), (Message{kMsgCableLink, 0, 0}));
}

TEST_F(EmulatedMouse, ButtonsAndStatusArriveAsInputEvents) {
    ASSERT_EQ(StartReceiver(), 1);
    StartCable();

    Ctl({"dpi-button"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverEvent, kEventDpiLevel, 2}));
    Ctl({"profile-button"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverEvent, kEventProfile, 2}));
    // About once a second: 4 bars and level 1 of profile 2.
    Ctl({"battery", "4"});
    EXPECT_TRUE(WaitForMessage({kMsgReceiverEvent, kEventStatus, 0xF1}));

    // With the cable in, the mouse speaks through it.
    Ctl({"plug", "cable"});
    EXPECT_EQ(NextEvent(), (Message{kMsgCableLink, 1, 0}));
    Ctl({"dpi-button"});
    EXPECT_EQ(NextEvent(), (Message{kMsgCableEvent, kEventDpiLevel, 2}));
}

TEST_F(EmulatedMouse, FeatureReportsArriveByteForByte) {
    ASSERT_EQ(StartReceiver(), 1);
    Ctl({"plug", "cable"});
    ASSERT_EQ(StartCable(), 1);

    Bytes dpi(50);
    for (std::size_t i = 0; i < dpi.size(); ++i) {
        dpi[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    dpi[0] = 0x04;
    dpi[1] = 50;
    dpi[2] = 1;
    const Bytes rate = {0x06, 0x09, 0x02, 0x04, 0, 0, 0, 0, 0};
    const Bytes badCommit = {0x0C, 0x05, 0x01, 0x05};
    EXPECT_EQ(m_receiver.SetFeature(dpi), 1);
    EXPECT_EQ(m_cable.SetFeature(rate), 1);
    EXPECT_EQ(m_receiver.SetFeature(badCommit), 0);
    EXPECT_EQ(m_cable.SetFeature(kCommitProfile3), 1);

    std::string dpiLine = "04 32 01";
    for (int i = 3; i < 50; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", 0xA0 + i);
        dpiLine += hex;
    }
    EXPECT_EQ(Ctl({"log"}), dpiLine + "\n06 09 02 04 00 00 00 00 00\n0c 05 01 05\n0c 04 03 05\n");
    const std::string state = Ctl({"state"});
    EXPECT_NE(state.find("\"current_profile\": 3"), std::string::npos) << state;
    EXPECT_NE(state.find("\"bad_frames\": 1"), std::string::npos);
    EXPECT_NE(state.find("\"rate_code\": 4"), std::string::npos);
    Ctl({"clear-log"});
    EXPECT_EQ(Ctl({"log"}), "");
}

TEST_F(EmulatedMouse, TakesEveryReportOfAFullApplyAsItWasSent) {
    ASSERT_EQ(StartReceiver(), 1);
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ButtonEntry& macro = settings->Profiles[1].aButton[3];
    macro.byFuncCode = kFuncMacro;
    macro.wMacroActionCount = 2;
    macro.aMacroAction[0] = {4, 1, 100};
    macro.aMacroAction[1] = {4, 0, 0};
    const LinkFlags flags;  // cable absent: everything goes through the receiver

    RecordingTransport expected;
    ReportSender(expected, flags, InstantClock())
        .SendRequest(*settings, kApplyProfiles, kApplyEveryProfile);
    DriverLinkTransport links(m_receiver, m_cable);
    ReportSender(links, flags, InstantClock())
        .SendRequest(*settings, kApplyProfiles, kApplyEveryProfile);

    std::string lines;
    for (const SentReport& report : expected.Sent()) {
        lines += ReportHexLine(report.bytes) + "\n";
    }
    EXPECT_EQ(Ctl({"log"}), lines);
    const std::string state = Ctl({"state"});
    EXPECT_NE(state.find("\"bad_frames\": 0"), std::string::npos) << state;
    EXPECT_NE(state.find("{\"slot\": 1, "), std::string::npos) << state;
}

TEST_F(EmulatedMouse, ASleepingMouseHearsNothingThroughTheReceiver) {
    ASSERT_EQ(StartReceiver(), 1);
    Ctl({"sleep"});
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);
    EXPECT_EQ(Ctl({"log"}), "");
    Ctl({"wake"});
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
    const auto status = m_messages.WaitFor(kPatience);
    ASSERT_TRUE(status);
    EXPECT_TRUE(IsStatus(*status));
}

TEST_F(EmulatedMouse, AnOpenDeviceGoesStaleWhenUnplugged) {
    ASSERT_EQ(StartReceiver(), 1);
    Ctl({"unplug", "receiver"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverLink, 0, 0}));
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);
    Ctl({"plug", "receiver"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverLink, 1, 0}));
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);  // as a removed hidraw node
    EXPECT_EQ(m_receiver.Open_FeatureDevice(), 1);
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
}

TEST_F(EmulatedMouse, AVanishedEmulatorCountsAsRemovalUntilOneAnswersAgain) {
    ASSERT_EQ(StartReceiver(), 1);
    m_emulator->Signal(SIGKILL);
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverLink, 0, 0}));
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);
    EXPECT_EQ(m_receiver.Open_FeatureDevice(), 0);

    // A new emulator takes over the dead one's socket file; the monitor finds it.
    m_emulator = std::make_unique<EmulatorProcess>(EMULATOR_PATH, m_socket);
    ASSERT_TRUE(m_emulator->IsServing());
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverLink, 1, 0}));
    EXPECT_EQ(m_receiver.Open_FeatureDevice(), 1);
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
}

TEST_F(EmulatedMouse, AHungEmulatorCannotHoldSetFeature) {
    ASSERT_EQ(StartReceiver(), 1);
    m_emulator->Signal(SIGSTOP);
    const Bytes badCommit = {0x0C, 0x05, 0x03, 0x05};
    EXPECT_EQ(m_receiver.SetFeature(badCommit), 0);  // gives up after the reply timeout
    m_emulator->Signal(SIGCONT);
    // The late refusal of the first report is not taken for the answer to the second.
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
    EXPECT_EQ(Ctl({"log"}), "0c 05 03 05\n0c 04 03 05\n");
}

TEST_F(EmulatedMouse, TheDeviceCanCloseWhileTheWorkerSends) {
    ASSERT_EQ(StartReceiver(), 1);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int sends = 0; !done || sends < 200; ++sends) {
            const int result = m_receiver.SetFeature(kCommitProfile3);
            EXPECT_TRUE(result == 0 || result == 1) << result;
        }
    });
    for (int round = 0; round < 20; ++round) {
        m_receiver.Close_FeatureDevice();
        EXPECT_EQ(m_receiver.Open_FeatureDevice(), 1);
    }
    done = true;
    worker.join();
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
}

TEST_F(EmulatedMouse, NothingIsPostedOnceTheMonitorIsClosed) {
    auto queue = std::make_unique<MessageQueue>();
    m_receiver.Set_VIDPID(kVeltrixVendorId, kReceiverProductId);
    m_receiver.Open_DevMonitor(queue->Handle(), kMsgReceiverEvent, kMsgReceiverLink);
    Ctl({"dpi-button"});
    ASSERT_TRUE(queue->WaitFor(kPatience));
    Ctl({"dpi-button"});
    m_receiver.Close_DevMonitor();
    // Were the monitor still posting, the sanitizer would catch it writing to a freed queue.
    queue.reset();
    Ctl({"dpi-button"});
    Ctl({"state"});

    m_receiver.Open_DevMonitor(m_window, kMsgReceiverEvent, kMsgReceiverLink);
    Ctl({"dpi-button"});
    EXPECT_EQ(NextEvent(), (Message{kMsgReceiverEvent, kEventDpiLevel, 1}));  // 4 presses wrap
}

TEST_F(EmulatedMouse, UnloadingAnOpenPluginStopsItsMonitor) {
    ASSERT_EQ(StartReceiver(), 1);
    // No Close_DevMonitor: the plugin stops its thread as it unloads, or the next event would
    // run code that is gone.
    m_receiver.Unbind();
    std::ifstream maps("/proc/self/maps");
    const std::string mapped(std::istreambuf_iterator<char>(maps), {});
    ASSERT_EQ(mapped.find(kReceiverLibraryName), std::string::npos) << "the plugin stayed loaded";
    Ctl({"dpi-button"});
    Ctl({"unplug", "receiver"});
    Ctl({"state"});
}

TEST(HidapiTransport, FindsNoMouseHere) {
    ScopedEnv noEmulator(emulator::kSocketVariable, nullptr);
    MessageQueue messages;
    const VeltrixWindowHandle window = messages.Handle();
    HidDriverLink receiver;
    ASSERT_TRUE(receiver.Bind(kReceiverLibraryName, kPluginFolders)) << receiver.Error();
    EXPECT_EQ(receiver.Set_VIDPID(kVeltrixVendorId, kReceiverProductId), 1);
    EXPECT_EQ(receiver.Open_DevMonitor(window, kMsgReceiverEvent, kMsgReceiverLink), 1);
    EXPECT_EQ(receiver.Open_FeatureDevice(), 0);
    EXPECT_EQ(receiver.SetFeature(kCommitProfile3), 0);
    EXPECT_EQ(receiver.Close_FeatureDevice(), 1);
    EXPECT_EQ(receiver.Close_DevMonitor(), 1);
    EXPECT_EQ(messages.TryTake(), std::nullopt);
}

TEST(MouseEmulatorCommandLine, RefusesBadArgumentsAndUnusablePaths) {
    TempDir dir;
    const std::string socket = dir / "mouse.sock";
    std::ofstream(dir / "file") << "keep me";
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"ctl", "--socket", socket},
        {"ctl", "--socket", socket, "battery", "5"},
        {"ctl", "--socket", socket, "plug", "mouse"},
        {"ctl", "--socket", socket, "sleep", "now"},
        {"ctl", "--socket", socket, "frobnicate"},
        {"serve", "--socket", socket, "extra"},
        {"serve", "--socket", dir / "file"},
        {"serve", "--socket", dir / "no" / "folder" / "mouse.sock"},
        {"serve", "--socket", std::string(200, 'x')},
    };
    for (const auto& args : calls) {
        const auto result = test::RunProcess(EMULATOR_PATH, args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args.back()) << ": " << result.err;
    }
    std::ifstream file(dir / "file");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "keep me");

    const auto unreachable = test::RunProcess(EMULATOR_PATH, {"ctl", "--socket", socket, "state"});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_EQ(unreachable.err,
              "veltrix-mouse-emulator: no emulator is serving at " + socket + "\n");
}

TEST(MouseEmulatorCommandLine, ServesOneAtATimeAndStopsCleanly) {
    TempDir dir;
    EmulatorProcess emulator(EMULATOR_PATH, dir / "mouse.sock");
    ASSERT_TRUE(emulator.IsServing());
    const auto second = test::RunProcess(EMULATOR_PATH, {"serve", "--socket", dir / "mouse.sock"});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("already serving"), std::string::npos) << second.err;
    EXPECT_EQ(emulator.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "mouse.sock"));
}

}  // namespace
}  // namespace veltrix
