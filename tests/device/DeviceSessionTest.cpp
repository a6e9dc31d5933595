// The program's device session (link state, worker, real plugins) against the emulated mouse.

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "device/DeviceEventLoop.h"
#include "device/DeviceSession.h"
#include "hiddriver/EmulatorProtocol.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/EmulatorProcess.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::kPatience;

const std::vector<std::filesystem::path> kPluginFolders = {PLUGIN_DIR};

bool IsLoaded(const std::filesystem::path& library) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        ::dlclose(handle);  // NOLOAD counted one more reference
    }
    return handle != nullptr;
}

class DeviceSessionTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_emulator->IsServing()); }

    void Ctl(const std::vector<std::string>& command) {
        const test::ProcessResult result = m_emulator->Ctl(command);
        EXPECT_EQ(result.exitCode, 0) << result.err;
    }

    test::TempDir m_dir;
    const std::string m_socket = m_dir / "mouse.sock";
    std::unique_ptr<test::EmulatorProcess> m_emulator =
        std::make_unique<test::EmulatorProcess>(EMULATOR_PATH, m_socket);
    test::ScopedEnv m_env{emulator::kSocketVariable, m_socket.c_str()};
    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    DeviceEventLoop m_loop{SystemClock()};
};

TEST_F(DeviceSessionTest, TheLinkFollowsTheMouseThroughThePlugins) {
    int saves = 0;
    std::vector<Message> notices;
    DeviceSession session(
        *m_settings, m_loop, m_loop.Window(), [&](const ProfileSettings&) { ++saves; },
        SystemClock());
    session.Start(kPluginFolders);
    DeviceLink& link = session.Link();
    const LinkFlags& flags = link.Flags();
    const auto runUntil = [&](const std::function<bool()>& done) {
        return m_loop.RunUntil(link, kPatience, done,
                               [&](const Message& message) { notices.push_back(message); });
    };
    ASSERT_EQ(flags.m_iReceiverState, kLinkPresent);
    EXPECT_EQ(flags.m_iCableState, kLinkAbsent);
    EXPECT_TRUE(link.Connected());

    ASSERT_TRUE(runUntil([&] { return flags.AcceptsRequests(); })) << "no status report came";
    EXPECT_EQ(link.BatteryBars(), 3);

    const auto noticed = [&](const Message& message) {
        return std::find(notices.begin(), notices.end(), message) != notices.end();
    };
    const int savesBefore = saves;
    Ctl({"profile-button"});
    ASSERT_TRUE(runUntil([&] { return noticed({kMsgProfileNotice, 0, 1}); }));
    EXPECT_EQ(m_settings->iCurProfile, 1);
    EXPECT_GT(saves, savesBefore);

    Ctl({"plug", "cable"});
    ASSERT_TRUE(runUntil([&] { return flags.m_iCableState == kLinkPresent; }));
    Ctl({"unplug", "cable"});
    ASSERT_TRUE(runUntil([&] { return flags.m_iCableState == kLinkRemoved; }));
    EXPECT_EQ(flags.m_bAsleep, 1) << "asleep until the receiver brings a status report";

    notices.clear();
    Ctl({"unplug", "receiver"});
    ASSERT_TRUE(runUntil([&] { return noticed({kMsgPresenceChanged, 0, 0}); }));
    EXPECT_FALSE(link.Connected());
}

// The window as the worker sees it from its thread: for every finished request, whether both
// driver libraries were still loaded at that moment.
struct FinishWatch {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    std::vector<bool> loadedAtFinish;
    std::filesystem::path libraries[2];

    static void Post(void* context, std::uint32_t message, std::uintptr_t, std::intptr_t) {
        auto& watch = *static_cast<FinishWatch*>(context);
        std::lock_guard lock(watch.mutex);
        if (message == kMsgApplyStarted) {
            watch.started = true;
        } else if (message == kMsgApplyFinished) {
            watch.loadedAtFinish.push_back(IsLoaded(watch.libraries[0]) &&
                                           IsLoaded(watch.libraries[1]));
        }
        watch.changed.notify_all();
    }
};

TEST_F(DeviceSessionTest, TheLibrariesAreUnloadedOnlyAfterTheWorkerHasStopped) {
    Ctl({"plug", "cable"});  // awake from the start, without waiting for a status report
    FinishWatch watch;
    auto session = std::make_unique<DeviceSession>(*m_settings, m_loop,
                                                   VeltrixWindowHandle{&watch, &FinishWatch::Post},
                                                   nullptr, SystemClock());
    session->Start(kPluginFolders);
    ASSERT_TRUE(session->Link().Flags().AcceptsRequests());
    watch.libraries[0] = session->Receiver().LibraryPath();
    watch.libraries[1] = session->Cable().LibraryPath();
    ASSERT_TRUE(IsLoaded(watch.libraries[0]) && IsLoaded(watch.libraries[1]));

    // Shut down while the worker is inside a long request, with another one still queued.
    session->Apply(kApplyProfiles, kApplyEveryProfile);
    session->Apply(kApplyButtons, 0);
    {
        std::unique_lock lock(watch.mutex);
        ASSERT_TRUE(watch.changed.wait_for(lock, kPatience, [&] { return watch.started; }));
    }
    session.reset();

    EXPECT_EQ(watch.loadedAtFinish, (std::vector<bool>{true, true}));
    EXPECT_FALSE(IsLoaded(watch.libraries[0]));
    EXPECT_FALSE(IsLoaded(watch.libraries[1]));
}

}  // namespace
}  // namespace veltrix
