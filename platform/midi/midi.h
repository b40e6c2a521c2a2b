// Producers and consumers of MIDI channel messages, connected into chains.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "message/support_defs.h"
#include "platform/kernel/os.h"

using uchar = unsigned char;

// Status bytes of the channel messages, before the channel is added.
enum : uchar {
    kNoteOff = 0x80,
    kNoteOn = 0x90,
    kControlChange = 0xB0,
    kProgramChange = 0xC0,
};

// Message times are milliseconds of system_time(), truncated to 32 bits; B_NOW means at once.
constexpr uint32 B_NOW = 0;

// Any thread, unless a call says otherwise. Channels are 1 to 16.
class BMidi {
  public:
    // Any thread.
    BMidi();
    // Any thread but its Run thread, never inside a message it sprays or receives. Unplugs.
    virtual ~BMidi();
    BMidi(const BMidi&) = delete;
    BMidi& operator=(const BMidi&) = delete;

    // Any thread, the sound callback included when the consumer says so. The base ignores it.
    virtual void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time = B_NOW);
    // Any thread. The base ignores it.
    virtual void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time = B_NOW);
    // Any thread. The base ignores it.
    virtual void ControlChange(uchar channel, uchar controlNumber, uchar controlValue,
                               uint32 time = B_NOW);
    // Any thread. The base ignores it.
    virtual void ProgramChange(uchar channel, uchar programNumber, uint32 time = B_NOW);

    // Any thread; not while holding a lock a consumer takes (it waits for messages in flight).
    // B_BAD_VALUE for nullptr or a consumer that would feed back into this object.
    status_t Connect(BMidi* consumer);
    // Any thread, as Connect. Once it returns the consumer gets no more messages from here,
    // except when called inside a message, where one already on its way may still arrive.
    void Disconnect(BMidi* consumer);
    // Any thread.
    bool IsConnected(BMidi* consumer) const;

    // Any thread but the Run thread. B_NOT_ALLOWED while running, or a thread error.
    status_t Start();
    // Any thread but the Run thread. Asks Run to end and waits until it has.
    void Stop();
    // Any thread. From Start until Run returns.
    bool IsRunning() const { return fRunning.load(); }
    // Any thread: messages any object dropped because a queue was full.
    static int64 Dropped();

  protected:
    // The Run thread. The base returns at once.
    virtual void Run();
    // The Run thread. True until Stop is called.
    bool KeepRunning() const;
    // As the destructor. Stops Run and cuts every connection both ways, waiting for messages
    // in flight; subclass destructors call it first so none reaches a half-destroyed object.
    void Unplug();

    // Any thread, the sound callback included: counts one message dropped.
    static void CountDropped();

    // Any thread, the sound callback included: the sprays neither lock nor allocate.
    void SprayNoteOff(uchar channel, uchar note, uchar velocity, uint32 time) const;
    // Any thread.
    void SprayNoteOn(uchar channel, uchar note, uchar velocity, uint32 time) const;
    // Any thread.
    void SprayControlChange(uchar channel, uchar controlNumber, uchar controlValue,
                            uint32 time) const;
    // Any thread.
    void SprayProgramChange(uchar channel, uchar programNumber, uint32 time) const;

  private:
    using ConsumerList = std::vector<BMidi*>;

    static int32 RunThread(void* data);
    template <typename Deliver>
    void Spray(Deliver deliver) const;
    // These hold the connection lock.
    bool Reaches(const BMidi* target) const;
    void Publish(ConsumerList* consumers);
    void RemoveConsumer(BMidi* consumer);

    // Replaced whole, never changed in place, so sprays read it without a lock.
    std::atomic<ConsumerList*> fConsumers{nullptr};
    std::vector<BMidi*> fProducers;  // guarded by the connection lock
    std::mutex fRunLock;
    thread_id fThread = 0;  // guarded by fRunLock
    std::atomic<bool> fRunning{false};
};
