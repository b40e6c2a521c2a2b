// Base of every machine of the song graph: sources, effects, controllers and the master.
#pragma once

#include <atomic>
#include <string>

#include "engine/addon.h"
#include "message/message.h"

class BView;

class Machine : public Addon {
  public:
    static constexpr int32 kMaxConnections = 50;
    // The longest step: 44100 * 60 / 40 / 4 frames at tempo 40, plus one.
    static constexpr int32 kBufferFrames = 16538;
    // The loudest a connection is set to: twice unity.
    static constexpr float kMaxVolume = 2.0f;
    // Map positions from files are kept this far from the origin, past any map drawn.
    static constexpr float kMapExtent = 100000.0f;

    Machine();
    ~Machine() override;
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Window thread.
    virtual void ShowWindow();
    // Player thread, under the song lock: turns the mixed inputs in the buffers into output.
    virtual void Process();
    // Window thread or the song loader.
    virtual void Open(BMessage* msg);
    virtual void Save(BMessage* msg);
    // Any thread. The measure after the last one at which this machine plays something of
    // its own; 0 for machines that only pass on or steer what others play.
    virtual int32 ContentEnd() const;

    // Player thread, under the song lock. Pulls this machine and its inputs for one step.
    void RunProcess();
    // Window thread. Connects this machine's output to machine id's input; 1 on success.
    int Connect(int id);
    // Window thread. Removes every connection from this machine to machine id.
    void Disconnect(int id);
    // Window thread. Removes every connection to and from this machine, at both ends.
    void DisconnectAll();
    const char* GetName() const { return name.c_str(); }
    void SetName(const char* text) { name = text != nullptr ? text : ""; }

    int32 view_height = 16;
    BView* view = nullptr;
    BPoint position;
    std::string name;
    int32 num_out_machines = 0;
    int32 num_in_machines = 0;
    int32 out_machine[kMaxConnections] = {};
    int32 in_machine[kMaxConnections] = {};
    // Set from window threads while a step reads them.
    std::atomic<float> in_vol_left[kMaxConnections] = {};
    std::atomic<float> in_vol_right[kMaxConnections] = {};
    int32 ID;
    // Unique among the machines of this run: undo knows a machine by it whatever its ID.
    uint64 serial;
    int32 processed = 0;
    int32 has_input = 0;
    int32 has_output = 0;
    std::atomic<int32> mute{0};
    float* buffer_left;
    float* buffer_right;
    int32 buffer_length = 0;

  private:
    void Mix(const Machine& source, float left, float right, bool first);
    bool Refuse(int id) const;
    static void RemoveEntries(int32* ids, int32* count, int32 id, std::atomic<float>* left,
                              std::atomic<float>* right);
};

// Any thread. 1 when a can be reached from b along output connections (a being b included).
int CheckForLoopErrors(const Machine* a, const Machine* b);
