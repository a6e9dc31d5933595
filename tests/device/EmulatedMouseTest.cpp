// The real driver plugins, bound through HidDriverLink, talking to a real emulator process.

#include <atomic>
#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "EmulatorFixture.h"
#include "device/HidDriverLink.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "support/ByteImage.h"

namespace veltrix {
namespace {

using test::EmulatorProcess;
using test::kPatience;
using Bytes = std::vector<std::uint8_t>;

const std::vector<std::filesystem::path> kPluginFolders = {PLUGIN_DIR};
const Bytes kCommitProfile3 = {0x0C, 0x04, 0x03, 0x05};
const Bytes kBadCommit = {0x0C, 0x05, 0x03, 0x05};

class EmulatedMouse : public test::EmulatorFixture {
  protected:
    void SetUp() override {
        EmulatorFixture::SetUp();
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
    int Start(HidDriverLink& link) {
        const bool cable = &link == &m_cable;
        link.Set_VIDPID(kVeltrixVendorId, cable ? kCableProductId : kReceiverProductId);
        link.Open_DevMonitor(m_window, cable ? kMsgCableEvent : kMsgReceiverEvent,
                             cable ? kMsgCableLink : kMsgReceiverLink);
        return link.Open_FeatureDevice();
    }

    // The next message other than a status report (the mouse sends one about once a second);
    // with `wanted`, the next message equal to it. Empty when none comes.
    std::optional<Message> Next(std::optional<Message> wanted = std::nullopt) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            const auto message = m_messages.WaitFor(std::chrono::milliseconds(100));
            if (message && (wanted ? message == wanted : message->wParam != kEventStatus)) {
                return message;
            }
        }
        return std::nullopt;
    }

    // Declared before the links: it must outlive their monitor threads.
    MessageQueue m_messages;
    const VeltrixWindowHandle m_window = m_messages.Handle();
    HidDriverLink m_receiver;
    HidDriverLink m_cable;
};

TEST_F(EmulatedMouse, ArrivalRemovalAndInputArriveAsMessages) {
    EXPECT_EQ(Start(m_receiver), 1);
    EXPECT_EQ(Start(m_cable), 0);  // the cable starts out

    Ctl({"dpi-button"});
    EXPECT_EQ(Next(), (Message{kMsgReceiverEvent, kEventDpiLevel, 2}));
    Ctl({"profile-button"});
    EXPECT_EQ(Next(), (Message{kMsgReceiverEvent, kEventProfile, 2}));
    Ctl({"battery", "4"});  // 4 bars and level 1 of profile 2
    EXPECT_TRUE(Next(Message{kMsgReceiverEvent, kEventStatus, 0xF1}));

    Ctl({"plug", "cable"});
    EXPECT_EQ(Next(), (Message{kMsgCableLink, 1, 0}));
    EXPECT_EQ(m_cable.Open_FeatureDevice(), 1);
    EXPECT_EQ(m_cable.SetFeature(kCommitProfile3), 1);
    Ctl({"dpi-button"});  // with the cable in, the mouse speaks through it
    EXPECT_EQ(Next(), (Message{kMsgCableEvent, kEventDpiLevel, 2}));
    Ctl({"plug", "cable"});  // already in: no news
    Ctl({"unplug", "cable"});
    EXPECT_EQ(Next(), (Message{kMsgCableLink, 0, 0}));

    // Like a removed hidraw node, an open device stays dead when its device comes back.
    Ctl({"unplug", "receiver"});
    EXPECT_EQ(Next(), (Message{kMsgReceiverLink, 0, 0}));
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);
    Ctl({"plug", "receiver"});
    EXPECT_EQ(Next(), (Message{kMsgReceiverLink, 1, 0}));
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);
    EXPECT_EQ(m_receiver.Open_FeatureDevice(), 1);
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
    EXPECT_EQ(Ctl({"log"}), "0c 04 03 05\n0c 04 03 05\n");
}

TEST_F(EmulatedMouse, AVanishedEmulatorCountsAsRemovalUntilOneAnswersAgain) {
    ASSERT_EQ(Start(m_receiver), 1);
    m_emulator->Signal(SIGKILL);
    EXPECT_EQ(Next(), (Message{kMsgReceiverLink, 0, 0}));
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 0);
    EXPECT_EQ(m_receiver.Open_FeatureDevice(), 0);

    // A new emulator takes over the dead one's socket file; the monitor finds it.
    m_emulator = std::make_unique<EmulatorProcess>(EMULATOR_PATH, m_socket);
    ASSERT_TRUE(m_emulator->IsServing());
    EXPECT_EQ(Next(), (Message{kMsgReceiverLink, 1, 0}));
    EXPECT_EQ(m_receiver.Open_FeatureDevice(), 1);
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
}

TEST_F(EmulatedMouse, AHungEmulatorCannotHoldSetFeature) {
    ASSERT_EQ(Start(m_receiver), 1);
    m_emulator->Signal(SIGSTOP);
    EXPECT_EQ(m_receiver.SetFeature(kBadCommit), 0);  // gives up after the reply timeout
    m_emulator->Signal(SIGCONT);
    // The late refusal of the first report is not taken for the answer to the second.
    EXPECT_EQ(m_receiver.SetFeature(kCommitProfile3), 1);
    EXPECT_EQ(Ctl({"log"}), "0c 05 03 05\n0c 04 03 05\n");
}

TEST_F(EmulatedMouse, TheDeviceCanCloseWhileTheWorkerSends) {
    ASSERT_EQ(Start(m_receiver), 1);
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

TEST_F(EmulatedMouse, NothingIsPostedOnceTheMonitorIsClosedOrItsPluginUnloaded) {
    auto queue = std::make_unique<MessageQueue>();
    m_receiver.Set_VIDPID(kVeltrixVendorId, kReceiverProductId);
    m_receiver.Open_DevMonitor(queue->Handle(), kMsgReceiverEvent, kMsgReceiverLink);
    Ctl({"dpi-button"});
    ASSERT_TRUE(queue->WaitFor(kPatience));
    m_receiver.Close_DevMonitor();
    // Were the monitor still posting, the sanitizer would catch it writing to a freed queue.
    queue.reset();
    Ctl({"dpi-button"});

    m_receiver.Open_DevMonitor(m_window, kMsgReceiverEvent, kMsgReceiverLink);
    Ctl({"dpi-button"});
    EXPECT_EQ(Next(), (Message{kMsgReceiverEvent, kEventDpiLevel, 4}));
    // Unloaded without Close_DevMonitor, the plugin stops its thread, or the next event would
    // run code that is gone.
    m_receiver.Unbind();
    const std::string mapped = test::FileText("/proc/self/maps");
    ASSERT_EQ(mapped.find(kReceiverLibraryName), std::string::npos) << "the plugin stayed loaded";
    Ctl({"dpi-button"});
    Ctl({"unplug", "receiver"});
    Ctl({"state"});
}

// Without the emulator both plugins go the hidapi way. A program of its own unloads them, and
// hidapi with them, so a sanitizer build reports whatever they leave allocated (here hidapi stays
// loaded with the test's own copy, and nothing it holds is ever lost).
TEST(HidapiTransport, VeltrixctlStatusWithoutTheEmulatorLeavesNothingBehind) {
    test::ScopedEnv noEmulator(emulator::kSocketVariable, nullptr);
    const test::ProcessResult result = test::RunProcess(VELTRIXCTL_PATH, {"status"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
}

// The mouse's reports carry the user's macros and key bindings: a socket on a shared path that
// another user listens on is no mouse at all.
TEST(EmulatorSocket, AListenerOfAnotherUserIsNeverConnectedTo) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can listen as another user here";
    }
    test::TempDir shared;
    std::filesystem::permissions(shared.Path(), std::filesystem::perms::all);
    const std::string path = shared / "mouse.sock";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t stranger = ::fork();
    if (stranger == 0) {
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 ||
            ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 4) != 0 || ::write(ready[1], "+", 1) != 1) {
            ::_exit(1);
        }
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char listening = 0;
    EXPECT_EQ(::read(ready[0], &listening, 1), 1);
    ::close(ready[0]);
    EXPECT_FALSE(emulator::Connect(path).IsValid());
    ::kill(stranger, SIGKILL);
    ::waitpid(stranger, nullptr, 0);
}

TEST(MouseEmulatorCommandLine, RefusesBadArgumentsAndUnusablePaths) {
    test::TempDir dir;
    const std::string socket = dir / "mouse.sock";
    std::ofstream(dir / "file") << "keep me";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"ctl", "--socket", socket, "battery", "5"},
             {"ctl", "--socket", socket, "frobnicate"},
             {"serve", "--socket", dir / "file"},
             {"serve", "--socket", dir / "no" / "folder" / "mouse.sock"},
             {"serve", "--socket", std::string(200, 'x')}}) {
        const auto result = test::RunProcess(EMULATOR_PATH, args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args.back()) << ": " << result.err;
    }
    EXPECT_EQ(test::FileText(dir / "file"), "keep me");

    const auto unreachable = test::RunProcess(EMULATOR_PATH, {"ctl", "--socket", socket, "state"});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_EQ(unreachable.err,
              "veltrix-mouse-emulator: no emulator is serving at " + socket + "\n");
}

TEST(MouseEmulatorCommandLine, ServesOneAtATimeAndStopsCleanly) {
    test::TempDir dir;
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
