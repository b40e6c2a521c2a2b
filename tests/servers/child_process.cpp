#include "tests/servers/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/kernel/os.h"

extern char** environ;

namespace {

// This process's environment with the overrides in place of the variables they name.
std::vector<std::string> Environment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged(overrides);
    for (char** entry = environ; *entry != nullptr; entry++) {
        const char* equals = strchr(*entry, '=');
        const size_t length = equals != nullptr ? size_t(equals - *entry) + 1 : strlen(*entry);
        bool replaced = false;
        for (const std::string& given : overrides) {
            replaced |= given.compare(0, length, *entry, length) == 0;
        }
        if (!replaced) merged.emplace_back(*entry);
    }
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::~ChildProcess() {
    Stop(SIGTERM, 2000);
}

bool ChildProcess::Start(const std::vector<std::string>& arguments, const std::string& log,
                         const std::vector<std::string>& env) {
    std::vector<std::string> args(arguments);
    std::vector<std::string> vars = Environment(env);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(vars);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    fPid = failed == 0 ? pid : -1;
    return failed == 0;
}

int ChildProcess::Run(const std::vector<std::string>& arguments, const std::string& log,
                      int timeoutMs, const std::vector<std::string>& env) {
    ChildProcess child;
    if (!child.Start(arguments, log, env)) return -1;
    const int status = child.Wait(timeoutMs);
    child.Kill();
    return status;
}

bool ChildProcess::Reap(int timeoutMs, int* status) {
    const bigtime_t until = system_time() + bigtime_t(timeoutMs) * 1000;
    while (waitpid(fPid, status, WNOHANG) == 0) {
        if (system_time() >= until) return false;
        snooze(5000);
    }
    fPid = -1;
    return true;
}

int ChildProcess::Wait(int timeoutMs) {
    int status = 0;
    if (!Running() || !Reap(timeoutMs, &status)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::Stop(int signal, int timeoutMs) {
    if (!Running()) return;
    kill(fPid, signal);
    int status = 0;
    if (!Reap(timeoutMs, &status)) Kill();
}

void ChildProcess::Kill() {
    if (!Running()) return;
    kill(fPid, SIGKILL);
    int status = 0;
    waitpid(fPid, &status, 0);
    fPid = -1;
}
