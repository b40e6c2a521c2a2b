// An Xvfb of the test's own on the first free display from 150 up, stopped by its pid.
#pragma once

#include <sys/types.h>

#include <string>

class PrivateXServer {
  public:
    PrivateXServer() = default;
    ~PrivateXServer() { Stop(); }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // False when no Xvfb is installed or none would start.
    bool Start();
    void Stop();
    // ":150" and so on, once started.
    const std::string& DisplayName() const { return fDisplay; }

  private:
    // The server's display number once it accepts clients; -1 when it ended or never
    // answered.
    int Launch(int display);

    pid_t fPid = -1;
    bool fMissing = false;
    std::string fDisplay;
};
