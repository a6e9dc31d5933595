#pragma once

// veltrixctl against the emulated mouse: a settings file of factory defaults, the emulator serving
// on a socket of the test's own, and the environment that sends the driver plugins to it.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hiddriver/EmulatorProtocol.h"
#include "support/EmulatorProcess.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix::test {

inline ProcessResult Veltrixctl(const std::vector<std::string>& args) {
    return RunProcess(VELTRIXCTL_PATH, args);
}

class VeltrixctlMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator->IsServing());
        ASSERT_EQ(Veltrixctl({"defaults", m_record}).exitCode, 0);
    }

    // `veltrix-mouse-emulator ctl` with the command; its output.
    std::string Ctl(const std::vector<std::string>& command) {
        const ProcessResult result = m_emulator->Ctl(command);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    TempDir m_dir;
    const std::string m_socket = m_dir / "mouse.sock";
    const std::string m_record = m_dir / "Config_1.data";
    std::unique_ptr<EmulatorProcess> m_emulator =
        std::make_unique<EmulatorProcess>(EMULATOR_PATH, m_socket);
    ScopedEnv m_env{emulator::kSocketVariable, m_socket.c_str()};
};

}  // namespace veltrix::test
