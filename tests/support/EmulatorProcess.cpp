#include "support/EmulatorProcess.h"

#include <csignal>
#include <iostream>

namespace veltrix::test {

EmulatorProcess::EmulatorProcess(const std::string& program,
                                 const std::filesystem::path& socketPath)
    : m_program(program),
      m_socketPath(socketPath),
      m_process(program, {"serve", "--socket", m_socketPath}) {
    m_serving = m_process.ReadLine(kPatience) == "serving " + m_socketPath;
}

ProcessResult EmulatorProcess::Ctl(const std::vector<std::string>& command) const {
    std::vector<std::string> args = {"ctl", "--socket", m_socketPath};
    args.insert(args.end(), command.begin(), command.end());
    return RunProcess(m_program, args);
}

int EmulatorProcess::Stop() {
    if (!m_process.IsRunning()) {
        return -1;
    }
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
