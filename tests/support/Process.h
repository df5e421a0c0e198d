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
// collects what it writes. The variables named in `unset` are left out of its
// environment, to run it as a user without a display would, say.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& unset = {});

} // namespace morvane::test
