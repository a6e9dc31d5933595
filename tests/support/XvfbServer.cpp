#include "support/XvfbServer.h"

#include <chrono>
#include <csignal>

namespace veltrix::test {

XvfbServer::XvfbServer(const std::vector<std::string>& extraArgs) {
    // -displayfd: the server takes the first free display number and writes it once it
    // accepts connections. -noreset: without it the server starts afresh each time its last
    // client leaves, and refuses connections meanwhile.
    std::vector<std::string> args = {"-displayfd", "1",       "-nolisten", "tcp",
                                     "-noreset",   "-screen", "0",         "640x480x24"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    m_process = std::make_unique<ChildProcess>("/usr/bin/Xvfb", args);
    if (auto number = m_process->ReadLine(std::chrono::seconds(20)); number && !number->empty()) {
        m_name = ":" + *number;
    }
}

XvfbServer::~XvfbServer() {
    // Ended, not killed, so that it removes its lock file and socket.
    m_process->Signal(SIGTERM);
    m_process->Wait();
}

bool XvfbServer::SetLayout(const std::string& layout) const {
    return IsRunning() &&
           RunProcess("/usr/bin/setxkbmap", {"-display", m_name, layout}).exitCode == 0;
}

}  // namespace veltrix::test
