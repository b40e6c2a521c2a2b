// An instrument that makes no sound itself: it sends every note as time-stamped MIDI messages
// to a named output.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "engine/instrument.h"
#include "engine/my_midi.h"

class InstrumentMidi : public Instrument {
  public:
    static constexpr int kPortNameSize = 52;
    static constexpr const char* kDefaultPort = "Internal Synth";
    // Ten seconds either way: further would hold messages past any sensible latency.
    static constexpr int32 kMaxSyncOffset = 10000;

    InstrumentMidi();
    // Whatever thread frees the song slot. The add-on's window stops editing this instrument
    // first.
    ~InstrumentMidi() override;

    ModifierInfoList* GetModifierInfoList() override;
    // Window thread. Shows the add-on's one window, editing this instrument.
    void ShowWindow() override;
    void Reopened() override;
    // Player thread inside a step, or the sound thread for the preview. Queues the note's
    // messages on its first call; the buffers are left alone.
    void Process(float* left, float* right, long frames, NoteInfo* note) override;
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;

    // Window thread or the song loader. No name or an empty one is the default port; names
    // longer than port_name holds are cut.
    void SetPort(const char* wanted);
    // Any thread but the player's: the name port_name holds.
    std::string PortName() const;
    // Any thread. The name SetPort(wanted) stores: the default port for none or an empty one,
    // and at most kPortNameSize - 1 bytes, cut where a UTF-8 character begins.
    static std::string StoredPortName(const char* wanted);

    // Shared by name across the program and never freed here. The player reads only this;
    // SetPort replaces it after port_name.
    std::atomic<MyMidi*> port{nullptr};
    // Guarded by port_lock: the window, the song loader and Save may run on different threads.
    char port_name[kPortNameSize] = {};
    mutable std::mutex port_lock;
    // Window threads change these while a step reads them.
    std::atomic<int32> prognum{0};
    std::atomic<int32> syncofs{0};
    std::atomic<int32> channel{1};
};
