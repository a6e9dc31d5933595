#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "support/TempDir.h"

namespace veltrix::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments and collects its output.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args);

// A program running beside the test. Its standard output comes through a pipe, line by line;
// its standard error goes to a file, so that a child left behind by a crashed test holds no
// descriptor of the test runner's. A process still running when the object goes is killed.
class ChildProcess {
  public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool IsStarted() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }

    // The next line of its output without the newline; empty when none comes in time.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

    void Signal(int signal) const;

    // Waits for the end; the exit code, or -1 when a signal ended it.
    int Wait();

    // What it wrote to its standard error so far.
    std::string ErrorOutput() const;

  private:
    TempDir m_dir;
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
};

}  // namespace veltrix::test
