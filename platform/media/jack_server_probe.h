// Whether a JACK server runs for this process to reach, asked without starting one.
#pragma once

// Any thread.
class JackServerProbe {
  public:
    // Any thread. Connects a throwaway client that may not start a server; libjack's own
    // complaints are kept off standard error from the first call on.
    static bool Running();
};
