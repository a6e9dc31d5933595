#include "support/Process.h"

#include <csignal>
#include <sstream>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ByteImage.h"

extern char** environ;

namespace veltrix::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (m_dir / "err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    m_out = pipeFds[0];
}

ChildProcess::~ChildProcess() {
    Signal(SIGKILL);
    Wait();
    if (m_out >= 0) {
        ::close(m_out);
    }
}

bool ChildProcess::ReadMore(int timeoutMs) {
    pollfd entry{m_out, POLLIN, 0};
    if (m_out < 0 || ::poll(&entry, 1, timeoutMs) <= 0) {
        return false;
    }
    char buffer[4096];
    const ssize_t size = ::read(m_out, buffer, sizeof buffer);
    if (size > 0) {
        m_pending.append(buffer, static_cast<std::size_t>(size));
    }
    return size > 0;
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t end;
    while ((end = m_pending.find('\n')) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadMore(static_cast<int>(left.count()))) {
            return std::nullopt;
        }
    }
    std::string line = m_pending.substr(0, end);
    m_pending.erase(0, end + 1);
    return line;
}

void ChildProcess::Signal(int signal) const {
    if (m_pid > 0) {
        ::kill(m_pid, signal);
    }
}

int ChildProcess::Wait() {
    int status = 0;
    if (m_pid <= 0) {
        return -1;
    }
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProcessResult ChildProcess::Finish() {
    // The output is read as it comes, so a chatty child never blocks on a full pipe.
    while (ReadMore(-1)) {
    }
    const int exitCode = Wait();
    return {exitCode, std::exchange(m_pending, {}), ErrorOutput()};
}

std::string ChildProcess::ErrorOutput() const {
    return FileText(m_dir / "err");
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
    return ChildProcess(program, args).Finish();
}

std::set<std::string> ExportedSymbols(const std::string& library) {
    const ProcessResult nm = RunProcess("/usr/bin/nm", {"-D", "--defined-only", library});
    std::set<std::string> exported;
    std::istringstream lines(nm.exitCode == 0 ? nm.out : std::string());
    for (std::string address, type, symbol; lines >> address >> type >> symbol;) {
        exported.insert(symbol);
    }
    return exported;
}

}  // namespace veltrix::test
