// A program the tests start, with its output in a log file, stopped by its process id.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The test's thread.
class ChildProcess {
  public:
    ChildProcess() = default;
    // Stops it, so that a failed test leaves nothing running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts arguments[0] (searched in PATH) with this process's environment plus env
    // ("NAME=VALUE" each), standard output and error appended to log. False when it did not.
    bool Start(const std::vector<std::string>& arguments, const std::string& log,
               const std::vector<std::string>& env = {});
    // Runs a program to its end, at most timeoutMs; its exit status, -1 when it failed or
    // had to be killed.
    static int Run(const std::vector<std::string>& arguments, const std::string& log, int timeoutMs,
                   const std::vector<std::string>& env = {});

    bool Running() const { return fPid > 0; }
    pid_t Pid() const { return fPid; }
    // Waits at most timeoutMs for it to end by itself; its exit status, -1 when it did not
    // end (it is left running) or was ended by a signal.
    int Wait(int timeoutMs);
    // Asks it to end with signal, then kills it when it has not within timeoutMs.
    void Stop(int signal, int timeoutMs);
    // Ends it at once, as a crash would.
    void Kill();

  private:
    // True once it has ended; *status is waitpid's.
    bool Reap(int timeoutMs, int* status);

    pid_t fPid = -1;
};
