#include "support/EmulatorProcess.h"

#include <csignal>
#include <iostream>

namespace veltrix::test {

EmulatorProcess::EmulatorProcess(const std::string& program, std::filesystem::path socketPath)
    : m_program(program),
      m_socketPath(socketPath.string()),
      m_process(program, {"serve", "--socket", m_socketPath}) {
    const std::optional<std::string> line = m_process.ReadLine(kPatience);
    m_serving = line && *line == "serving " + m_socketPath;
}

EmulatorProcess::~EmulatorProcess() {
    if (m_process.IsStarted()) {
        Stop();
    }
}

ProcessResult EmulatorProcess::Ctl(const std::vector<std::string>& command) const {
    std::vector<std::string> args = {"ctl", "--socket", m_socketPath};
    args.insert(args.end(), command.begin(), command.end());
    return RunProcess(m_program, args);
}

int EmulatorProcess::Stop() {
    m_process.Signal(SIGCONT);  // a paused emulator must be able to take the SIGTERM
    m_process.Signal(SIGTERM);
    m_serving = false;
    const int exitCode = m_process.Wait();
    // Sanitizer reports and the like: the test's log is where they get read.
    if (const std::string errors = m_process.ErrorOutput(); !errors.empty()) {
        std::cerr << "veltrix-mouse-emulator wrote:\n" << errors;
    }
    return exitCode;
}

}  // namespace veltrix::test
