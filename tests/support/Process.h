#pragma once

#include <string>
#include <vector>

namespace morvane::test {

struct ProcessResult {
    int status = -1; // the exit status, -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program with arguments (no shell), standard input empty, and
// collects what it writes.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

} // namespace morvane::test
