// One page of a track: 256 rows, each a possible note start with its note and modifier values.
#pragma once

#include <atomic>

#include "engine/modifiers.h"

class Track;

// Window threads edit a page while the player thread reads it; rows are single atomic values,
// and a page is published as initialised only once its arrays exist.
class TrackPage {
  public:
    static constexpr int32 kRows = 256;
    static constexpr int32 kDefaultNote = 69;
    // What an initialised page costs.
    static constexpr size_t kBytes = 2 * kRows * sizeof(int32) + sizeof(Modifiers);

    TrackPage() = default;
    virtual ~TrackPage();
    TrackPage(const TrackPage&) = delete;
    TrackPage& operator=(const TrackPage&) = delete;

    // Window threads. Rows outside the page are ignored.
    virtual void setstatus(int row, int value);
    // Window threads, on an initialised page only.
    virtual void setnote(int row, int note);

    // Window threads or the song loader.
    void Init();
    Modifiers* GetModifiers(int unused);
    void Transpose(int delta);
    // Window threads, on an initialised page: every row empty at the default note, every
    // modifier value at its default.
    void Clear();
    void Save(BMessage* track) const;
    // The stored arrays of index k; at most a page's worth of each is taken, notes held to
    // 0 .. 127.
    void Open(BMessage* track, int32 k);
    // Whether a track record holds rows for its stored page k.
    static bool Holds(BMessage* track, int32 k);

    // Any thread. 0 (empty) on an uninitialised page and for rows outside it.
    int32 StatusAt(int32 row) const;
    int32 NoteAt(int32 row) const;
    bool IsInitialized() const { return initialized.load(std::memory_order_acquire) != 0; }

    std::atomic<int32>* status = nullptr;
    std::atomic<int32>* note = nullptr;
    std::atomic<int32> initialized{0};
    Modifiers* modifiers = nullptr;
    Track* owner = nullptr;

  private:
    void EmptyRows();
    static bool InPage(int32 row) { return row >= 0 && row < kRows; }
    static void Store(std::atomic<int32>* rows, BMessage* track, const char* key, int32 k, int32 lo,
                      int32 hi);
    static void Keep(const std::atomic<int32>* rows, BMessage* track, const char* key);
};
