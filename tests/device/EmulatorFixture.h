#pragma once

// The emulated mouse serving on a socket of the test's own, with the environment that sends the
// driver plugins to it; and veltrixctl against it, with a settings file of factory defaults.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hiddriver/EmulatorProtocol.h"
#include "support/EmulatorProcess.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace veltrix::test {

inline long Lines(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

inline ProcessResult Veltrixctl(const std::vector<std::string>& args) {
    return RunProcess(VELTRIXCTL_PATH, args);
}

class EmulatorFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_emulator->IsServing()); }

    // `veltrix-mouse-emulator ctl` with the command; its output.
    std::string Ctl(const std::vector<std::string>& command) {
        const ProcessResult result = m_emulator->Ctl(command);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    TempDir m_dir;
    const std::string m_socket = m_dir / "mouse.sock";
    std::unique_ptr<EmulatorProcess> m_emulator =
        std::make_unique<EmulatorProcess>(EMULATOR_PATH, m_socket);
    ScopedEnv m_env{emulator::kSocketVariable, m_socket.c_str()};
};

class VeltrixctlMouse : public EmulatorFixture {
  protected:
    void SetUp() override {
        EmulatorFixture::SetUp();
        ASSERT_EQ(Veltrixctl({"defaults", m_record}).exitCode, 0);
    }

    const std::string m_record = m_dir / "Config_1.data";
};

}  // namespace veltrix::test
