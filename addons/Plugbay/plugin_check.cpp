#include "addons/Plugbay/plugin_check.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The child's status once it ended, or -1 when it is still running at the deadline.
int WaitUntil(pid_t child, long long deadlineMs) {
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (NowMs() >= deadlineMs) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status;
}

}  // namespace

std::string PluginCheck::ReadUntil(int fd, long long deadlineMs) {
    std::string output;
    char chunk[256];
    for (long long left = deadlineMs - NowMs(); left > 0; left = deadlineMs - NowMs()) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, int(left)) <= 0) break;
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0) break;
        // A plug-in that talks on standard output gets no say in the reason.
        if (output.size() < 4096) output.append(chunk, size_t(got));
    }
    return output;
}

PluginVerdict PluginCheck::Judge(int status, const std::string& output) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {true, ""};
    if (WIFSIGNALED(status))
        return {false, std::string("it crashed when opened (") + strsignal(WTERMSIG(status)) + ")"};
    std::string reason = output.substr(0, output.find('\n'));
    return {false, reason.empty() ? "it failed when opened" : reason};
}

PluginVerdict PluginCheck::Run(const std::string& checker, const std::string& plugin,
                               int timeoutMs) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return {true, "", false};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {checker.c_str(), plugin.c_str(), nullptr};
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, checker.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        return {true, "", false};
    }
    const long long deadline = NowMs() + timeoutMs;
    const std::string output = ReadUntil(ends[0], deadline);
    close(ends[0]);
    const int status = WaitUntil(child, deadline);
    if (status >= 0) return Judge(status, output);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return {false,
            "it did not return within " + std::to_string(timeoutMs / 1000) + " s when opened"};
}
