// A shared MIDI output: holds each time-stamped message until its time and then passes it on,
// or passes it on at once to a consumer that plays each message at its time itself.
#pragma once

#include <atomic>
#include <semaphore>
#include <vector>

#include "platform/kernel/bounded_queue.h"
#include "platform/midi/midi.h"

class MyMidi : public BMidi {
  public:
    // Messages that can wait at once; more are dropped, and counted, rather than allocated.
    static constexpr size_t kCapacity = 4096;

    MyMidi();
    ~MyMidi() override;

    // Any thread, the player and sound threads included. Queue the message and return at once.
    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) override;
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override;
    void ControlChange(uchar channel, uchar controller, uchar value, uint32 time) override;
    void ProgramChange(uchar channel, uchar program, uint32 time) override;

    // Any thread but the sending one. In manual mode the sending thread is stopped and the
    // caller sends with Flush instead, to a clock of its own.
    void SetManual(bool manual);
    // Any thread. Passing through, each message goes on as it comes, with its own time
    // stamp, on the thread that sent it: for a consumer that starts it at its time itself.
    void SetPassThrough(bool passThrough) { fPassThrough.store(passThrough); }
    // In manual mode, the one thread flushing: sends every message due before until in time
    // order, each with its own time stamp (in one millisecond, control changes, program
    // changes, note-ons, then note-offs, as a tick sends them), or drops them when deliver is
    // false. A copy, if given, gets every message due either way.
    void Flush(uint32 until, bool deliver, BMidi* copy = nullptr);
    // While the sending thread is stopped: drops every waiting message.
    void Clear();

  protected:
    // The sending thread: sleeps until the next message is due or a new one comes, and sends
    // each within a millisecond of its time.
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
    void Wake();
    void StopSending();
    void WaitForNext();
    void Collect();
    void TakeDue(uint32 until);
    void SortByTime();
    void Send(const Message& message, uint32 stamp) const;
    static void SendTo(BMidi& to, const Message& message);

    BoundedQueue<Message> fIncoming{kCapacity};
    std::vector<Message> fWaiting[kKinds];  // the sending thread's own, in arrival order
    std::vector<Message> fDue;              // what is due now, in a tick's order
    std::atomic<bool> fPassThrough{false};
    // Wakes the sending thread; released only by whoever raises fSignalled, so it never
    // counts past one.
    std::binary_semaphore fWake{0};
    std::atomic<bool> fSignalled{false};
    std::atomic<bool> fStopping{false};
};
