// A consumer that writes down every message it gets, from any thread.
#pragma once

#include <mutex>
#include <vector>

#include "platform/midi/midi.h"

struct RecordedMessage {
    char kind;  // 'f' note off, 'n' note on, 'c' control change, 'p' program change
    int channel;
    int data1;
    int data2;
    uint32 time;

    bool operator==(const RecordedMessage&) const = default;
};

class RecordingConsumer : public BMidi {
  public:
    ~RecordingConsumer() override { Unplug(); }

    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) override {
        Record({'f', channel, note, velocity, time});
    }
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override {
        Record({'n', channel, note, velocity, time});
    }
    void ControlChange(uchar channel, uchar number, uchar value, uint32 time) override {
        Record({'c', channel, number, value, time});
    }
    void ProgramChange(uchar channel, uchar program, uint32 time) override {
        Record({'p', channel, program, 0, time});
    }

    std::vector<RecordedMessage> Messages() const {
        std::lock_guard<std::mutex> hold(fLock);
        return fMessages;
    }
    size_t Count() const {
        std::lock_guard<std::mutex> hold(fLock);
        return fMessages.size();
    }

  private:
    void Record(const RecordedMessage& message) {
        std::lock_guard<std::mutex> hold(fLock);
        fMessages.push_back(message);
    }

    mutable std::mutex fLock;
    std::vector<RecordedMessage> fMessages;
};
