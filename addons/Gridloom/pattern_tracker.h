// The pattern tracker: a sound source whose tracks play pages of note rows, chosen per slot
// of measures by its slot table.
#pragma once

#include <atomic>

#include "addons/Gridloom/load_allowance.h"
#include "addons/Gridloom/track.h"
#include "engine/machine.h"

class PatternTracker : public Machine {
  public:
    static constexpr int32 kSlots = 512;
    static constexpr int32 kMaxTracks = 128;
    static constexpr int32 kErase = 0;
    static constexpr int32 kSustain = 1000;
    static constexpr rgb_color kDefaultColor = {20, 119, 175, 255};

    PatternTracker();
    ~PatternTracker() override;

    // Window thread.
    void ShowWindow() override;
    void Reopened() override;
    // Player thread, under the song lock.
    void Process() override;
    // Window thread or the song loader.
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;
    int32 ContentEnd() const override;
    // Window thread or the song loader. Index of a new track on the first instrument slot in
    // use; -1 when the table is full, or when there is no instrument (the user is told).
    virtual int AddTrack();

    // Window thread, on a fresh machine.
    void New();
    // Window threads. Indices outside the track table are ignored.
    void RemoveTrack(int index);
    void Transpose(int page, int delta);
    // Window thread. One track for every instrument slot in use, in slot order.
    void AddTracksForAllInstruments();
    // Window thread. Replaces track index with a fresh one made from a record of Track::Save,
    // so nothing of the old track survives; the page count becomes the larger of the two.
    // False for an index outside the table.
    bool PasteTrack(int index, const BMessage& record);
    // Window thread. Page page of every track, in track order, as a page clipboard.
    void CopyPage(int page, BMessage* out) const;
    // Window thread. Lays a page clipboard over page page, track by track while both have
    // tracks; a page copied empty empties the page. False for a page outside the tracks.
    bool PastePage(int page, const BMessage& in);
    // Any thread. What slot plays: 0 (Erase) for slots past the table and for values that
    // are neither a page number nor Sustain.
    int32 SlotValue(int32 slot) const;
    // The song loader, while this tracker's record is opened: whether bytes more of tracks
    // and pages may be made from it.
    bool Afford(size_t bytes);

    std::atomic<int32> status[kSlots] = {};
    std::atomic<int32> num_measures{4};
    std::atomic<int32> step_per_measure{8};
    std::atomic<int32> num_pages{1};
    rgb_color color = kDefaultColor;
    std::atomic<int32> groove{0};
    int32 num_tracks = 0;
    Track* tracks[kMaxTracks] = {};

  private:
    void DeleteTracks();
    void OpenSlots(BMessage* msg);
    void OpenColor(BMessage* msg);
    void OpenTracks(BMessage* msg);

    LoadAllowance* fOpening = nullptr;
};
