#include "tests/plugeditor/private_x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int kFirstDisplay = 150;
constexpr int kLastDisplay = 199;
constexpr int kStartMilliseconds = 10000;

bool Taken(int display) {
    struct stat info;
    const std::string n = std::to_string(display);
    return stat(std::string("/tmp/.X11-unix/X").append(n).c_str(), &info) == 0 ||
           stat(std::string("/tmp/.X").append(n).append("-lock").c_str(), &info) == 0;
}

// In the forked child, so nothing that allocates. Xvfb writes its number to fd 3 once it
// accepts clients.
[[noreturn]] void RunServer(const std::string& name, int ready) {
    dup2(ready, 3);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", "3", "-noreset", "-nolisten", "tcp",
           "-screen", "0", "1280x1024x24", static_cast<char*>(nullptr));
    _exit(127);
}

}  // namespace

bool PrivateXServer::Start() {
    for (int display = kFirstDisplay; display <= kLastDisplay; display++) {
        if (Taken(display)) continue;
        const int started = Launch(display);
        if (started >= 0) {
            fDisplay = std::string(":").append(std::to_string(started));
            return true;
        }
        // No Xvfb at all: no other display would do better.
        if (fMissing) return false;
    }
    return false;
}

int PrivateXServer::Launch(int display) {
    const std::string name = std::string(":").append(std::to_string(display));
    int fds[2];
    if (pipe(fds) != 0) return -1;
    fPid = fork();
    if (fPid == 0) RunServer(name, fds[1]);
    close(fds[1]);
    if (fPid < 0) {
        close(fds[0]);
        return -1;
    }
    char text[16] = {};
    pollfd wait = {fds[0], POLLIN, 0};
    const bool answered = poll(&wait, 1, kStartMilliseconds) > 0 && read(fds[0], text, 15) > 0;
    close(fds[0]);
    if (answered) return std::atoi(text);
    // A display another server took meanwhile ends Xvfb at once; a missing Xvfb ends the child.
    int status = 0;
    kill(fPid, SIGKILL);
    waitpid(fPid, &status, 0);
    fMissing = WIFEXITED(status) && WEXITSTATUS(status) == 127;
    fPid = -1;
    return -1;
}

void PrivateXServer::Stop() {
    if (fPid <= 0) return;
    kill(fPid, SIGTERM);
    waitpid(fPid, nullptr, 0);
    fPid = -1;
}
