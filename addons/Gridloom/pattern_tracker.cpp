#include "addons/Gridloom/pattern_tracker.h"

#include <algorithm>
#include <cstring>

#include "addons/Gridloom/pattern_window.h"
#include "addons/Gridloom/tracker_globals.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"

namespace {

constexpr ssize_t kSlotBytes = PatternTracker::kSlots * ssize_t(sizeof(int32));

int32 FirstInstrumentSlot() {
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        if (song->instruments[slot].load() != nullptr) return slot;
    }
    return -1;
}

int32 Saved(const BMessage* msg, const char* key, int32 fallback) {
    int32 value = fallback;
    msg->FindInt32(key, &value);
    return value;
}

uchar SavedComponent(const BMessage* msg, const char* key, uchar fallback) {
    int16 value = fallback;
    msg->FindInt16(key, &value);
    return uchar(value & 0xff);
}

}  // namespace

PatternTracker::PatternTracker() {
    has_output = 1;
    New();
}

PatternTracker::~PatternTracker() {
    if (patternwindow != nullptr) {
        patternwindow->Lock();
        if (!patternwindow->IsHidden()) patternwindow->Hide();
        patternwindow->Unlock();
    }
    if (currpat == this) currpat = nullptr;
    DeleteTracks();
    if (view != nullptr && view->Window() != nullptr) {
        BWindow* window = view->Window();
        window->Lock();
        view->RemoveSelf();
        window->Unlock();
    }
    delete view;
}

void PatternTracker::New() {
    for (std::atomic<int32>& entry : status) entry = kErase;
    num_tracks = 0;
    std::fill(std::begin(tracks), std::end(tracks), nullptr);
    mute = 0;
    num_measures = 4;
    step_per_measure = 8;
    num_pages = 1;
    groove = 0;
    SetName("Gridloom");
    color = kDefaultColor;
}

void PatternTracker::DeleteTracks() {
    for (int32 i = 0; i < num_tracks; i++) delete tracks[i];
    num_tracks = 0;
    std::fill(std::begin(tracks), std::end(tracks), nullptr);
}

void PatternTracker::ShowWindow() {
    currpat = this;
    if (patternwindow != nullptr)
        static_cast<PatternWindow*>(patternwindow)->Update();
    else
        patternwindow = CreatePatternWindow();
}

void PatternTracker::Reopened() {
    if (currpat == this && patternwindow != nullptr)
        static_cast<PatternWindow*>(patternwindow)->Refresh();
}

int32 PatternTracker::SlotValue(int32 slot) const {
    if (slot < 0 || slot >= kSlots) return kErase;
    const int32 value = status[slot].load(std::memory_order_relaxed);
    const bool page = value >= 1 && value <= Track::kMaxPages;
    return page || value == kSustain ? value : kErase;
}

void PatternTracker::Process() {
    const int32 measures = num_measures;
    if (mute || measures <= 0) return;
    const int32 pattern = SlotValue(song->position / measures);
    // Nothing is called in an Erase slot, so no instrument advances through it.
    if (pattern == kErase) return;
    for (int32 i = 0; i < num_tracks; i++) {
        tracks[i]->Process(buffer_left, buffer_right, buffer_length, pattern);
    }
}

int PatternTracker::AddTrack() {
    const int32 slot = FirstInstrumentSlot();
    if (slot < 0) {
        ShowError("You must have at least 1 instrument\nbefore you can create a track!");
        return -1;
    }
    if (num_tracks >= kMaxTracks) return -1;
    auto* track = new Track(this, slot);
    // The player walks the track table during a step.
    lock->Lock();
    tracks[num_tracks] = track;
    const int index = num_tracks++;
    lock->Unlock();
    return index;
}

void PatternTracker::RemoveTrack(int index) {
    if (index < 0 || index >= num_tracks) return;
    lock->Lock();
    Track* gone = tracks[index];
    std::copy(tracks + index + 1, tracks + num_tracks, tracks + index);
    tracks[--num_tracks] = nullptr;
    lock->Unlock();
    delete gone;
}

void PatternTracker::Transpose(int page, int delta) {
    for (int32 i = 0; i < num_tracks; i++) tracks[i]->Transpose(page, delta);
}

void PatternTracker::AddTracksForAllInstruments() {
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        if (song->instruments[slot].load() == nullptr) continue;
        const int index = AddTrack();
        if (index >= 0) tracks[index]->SetInstrument(slot);
    }
}

bool PatternTracker::PasteTrack(int index, const BMessage& record) {
    if (index < 0 || index >= num_tracks) return false;
    const int32 pages = num_pages;
    BMessage copy(record);
    auto* fresh = new Track(this, tracks[index]->instrument);
    fresh->Open(&copy);
    num_pages = std::max(pages, int32(num_pages));
    lock->Lock();
    Track* old = tracks[index];
    tracks[index] = fresh;
    lock->Unlock();
    delete old;
    return true;
}

void PatternTracker::CopyPage(int page, BMessage* out) const {
    out->MakeEmpty();
    if (page < 0 || page >= Track::kMaxPages) return;
    for (int32 i = 0; i < num_tracks; i++) {
        BMessage rows;
        tracks[i]->pages[page].Save(&rows);
        out->AddMessage("track", &rows);
    }
}

bool PatternTracker::PastePage(int page, const BMessage& in) {
    if (page < 0 || page >= Track::kMaxPages) return false;
    BMessage rows;
    for (int32 i = 0; i < num_tracks && in.FindMessage("track", i, &rows) == B_OK; i++) {
        TrackPage& target = tracks[i]->pages[page];
        int32 empty = 1;
        rows.FindInt32("emptypage", &empty);
        if (empty != 0 && !target.IsInitialized()) continue;
        target.Init();
        target.Clear();
        if (empty == 0) target.Open(&rows, 0);
    }
    return true;
}

void PatternTracker::Save(BMessage* msg) {
    int32 slots[kSlots];
    for (int32 i = 0; i < kSlots; i++) slots[i] = status[i].load(std::memory_order_relaxed);
    msg->AddData("status", B_INT32_TYPE, slots, kSlotBytes);
    msg->AddInt32("mute", mute);
    msg->AddInt32("num_measures", num_measures);
    msg->AddInt32("step_per_measure", step_per_measure);
    msg->AddInt16("color_red", color.red);
    msg->AddInt16("color_green", color.green);
    msg->AddInt16("color_blue", color.blue);
    msg->AddInt32("num_tracks", num_tracks);
    for (int32 i = 0; i < num_tracks; i++) {
        BMessage track;
        tracks[i]->Save(&track);
        msg->AddMessage("track", &track);
    }
    Machine::Save(msg);
}

void PatternTracker::Open(BMessage* msg) {
    // Errors wait until the lock is released, so an alert never holds up the player.
    DeferredErrors errors;
    lock->Lock();
    DeleteTracks();
    New();
    OpenSlots(msg);
    mute = Saved(msg, "mute", 0);
    // Limited to what the editor offers: a zero would divide by zero, a large value would
    // read rows past the end of a page.
    num_measures = std::clamp(Saved(msg, "num_measures", 4), 1, 8);
    step_per_measure = std::clamp(Saved(msg, "step_per_measure", 8), 4, 32);
    OpenColor(msg);
    LoadAllowance allowance(*msg);
    fOpening = &allowance;
    OpenTracks(msg);
    fOpening = nullptr;
    lock->Unlock();
    Machine::Open(msg);
    if (allowance.Exceeded()) {
        ShowError(
            "The machine %s is damaged: it claims more tracks and pages than it holds.\n"
            "Those it has no rows for were left out.",
            GetName());
    }
}

bool PatternTracker::Afford(size_t bytes) {
    return fOpening == nullptr || fOpening->Take(bytes);
}

int32 PatternTracker::ContentEnd() const {
    const int32 measures = std::max(int32(num_measures), int32(1));
    for (int32 slot = kSlots - 1; slot >= 0; slot--) {
        if (SlotValue(slot) != kErase) return (slot + 1) * measures;
    }
    return 0;
}

void PatternTracker::OpenSlots(BMessage* msg) {
    const void* data = nullptr;
    ssize_t size = 0;
    if (msg->FindData("status", B_INT32_TYPE, &data, &size) != B_OK) return;
    int32 slots[kSlots] = {};
    std::memcpy(slots, data, size_t(std::clamp(size, ssize_t(0), kSlotBytes)));
    for (int32 i = 0; i < kSlots; i++) status[i] = slots[i];
}

void PatternTracker::OpenColor(BMessage* msg) {
    color.red = SavedComponent(msg, "color_red", kDefaultColor.red);
    color.green = SavedComponent(msg, "color_green", kDefaultColor.green);
    color.blue = SavedComponent(msg, "color_blue", kDefaultColor.blue);
}

void PatternTracker::OpenTracks(BMessage* msg) {
    const int32 count = std::clamp(Saved(msg, "num_tracks", 0), 0, kMaxTracks);
    for (int32 i = 0; i < count; i++) {
        BMessage saved;
        msg->FindMessage("track", i, &saved);
        if (!Afford(sizeof(Track) + TrackPage::kBytes)) return;
        const int index = AddTrack();
        if (index >= 0) tracks[index]->Open(&saved);
    }
}
