#include "support/Process.h"

#include "support/TestFiles.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace morvane::test {

namespace {

// The parent's environment without the variables named in `unset` or `set`,
// then those of `set`. The pointers point into `environ` and into `owned`.
std::vector<char*> childEnvironment(const std::vector<std::string>& unset,
                                    const std::vector<EnvironmentVariable>& set,
                                    std::vector<std::string>& owned) {
    const auto replaced = [&](std::string_view name) {
        return std::find(unset.begin(), unset.end(), name) != unset.end() ||
               std::any_of(set.begin(), set.end(),
                           [&](const EnvironmentVariable& v) { return v.name == name; });
    };
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (!replaced(entry.substr(0, entry.find('='))))
            envp.push_back(*e);
    }
    owned.clear();
    for (const auto& v : set)
        owned.push_back(v.name + "=" + v.value);
    for (auto& entry : owned)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    return envp;
}

// Waits for the child to end, at most ProcessTimeout, and gives its exit
// status, -1 when it did not exit normally. A child still running after that
// is killed, and `timedOut` set.
int exitStatus(pid_t pid, bool& timedOut) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + ProcessTimeout;
    // Short at first, as most runs end within milliseconds.
    auto pause = 1ms;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done == -1 && errno != EINTR)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            timedOut = true;
            return -1;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

} // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& unset,
                         const std::vector<EnvironmentVariable>& set) {
    TempFile out("", "stdout");
    const auto errPath = out.folder() / "stderr";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.path().c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> setEntries;
    std::vector<char*> envp = childEnvironment(unset, set, setEntries);

    ProcessResult result;
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0)
        result.status = exitStatus(pid, result.timedOut);
    posix_spawn_file_actions_destroy(&actions);
    result.out = readFile(out.path());
    result.err = readFile(errPath);
    if (result.timedOut)
        result.err +=
            "\n[killed after " + std::to_string(ProcessTimeout.count()) + " s without ending]\n";
    return result;
}

} // namespace morvane::test
