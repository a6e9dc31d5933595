// The mouse lost in the middle of a full upload, by unplugging its receiver or by the emulator
// dying outright: the tool neither crashes nor hangs, saves the record, and the next request,
// once the mouse is back, reaches it byte for byte.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "EmulatorFixture.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using test::Lines;
using test::ProcessResult;
using test::Veltrixctl;

class WireFaultTest : public test::VeltrixctlMouse {
  protected:
    // Starts a full upload and returns once the mouse has taken a few of its reports.
    std::unique_ptr<test::ChildProcess> StartUploadAndWaitForPart() {
        auto apply = std::make_unique<test::ChildProcess>(
            VELTRIXCTL_PATH, std::vector<std::string>{"apply", m_record, "0", "1"});
        const auto deadline = std::chrono::steady_clock::now() + test::kPatience;
        while (Lines(Ctl({"log"})) < 3 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_GE(Lines(Ctl({"log"})), 3) << "the upload did not begin";
        return apply;
    }

    // The interrupted upload ends by itself, says that the mouse did not get everything, and
    // saves the record all the same.
    void ExpectCutShortAndSaved(test::ChildProcess& apply, std::filesystem::file_time_type before) {
        const ProcessResult result = apply.Finish();
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(Lines(result.err), 1) << result.err;
        EXPECT_NE(result.err.find("did not reach it; " + m_record + " is saved"), std::string::npos)
            << result.err;
        EXPECT_GT(std::filesystem::last_write_time(m_record), before) << "the record is saved";
    }

    // With the mouse back, a full upload reaches it exactly as the dry run of the saved record
    // (with what the mouse itself changed meanwhile) says.
    void ExpectNextUploadWhole() {
        Ctl({"clear-log"});
        const ProcessResult result = Veltrixctl({"apply", m_record, "0", "1"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::string reports = Veltrixctl({"reports", m_record, "0", "1"}).out;
        EXPECT_EQ(Lines(reports), 21);
        EXPECT_EQ(Ctl({"log"}), reports);
    }
};

TEST_F(WireFaultTest, TheReceiverUnpluggedInTheMiddleOfAnUpload) {
    const auto before = std::filesystem::last_write_time(m_record);
    const std::unique_ptr<test::ChildProcess> apply = StartUploadAndWaitForPart();
    Ctl({"unplug", "receiver"});
    ExpectCutShortAndSaved(*apply, before);
    const long received = Lines(Ctl({"log"}));
    EXPECT_LT(received, 21);

    Ctl({"plug", "receiver"});
    ExpectNextUploadWhole();
}

TEST_F(WireFaultTest, TheMouseGoneOutrightInTheMiddleOfAnUpload) {
    const auto before = std::filesystem::last_write_time(m_record);
    const std::unique_ptr<test::ChildProcess> apply = StartUploadAndWaitForPart();
    m_emulator->Signal(SIGKILL);
    ExpectCutShortAndSaved(*apply, before);
    m_emulator->Stop();

    m_emulator = std::make_unique<test::EmulatorProcess>(EMULATOR_PATH, m_socket);
    ASSERT_TRUE(m_emulator->IsServing());
    ExpectNextUploadWhole();
}

}  // namespace
}  // namespace veltrix
