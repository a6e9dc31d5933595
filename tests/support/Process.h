#pragma once

#include <chrono>
#include <optional>
#include <set>
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

// A program running beside the test. Its standard output comes through a pipe; its standard
// error goes to a file, so that a child left behind by a crashed test holds no descriptor of the
// test runner's. A process still running when the object goes is killed.
class ChildProcess {
  public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Started and not yet waited for.
    bool IsRunning() const { return m_pid > 0; }
    // The next line of its output without the newline; empty when none comes in time.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    void Signal(int signal) const;
    // Waits for the end; the exit code, or -1 when a signal ended it.
    int Wait();
    // Reads its output to the end, then waits for it.
    ProcessResult Finish();
    // What it wrote to its standard error so far.
    std::string ErrorOutput() const;

  private:
    // Appends the next piece of output; false at its end or when none came within the timeout.
    bool ReadMore(int timeoutMs);

    TempDir m_dir;
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
};

// The dynamic symbols a shared library defines, as `nm -D --defined-only` lists them; empty when
// nm cannot read it.
std::set<std::string> ExportedSymbols(const std::string& library);

// Runs a program to its end with the given arguments and collects its output.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args);

}  // namespace veltrix::test
