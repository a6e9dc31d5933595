// The program's device session (link state, worker, real plugins) against the emulated mouse.

#include <condition_variable>
#include <memory>
#include <mutex>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "EmulatorFixture.h"
#include "device/DeviceEventLoop.h"
#include "device/DeviceSession.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"

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

class DeviceSessionTest : public test::EmulatorFixture {
  protected:
    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    DeviceEventLoop m_loop{SystemClock()};
};

TEST_F(DeviceSessionTest, AProfileChosenOnTheMouseReachesTheRecordAndIsSaved) {
    int savedProfile = -1;
    DeviceSession session(
        *m_settings, m_loop, m_loop.Window(),
        [&](const ProfileSettings& saved) { savedProfile = saved.iCurProfile; }, SystemClock());
    session.Start(kPluginFolders);
    Ctl({"profile-button"});
    EXPECT_TRUE(m_loop.RunUntil(session.Link(), kPatience, [&] { return savedProfile == 1; }));
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
        watch.started = watch.started || message == kMsgApplyStarted;
        if (message == kMsgApplyFinished) {
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

    // Shut down while the worker is inside a long request, with another one still queued.
    session->Apply(kApplyProfiles, kApplyEveryProfile);
    session->Apply(kApplyButtons, 0);
    {
        std::unique_lock lock(watch.mutex);
        ASSERT_TRUE(watch.changed.wait_for(lock, kPatience, [&] { return watch.started; }));
    }
    session->FinishSending(std::chrono::nanoseconds(0));  // a second quit: no waiting
    session.reset();
    EXPECT_EQ(watch.loadedAtFinish, (std::vector<bool>{true, true}));
    EXPECT_FALSE(IsLoaded(watch.libraries[0]) || IsLoaded(watch.libraries[1]));
}

}  // namespace
}  // namespace veltrix
