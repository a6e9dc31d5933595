// veltrixctl status and apply: the real program, its real plugins and the emulated mouse.

#include <filesystem>

#include "EmulatorFixture.h"

namespace veltrix {
namespace {

using test::ProcessResult;
using test::Veltrixctl;

using VeltrixctlMouseTest = test::VeltrixctlMouse;

TEST_F(VeltrixctlMouseTest, ApplyWaitsForTheMouseThenLeavesInItExactlyTheReportsOfTheDryRun) {
    Ctl({"sleep"});
    test::ChildProcess apply(VELTRIXCTL_PATH, {"apply", m_record, "0", "1"});
    Ctl({"wake"});
    ASSERT_EQ(apply.Wait(), 0) << apply.ErrorOutput();
    const std::string sent = Veltrixctl({"reports", m_record, "0", "1"}).out;
    EXPECT_EQ(Ctl({"log"}), sent);

    // A bare file name lies in the current folder, which needs no creating.
    const ProcessResult bare =
        test::RunProcess("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\" apply Config_1.data 0 0",
                                     m_dir.Path().string(), VELTRIXCTL_PATH});
    EXPECT_EQ(bare.exitCode, 0) << bare.err;
}

TEST_F(VeltrixctlMouseTest, ApplyGivesUpOnASleepingMouseAndLeavesTheFile) {
    Ctl({"sleep"});
    const auto written = std::filesystem::last_write_time(m_record);
    const ProcessResult result = Veltrixctl({"apply", m_record, "0", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "veltrixctl: no mouse within 5 seconds: plug in its receiver or cable and wake it\n");
    EXPECT_EQ(Ctl({"log"}), "");
    EXPECT_EQ(std::filesystem::last_write_time(m_record), written);
}

TEST_F(VeltrixctlMouseTest, StatusShowsTheLinksSleepBatteryAndCharging) {
    EXPECT_EQ(Veltrixctl({"status"}).out,
              "receiver: present\ncable: absent\nmouse: awake\nbattery: 75%\ncharging: no\n");
    Ctl({"plug", "cable"});
    EXPECT_EQ(Veltrixctl({"status"}).out,
              "receiver: present\ncable: present\nmouse: awake\nbattery: unknown\ncharging: yes\n");
    Ctl({"unplug", "cable"});
    Ctl({"sleep"});
    EXPECT_EQ(Veltrixctl({"status"}).out,
              "receiver: present\ncable: absent\nmouse: asleep\nbattery: unknown\ncharging: no\n");
}

TEST_F(VeltrixctlMouseTest, WithoutItsPluginsTheToolSaysSoAndFails) {
    // A copy of the program in a folder without plugins beside it.
    const std::filesystem::path lonely = m_dir / "veltrixctl";
    std::filesystem::copy_file(VELTRIXCTL_PATH, lonely);
    const ProcessResult result = test::RunProcess(lonely, {"status"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("veltrixctl: cannot load the driver plugin"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace veltrix
