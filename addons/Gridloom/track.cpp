#include "addons/Gridloom/track.h"

#include <algorithm>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_globals.h"
#include "engine/notes.h"
#include "engine/player.h"
#include "engine/song.h"

namespace {

ModifierInfoList kNoModifiers = {0, nullptr};

// Sub-step lengths of the groove cycle, in halves of a plain sub-step beyond it.
constexpr float kGroove[8] = {0, 0, 0, 0, 1, 1, -1, -1};

bool IsInstrumentSlot(int slot) {
    return slot >= 0 && slot < Song::kInstrumentSlots;
}

}  // namespace

Track::Track(PatternTracker* tracker, int32 slot) : owner(tracker), instrument(slot) {
    for (TrackPage& page : pages) page.owner = this;
    pages[0].Init();
}

void Track::SetInstrument(int slot) {
    if (!IsInstrumentSlot(slot) || slot == instrument) return;
    instrument = slot;
    // The pages made for the old instrument hold its modifiers: rebuild them for the new one.
    for (TrackPage& page : pages)
        if (page.IsInitialized()) ReplaceModifiers(page);
}

void Track::ReplaceModifiers(TrackPage& page) {
    BMessage values;
    page.modifiers->Save(&values);
    auto* fresh = new Modifiers(ModifierList(), TrackPage::kRows);
    fresh->Open(&values);
    Modifiers* old = page.modifiers;
    // The player reads a page's modifiers, and the sounding note's, during a step.
    lock->Lock();
    fresh->current = old->current;
    page.modifiers = fresh;
    if (noteinfo.modifiers == old) noteinfo.modifiers = fresh;
    lock->Unlock();
    delete old;
}

Instrument* Track::Target() const {
    const int32 slot = instrument;
    return IsInstrumentSlot(slot) ? song->instruments[slot].load() : nullptr;
}

ModifierInfoList* Track::ModifierList() const {
    Instrument* target = Target();
    ModifierInfoList* list = target != nullptr ? target->GetModifierInfoList() : nullptr;
    return list != nullptr ? list : &kNoModifiers;
}

void Track::Process(float* left, float* right, long frames, int pattern) {
    Instrument* target = Target();
    if (mute || target == nullptr) return;
    const int32 steps = STEPS_PER_MEASURE;
    const int32 rows = owner->step_per_measure / steps;
    const int32 measures = owner->num_measures;
    if (rows <= 0 || measures <= 0) return;
    const int32 base = (song->position % measures) * steps + song->step;
    const long len = frames / rows;
    long offset = 0;
    for (int32 i = 0; i < rows; i++) {
        if (pattern != PatternTracker::kSustain) StartRow(pages[pattern - 1], base * rows + i);
        noteinfo.offset = int32(offset);
        // A long grooved sub-step is cut at the block's end rather than written past it.
        const long h = std::min(SubStepLength(len), frames - offset);
        if (noteinfo.sounding && h > 0)
            target->Process(left + offset, right + offset, h, &noteinfo);
        offset += h;
        noteinfo.time += float(h);
    }
}

void Track::StartRow(const TrackPage& page, int32 row) {
    if (page.StatusAt(row) != 1) return;
    noteinfo.note = page.NoteAt(row);
    noteinfo.pitch = NoteToPitch(noteinfo.note);
    noteinfo.time = 0;
    noteinfo.sounding = 1;
    noteinfo.modifiers = page.modifiers;
    page.modifiers->current = row;
}

long Track::SubStepLength(long len) const {
    if (owner->groove == 0) return len;
    const long h = long(kGroove[grooveofs] * float(len) * 0.5f + float(len));
    grooveofs = (grooveofs + 1) % 8;
    return h;
}

void Track::Transpose(int page, int delta) {
    if (page >= 0 && page < kMaxPages) pages[page].Transpose(delta);
}

void Track::Save(BMessage* msg) const {
    msg->AddInt16("instr", int16(instrument));
    const int32 count = owner->num_pages;
    msg->AddInt32("num_pages", count);
    for (int32 p = 0; p < count; p++) pages[p].Save(msg);
    msg->AddInt32("mute", mute);
}

void Track::Open(BMessage* msg) {
    int16 slot = 0;
    if (msg->FindInt16("instr", &slot) == B_OK) SetInstrument(slot);
    int32 count = 1;
    msg->FindInt32("num_pages", &count);
    owner->num_pages = std::clamp(count, int32(1), int32(kMaxPages));
    OpenPages(msg);
    int32 muted = 0;
    msg->FindInt32("mute", &muted);
    mute = muted;
}

void Track::OpenPages(BMessage* msg) {
    int32 k = 0;
    for (int32 p = 0; p < owner->num_pages; p++) {
        int32 empty = 0;
        msg->FindInt32("emptypage", p, &empty);
        if (empty != 0) continue;
        // A page the record holds no rows for costs nothing.
        if (pages[p].IsInitialized() ||
            (TrackPage::Holds(msg, k) && owner->Afford(TrackPage::kBytes))) {
            pages[p].Open(msg, k);
        }
        k++;
    }
}
