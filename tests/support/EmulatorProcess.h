#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Process.h"

namespace veltrix::test {

// veltrix-mouse-emulator serving on a socket for the length of a test. Starting waits until it
// serves (it says so on its output); the end stops it with SIGTERM.
class EmulatorProcess {
  public:
    EmulatorProcess(const std::string& program, const std::filesystem::path& socketPath);
    ~EmulatorProcess() { Stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    bool IsServing() const { return m_serving; }
    // Runs `veltrix-mouse-emulator ctl --socket PATH command...`.
    ProcessResult Ctl(const std::vector<std::string>& command) const;
    void Signal(int signal) const { m_process.Signal(signal); }
    // Stops it with SIGTERM; the exit code.
    int Stop();

  private:
    std::string m_program;
    std::string m_socketPath;
    ChildProcess m_process;
    bool m_serving = false;
};

// How long a test waits for the emulator or for a message that must come: generous, because a
// sanitizer build on a loaded machine is slow. Running out is a failure, never a measurement.
inline constexpr std::chrono::milliseconds kPatience{10000};

}  // namespace veltrix::test
