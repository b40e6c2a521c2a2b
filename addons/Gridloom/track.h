// One line of a pattern tracker: pages of rows played on one of the song's instrument slots.
#pragma once

#include <atomic>

#include "addons/Gridloom/track_page.h"
#include "engine/note_info.h"

class Instrument;
class PatternTracker;

class Track {
  public:
    static constexpr int32 kMaxPages = 128;

    // Window threads or the song loader. Page 0 starts initialised.
    Track(PatternTracker* tracker, int32 slot);
    virtual ~Track() = default;
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;

    // Window threads. Slots outside the song's instrument table are ignored. Initialised
    // pages get modifier tables for the new instrument, keeping the values of the modifiers
    // it shares with the old one by name.
    virtual void SetInstrument(int slot);

    // Player thread, under the song lock: plays this track's rows of the step for the slot
    // value pattern (a page number or Sustain) into the block.
    void Process(float* left, float* right, long frames, int pattern);
    // Window threads. Pages outside the track are ignored.
    void Transpose(int page, int delta);
    void Save(BMessage* msg) const;
    // Window threads or the song loader, under the song lock.
    void Open(BMessage* msg);

    // Any thread. The instrument this track plays, or null while its slot is empty.
    Instrument* Target() const;
    // Window threads. What a page made now takes its modifiers from; an empty list while
    // the instrument slot is empty.
    ModifierInfoList* ModifierList() const;

    std::atomic<int32> mute{0};
    PatternTracker* owner;
    TrackPage pages[kMaxPages];
    NoteInfo noteinfo;
    std::atomic<int32> instrument;

  private:
    void ReplaceModifiers(TrackPage& page);
    void StartRow(const TrackPage& page, int32 row);
    long SubStepLength(long len) const;
    void OpenPages(BMessage* msg);
};
