// Subscribers to the play position: every 50 ms while the song plays, each is handed the
// position and a snapshot of the sound being heard.
#pragma once

class PosEvent {
  public:
    PosEvent();
    // Window threads, once the subscriber is fully built (registering from the constructor
    // would let the position thread call an object still under construction). Calls start
    // from the next round.
    void Subscribe();
    // Window threads. Once it returns the subscriber is not called any more. An UpdatePos
    // under way is waited for, so it must not wait for a lock the destroying thread holds.
    virtual ~PosEvent();
    PosEvent(const PosEvent&) = delete;
    PosEvent& operator=(const PosEvent&) = delete;

    // Position thread. from and to are positions in measures; buffers are the left and right
    // frames now playing, count of each (2205, 50 ms).
    virtual void UpdatePos(float from, float to, float** buffers, long count);
};

constexpr long kPosEventFrames = 2205;

// Player: started once the song's sound starts, stopped before the player stops. Stop returns
// after the thread has finished its current round of calls.
void StartPosEvents();
void StopPosEvents();
