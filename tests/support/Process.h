#pragma once

#include <string>
#include <vector>

namespace veltrix::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments and collects its output.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args);

}  // namespace veltrix::test
