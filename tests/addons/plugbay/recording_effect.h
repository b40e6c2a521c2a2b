// What the recording test plug-in saw of its host, read back by the tests.
#pragma once

#include <cstdint>

struct RecordedRequest {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    float opt;
};

struct RecordedSession {
    static constexpr int kMaxRequests = 64;
    // The host's answers to version, time, sample rate, block size and an unknown request.
    intptr_t version, time, rate, block, unknown;
    RecordedRequest requests[kMaxRequests];
    int count;
    int processed;   // process calls
    int32_t frames;  // frames of the last one
};

using RecordedSessionFunc = RecordedSession* (*)();
