#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace morvane::test {

// How long a program may run before it is taken as hung: it is killed, so
// that one stuck run fails its test instead of stalling the whole suite.
inline constexpr std::chrono::seconds ProcessTimeout{60};

struct ProcessResult {
    int status = -1; // the exit status, -1 when the process did not exit normally
    std::string out;
    std::string err;
    bool timedOut = false; // killed after ProcessTimeout; err then ends by saying so
};

// A variable given to the program in place of any it would inherit.
struct EnvironmentVariable {
    std::string name;
    std::string value;
};

// Runs a program with arguments (no shell), standard input empty, and
// collects what it writes. The variables named in `unset` are left out of its
// environment, to run it as a user without a display would, say; those in
// `set` are given with their values, a locale, say.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& unset = {},
                         const std::vector<EnvironmentVariable>& set = {});

} // namespace morvane::test
