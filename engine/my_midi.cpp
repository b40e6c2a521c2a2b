#include "engine/my_midi.h"

#include <algorithm>
#include <chrono>

#include "platform/kernel/os.h"

MyMidi::MyMidi() {
    for (auto& waiting : fWaiting) waiting.reserve(kCapacity);
    fDue.reserve(kCapacity * kKinds);
}

namespace {

// Nothing waits longer unseen than this; a stop wakes the thread at once anyway.
constexpr bigtime_t kLongestSleep = 1000000;

}  // namespace

MyMidi::~MyMidi() {
    StopSending();
}

void MyMidi::Queue(const Message& message) {
    if (fPassThrough.load()) {
        Send(message, message.time);
        return;
    }
    if (!fIncoming.Push(message)) {
        CountDropped();
        return;
    }
    Wake();
}

void MyMidi::Wake() {
    if (!fSignalled.exchange(true)) fWake.release();
}

void MyMidi::StopSending() {
    fStopping = true;
    Wake();
    Stop();
}

void MyMidi::NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) {
    Queue({kNoteOffLast, channel, note, velocity, time});
}

void MyMidi::NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) {
    Queue({kNoteOnThird, channel, note, velocity, time});
}

void MyMidi::ControlChange(uchar channel, uchar controller, uchar value, uint32 time) {
    Queue({kControlFirst, channel, controller, value, time});
}

void MyMidi::ProgramChange(uchar channel, uchar program, uint32 time) {
    Queue({kProgramSecond, channel, program, 0, time});
}

void MyMidi::Send(const Message& message, uint32 stamp) const {
    switch (message.kind) {
        case kControlFirst:
            SprayControlChange(message.channel, message.data1, message.data2, stamp);
            break;
        case kProgramSecond:
            SprayProgramChange(message.channel, message.data1, stamp);
            break;
        case kNoteOnThird:
            SprayNoteOn(message.channel, message.data1, message.data2, stamp);
            break;
        default:
            SprayNoteOff(message.channel, message.data1, message.data2, stamp);
            break;
    }
}

void MyMidi::Collect() {
    Message message;
    while (fIncoming.Pop(&message)) fWaiting[message.kind].push_back(message);
}

// Gathered kind by kind: within a tick control changes, program changes, note-ons, then
// note-offs.
void MyMidi::TakeDue(uint32 until) {
    Collect();
    fDue.clear();
    for (auto& waiting : fWaiting) {
        std::erase_if(waiting, [&](const Message& m) {
            bool due = int32(m.time - until) < 0;
            if (due) fDue.push_back(m);
            return due;
        });
    }
}

void MyMidi::SetManual(bool manual) {
    if (manual) {
        StopSending();
    } else if (!IsRunning()) {
        fStopping = false;
        Start();
    }
}

void MyMidi::Flush(uint32 until, bool deliver, BMidi* copy) {
    TakeDue(until);
    if (!deliver && copy == nullptr) return;
    // The sort is stable, so a tick's order holds within one time.
    SortByTime();
    for (const Message& message : fDue) {
        if (deliver) Send(message, message.time);
        if (copy != nullptr) SendTo(*copy, message);
    }
}

void MyMidi::SendTo(BMidi& to, const Message& message) {
    switch (message.kind) {
        case kControlFirst:
            to.ControlChange(message.channel, message.data1, message.data2, message.time);
            break;
        case kProgramSecond:
            to.ProgramChange(message.channel, message.data1, message.time);
            break;
        case kNoteOnThird:
            to.NoteOn(message.channel, message.data1, message.data2, message.time);
            break;
        default:
            to.NoteOff(message.channel, message.data1, message.data2, message.time);
            break;
    }
}

// Few are due at once and most come in order: an insertion sort is stable and, unlike
// std::stable_sort, never allocates.
void MyMidi::SortByTime() {
    for (size_t i = 1; i < fDue.size(); i++) {
        const Message message = fDue[i];
        size_t at = i;
        for (; at > 0 && int32(message.time - fDue[at - 1].time) < 0; at--) fDue[at] = fDue[at - 1];
        fDue[at] = message;
    }
}

void MyMidi::Clear() {
    Collect();
    for (auto& waiting : fWaiting) waiting.clear();
}

void MyMidi::Run() {
    while (KeepRunning() && !fStopping) {
        // Everything stamped up to this millisecond goes now.
        Flush(uint32(system_time() / 1000) + 1, true);
        WaitForNext();
    }
}

void MyMidi::WaitForNext() {
    const bigtime_t now = system_time();
    bigtime_t sleep = kLongestSleep;
    for (const auto& waiting : fWaiting) {
        for (const Message& message : waiting) {
            const bigtime_t due = bigtime_t(int32(message.time - uint32(now / 1000))) * 1000;
            sleep = std::min(sleep, due - now % 1000);
        }
    }
    if (sleep > 0 && fWake.try_acquire_for(std::chrono::microseconds(sleep))) fSignalled = false;
}
