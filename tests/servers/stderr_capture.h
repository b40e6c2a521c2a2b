// Standard error of the whole process (every thread, C and C++ streams) sent to a file for a
// while, to count what the code under test says there.
#pragma once

#include <string>

class StderrCapture {
  public:
    // Starts capturing into path.
    explicit StderrCapture(const std::string& path);
    // Ends it, if End has not.
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Gives standard error back, echoes what was captured there, and returns it.
    std::string End();

  private:
    std::string fPath;
    int fSaved = -1;
};
