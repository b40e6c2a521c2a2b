// A shared MIDI output: holds each time-stamped message until its time and then passes it on.
#pragma once

#include <vector>

#include "platform/kernel/bounded_queue.h"
#include "platform/midi/midi.h"

class MyMidi : public BMidi {
  public:
    // Messages that can wait at once; more are dropped rather than allocated.
    static constexpr size_t kCapacity = 4096;
    // Messages leave at the first tick after their time.
    static constexpr bigtime_t kTick = 10000;

    MyMidi();
    ~MyMidi() override;

    // Any thread, the player thread while a step renders. Queue the message and return at once.
    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) override;
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override;
    void ControlChange(uchar channel, uchar controller, uchar value, uint32 time) override;
    void ProgramChange(uchar channel, uchar program, uint32 time) override;

    // Any thread but the sending one. In manual mode the sending thread is stopped and the
    // caller sends with Flush instead, to a clock of its own.
    void SetManual(bool manual);
    // In manual mode, the one thread flushing: sends every message due before until in time
    // order, each with its own time stamp (in one millisecond, control changes, program
    // changes, note-ons, then note-offs, as a tick sends them), or drops them when deliver is
    // false.
    void Flush(uint32 until, bool deliver);
    // While the sending thread is stopped: drops every waiting message.
    void Clear();

  protected:
    // The sending thread.
    void Run() override;

  private:
    // The order messages due in one tick leave in.
    enum Kind : uint8 { kControlFirst, kProgramSecond, kNoteOnThird, kNoteOffLast, kKinds };
    struct Message {
        Kind kind;
        uchar channel;
        uchar data1;
        uchar data2;
        uint32 time;
    };

    void Queue(const Message& message);
    void Collect();
    void TakeDue(uint32 until);
    void SendDue(uint32 now);
    void SortByTime();
    void Send(const Message& message, uint32 stamp) const;

    BoundedQueue<Message> fIncoming{kCapacity};
    std::vector<Message> fWaiting[kKinds];  // the sending thread's own, in arrival order
    std::vector<Message> fDue;              // what is due now, in a tick's order
};
