#include <filesystem>

#include <gtest/gtest.h>

#include "HookFixture.h"
#include "platform/x11/X11Connection.h"

// The RECORD library frees the state of a recording when the server's last answer to it comes.
// A server that dies first never sends it, and those few bytes stay behind in the library.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:XRecordEnableContextAsync\n";
}

// Once a connection breaks, the X library unlocks the connection's mutex once more than it locked
// it (it expects the process to end there). Harmless with the mutexes it uses, but the thread
// checker reports any misuse of a mutex.
extern "C" const char* __tsan_default_suppressions() {
    return "mutex:libX11.so\n";
}

namespace veltrix::test {
namespace {

using HookPlugin = HookFixture;

// X key codes of a PC keyboard (kernel input code + 8).
constexpr unsigned kKeyA = 38, kKeyQ = 24, kKeyZ = 52, kKeyY = 29, kKey1 = 10, kKeyMinus = 20;
constexpr unsigned kKeyLeftShift = 50, kKeyRightCtrl = 105, kKeyF1 = 67;
constexpr unsigned kKeyF12 = 96, kKeyUp = 111, kKeyPad1 = 87, kKeyPadEnter = 104;
constexpr unsigned kKeyLessGreater = 94;  // the extra key of ISO keyboards

TEST_F(HookPlugin, ReportsEveryKeyAsItsVirtualKeyPressThenRelease) {
    m_hooks.installhook(m_queue.Handle());
    // The keypad's Enter, apart from the main one, as the keypad separator.
    const std::pair<unsigned, std::uintptr_t> keys[] = {
        {kKeyA, 0x41},         {kKeyZ, 0x5A},         {kKey1, 0x31},       {kKeyMinus, 0xBD},
        {kKeyLeftShift, 0xA0}, {kKeyRightCtrl, 0xA3}, {kKeyF1, 0x70},      {kKeyF12, 0x7B},
        {kKeyUp, 0x26},        {kKeyPad1, 0x61},      {kKeyPadEnter, 0x6C}};
    for (const auto& [keyCode, virtualKey] : keys) {
        // A key without a virtual key is passed over.
        m_input->TapKey(kKeyLessGreater);
        m_input->TapKey(keyCode);
        EXPECT_EQ(Next(2), (std::vector{Hook(virtualKey, 0), Hook(virtualKey, 1)}))
            << "key " << keyCode;
    }
}

TEST_F(HookPlugin, ReportsMouseButtonsAndTheWheelOnlyWhenAskedFor) {
    m_hooks.installmousehook(m_queue.Handle());
    m_input->Click(1);
    m_input->Click(3);
    m_input->Click(2);
    m_input->Click(8);  // back
    m_input->Click(9);  // forward
    EXPECT_EQ(Next(10),
              (std::vector{Hook(513, 0), Hook(514, 0), Hook(516, 0), Hook(517, 0), Hook(519, 0),
                           Hook(520, 0), Hook(523, 2), Hook(524, 2), Hook(523, 1), Hook(524, 1)}));

    // Neither the wheel nor keys reach the mouse hook on its own.
    m_input->Click(4);
    m_input->Click(5);
    m_input->TapKey(kKeyA);
    m_input->Click(1);
    EXPECT_EQ(Next(2), (std::vector{Hook(513, 0), Hook(514, 0)}));

    m_hooks.mousewheelenable(1);
    for (unsigned button : {4u, 5u, 6u, 7u}) {
        m_input->Click(button);
    }
    EXPECT_EQ(Next(4),
              (std::vector{Hook(522, 120), Hook(522, -120), Hook(526, -120), Hook(526, 120)}));
    m_hooks.mousewheelenable(0);
    m_input->Click(4);
    m_input->Click(1);
    EXPECT_EQ(Next(2), (std::vector{Hook(513, 0), Hook(514, 0)}));
}

TEST_F(HookPlugin, DisabledAndRemovedHooksPostNothing) {
    // One hook's events come in order with the other's, so each check ends with an event that
    // must come: whatever was to be left out would have come before it.
    m_hooks.installhook(m_queue.Handle());
    m_hooks.installmousehook(m_queue.Handle());
    m_hooks.enablehook(0);
    m_input->TapKey(kKeyA);
    m_input->Button(1, true);
    EXPECT_EQ(Next(), (std::vector{Hook(513, 0)}));
    m_hooks.enablehook(1);
    m_hooks.enablemousehook(0);
    m_input->Button(1, false);
    m_input->Key(kKeyQ, true);
    EXPECT_EQ(Next(), (std::vector{Hook(0x51, 0)}));
    m_hooks.enablemousehook(1);

    // The window of the last install gets the events.
    MessageQueue other;
    m_hooks.installmousehook(other.Handle());
    m_input->Click(3);
    EXPECT_EQ(other.WaitFor(std::chrono::seconds(5)), Hook(516, 0));
    EXPECT_EQ(other.WaitFor(std::chrono::seconds(5)), Hook(517, 0));
    m_hooks.installmousehook(m_queue.Handle());

    m_hooks.removehook();
    m_input->Key(kKeyQ, false);
    m_input->Click(1);
    EXPECT_EQ(Next(2), (std::vector{Hook(513, 0), Hook(514, 0)}));

    // With both gone nothing is recorded; installing again reports only what comes after.
    m_hooks.removemousehook();
    m_hooks.removemousehook();
    m_input->TapKey(kKeyA);
    m_input->Click(1);
    m_hooks.installhook(m_queue.Handle());
    m_input->TapKey(kKeyZ);
    EXPECT_EQ(Next(2), (std::vector{Hook(0x5A, 0), Hook(0x5A, 1)}));
    EXPECT_EQ(m_queue.TryTake(), std::nullopt);
}

// Where each layout puts each key is the keyboard's own test; here, that every change of layout
// is followed from the next key on.
TEST_F(HookPlugin, KeysFollowTheLayoutOfTheServer) {
    m_hooks.installhook(m_queue.Handle());
    const std::tuple<const char*, unsigned, std::uint32_t> changes[] = {
        {"fr", kKeyQ, 0x41}, {"de", kKeyY, 0x5A}, {"us", kKeyQ, 0x51}};
    for (const auto& [layout, keyCode, virtualKey] : changes) {
        ASSERT_TRUE(s_server->SetLayout(layout));
        m_input->TapKey(keyCode);
        EXPECT_EQ(Next(2), (std::vector{Hook(virtualKey, 0), Hook(virtualKey, 1)})) << layout;
    }
}

int CountEntries(const char* folder) {
    const auto entries = std::filesystem::directory_iterator(folder);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

TEST_F(HookPlugin, InstallsAndRemovesAThousandTimesWithoutLeavingAnythingBehind) {
    m_hooks.installhook(m_queue.Handle());
    m_hooks.removehook();
    const int threads = CountEntries("/proc/self/task");
    const int descriptors = CountEntries("/proc/self/fd");
    for (int i = 0; i < 1000; ++i) {
        m_hooks.installhook(m_queue.Handle());
        m_hooks.installmousehook(m_queue.Handle());
        m_hooks.removehook();
        m_hooks.removemousehook();
    }
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
    m_hooks.installhook(m_queue.Handle());
    m_input->TapKey(kKeyA);
    EXPECT_EQ(Next(2), (std::vector{Hook(0x41, 0), Hook(0x41, 1)}));
}

TEST(HookPluginWithoutRecording, EveryCallIsHarmlessAndTheReasonIsSaidOnce) {
    MessageQueue queue;
    HookPluginLink hooks;
    ASSERT_TRUE(hooks.Bind(std::vector<std::filesystem::path>{PLUGIN_DIR})) << hooks.Error();
    {
        ScopedEnv noDisplay("DISPLAY", nullptr);
        EXPECT_FALSE(x11::X11RecordAvailable());
        ::testing::internal::CaptureStderr();
        CallEverything(hooks, queue);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("no X server"), std::string::npos) << said;
        EXPECT_EQ(said.find("no X server"), said.rfind("no X server")) << said;
    }
    // A server without the RECORD extension.
    XvfbServer server({"-extension", "RECORD"});
    ASSERT_TRUE(server.IsRunning()) << server.ErrorOutput();
    ScopedEnv display("DISPLAY", server.Name().c_str());
    EXPECT_FALSE(x11::X11RecordAvailable());
    CallEverything(hooks, queue);
    hooks.Unbind();
    EXPECT_EQ(queue.TryTake(), std::nullopt);
}

TEST(HookPluginWithoutRecording, OutlivesAServerThatGoesAway) {
    MessageQueue queue;
    HookPluginLink hooks;
    ASSERT_TRUE(hooks.Bind(std::vector<std::filesystem::path>{PLUGIN_DIR})) << hooks.Error();
    auto server = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server->IsRunning()) << server->ErrorOutput();
    ScopedEnv display("DISPLAY", server->Name().c_str());
    hooks.installhook(queue.Handle());
    hooks.installmousehook(queue.Handle());
    server.reset();
    // The default of the X library would end the whole program here.
    hooks.removehook();
    hooks.installhook(queue.Handle());
    hooks.Unbind();
    EXPECT_EQ(queue.TryTake(), std::nullopt);
}

}  // namespace
}  // namespace veltrix::test
