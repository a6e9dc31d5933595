// veltrixctl status and apply: the real program, its real plugins and the emulated mouse.

#include <filesystem>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "hiddriver/EmulatorProtocol.h"
#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"
#include "support/EmulatorProcess.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using test::kPatience;
using test::ProcessResult;

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class VeltrixctlMouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator->IsServing());
        ASSERT_EQ(Veltrixctl({"defaults", m_record}).exitCode, 0);
    }

    static ProcessResult Veltrixctl(const std::vector<std::string>& args) {
        return test::RunProcess(VELTRIXCTL_PATH, args);
    }

    std::string Ctl(const std::vector<std::string>& command) {
        const ProcessResult result = m_emulator->Ctl(command);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    // What the worker request would send, as the dry run prints it.
    std::string DryRun(const std::string& wParam, const std::string& lParam) {
        const ProcessResult result = Veltrixctl({"reports", m_record, wParam, lParam});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    test::TempDir m_dir;
    const std::string m_socket = m_dir / "mouse.sock";
    const std::string m_record = m_dir / "Config_1.data";
    std::unique_ptr<test::EmulatorProcess> m_emulator =
        std::make_unique<test::EmulatorProcess>(EMULATOR_PATH, m_socket);
    test::ScopedEnv m_env{emulator::kSocketVariable, m_socket.c_str()};
};

TEST_F(VeltrixctlMouseTest, ApplyLeavesInTheMouseExactlyTheReportsOfTheDryRun) {
    const ProcessResult result = Veltrixctl({"apply", m_record, "0", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string sent = DryRun("0", "1");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), '\n'), 21);
    EXPECT_EQ(Ctl({"log"}), sent);
    EXPECT_EQ(RegularFileSize(m_record), sizeof(ProfileSettings)) << "the record is saved";
}

TEST_F(VeltrixctlMouseTest, ApplyWaitsForTheMouseToWake) {
    Ctl({"sleep"});
    test::ChildProcess apply(VELTRIXCTL_PATH, {"apply", m_record, "2", "0"});
    Ctl({"wake"});
    ASSERT_EQ(apply.Wait(), 0);
    EXPECT_EQ(Ctl({"log"}), DryRun("2", "0"));
}

TEST_F(VeltrixctlMouseTest, ApplyGivesUpOnASleepingMouseAndLeavesTheFile) {
    Ctl({"sleep"});
    const std::string before = FileText(m_record);
    const ProcessResult result = Veltrixctl({"apply", m_record, "0", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "veltrixctl: no mouse within 5 seconds: plug in its receiver or cable and wake it\n");
    EXPECT_EQ(Ctl({"log"}), "");
    EXPECT_EQ(FileText(m_record), before);
}

TEST_F(VeltrixctlMouseTest, StatusShowsTheLinksSleepBatteryAndCharging) {
    ProcessResult result = Veltrixctl({"status"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "receiver: present\ncable: absent\nmouse: awake\nbattery: 75%\ncharging: no\n");

    Ctl({"plug", "cable"});
    result = Veltrixctl({"status"});
    EXPECT_EQ(result.out,
              "receiver: present\ncable: present\nmouse: awake\nbattery: unknown\ncharging: yes\n");

    Ctl({"unplug", "cable"});
    Ctl({"sleep"});
    result = Veltrixctl({"status"});
    EXPECT_EQ(result.out,
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
