#include "addons/Gridloom/track_page.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "addons/Gridloom/track.h"

namespace {

constexpr ssize_t kRowBytes = TrackPage::kRows * ssize_t(sizeof(int32));

}  // namespace

TrackPage::~TrackPage() {
    if (!IsInitialized()) return;
    delete[] status;
    delete[] note;
    delete modifiers;
}

void TrackPage::Init() {
    if (IsInitialized()) return;
    status = new std::atomic<int32>[kRows];
    note = new std::atomic<int32>[kRows];
    EmptyRows();
    modifiers = new Modifiers(owner->ModifierList(), kRows);
    // The player may be reading this page's flag: publish the arrays before it.
    initialized.store(1, std::memory_order_release);
}

Modifiers* TrackPage::GetModifiers(int) {
    Init();
    return modifiers;
}

void TrackPage::setstatus(int row, int value) {
    Init();
    if (InPage(row)) status[row].store(value, std::memory_order_relaxed);
}

void TrackPage::setnote(int row, int value) {
    if (IsInitialized() && InPage(row)) note[row].store(value, std::memory_order_relaxed);
}

int32 TrackPage::StatusAt(int32 row) const {
    if (!IsInitialized() || !InPage(row)) return 0;
    return status[row].load(std::memory_order_relaxed);
}

int32 TrackPage::NoteAt(int32 row) const {
    if (!IsInitialized() || !InPage(row)) return 0;
    return note[row].load(std::memory_order_relaxed);
}

void TrackPage::Transpose(int delta) {
    if (!IsInitialized()) return;
    for (int32 row = 0; row < kRows; row++) {
        if (StatusAt(row) == 0) continue;
        note[row].store(std::clamp(NoteAt(row) + delta, 0, 127), std::memory_order_relaxed);
    }
}

void TrackPage::EmptyRows() {
    for (int32 row = 0; row < kRows; row++) {
        status[row].store(0, std::memory_order_relaxed);
        note[row].store(kDefaultNote, std::memory_order_relaxed);
    }
}

void TrackPage::Clear() {
    if (!IsInitialized()) return;
    EmptyRows();
    modifiers->Reset();
}

void TrackPage::Keep(const std::atomic<int32>* rows, BMessage* track, const char* key) {
    int32 copy[kRows];
    for (int32 row = 0; row < kRows; row++) copy[row] = rows[row].load(std::memory_order_relaxed);
    track->AddData(key, B_INT32_TYPE, copy, kRowBytes);
}

void TrackPage::Save(BMessage* track) const {
    track->AddInt32("emptypage", IsInitialized() ? 0 : 1);
    if (!IsInitialized()) return;
    Keep(status, track, "status");
    Keep(note, track, "note");
    BMessage values;
    modifiers->Save(&values);
    track->AddMessage("_Modifiers", &values);
}

void TrackPage::Store(std::atomic<int32>* rows, BMessage* track, const char* key, int32 k, int32 lo,
                      int32 hi) {
    const void* data = nullptr;
    ssize_t size = 0;
    if (track->FindData(key, B_INT32_TYPE, k, &data, &size) != B_OK) return;
    int32 copy[kRows];
    const int32 count = int32(std::clamp(size, ssize_t(0), kRowBytes) / ssize_t(sizeof(int32)));
    std::memcpy(copy, data, size_t(count) * sizeof(int32));
    for (int32 row = 0; row < count; row++) {
        rows[row].store(std::clamp(copy[row], lo, hi), std::memory_order_relaxed);
    }
}

bool TrackPage::Holds(BMessage* track, int32 k) {
    int32 statuses = 0, notes = 0;
    track->GetInfo("status", nullptr, &statuses);
    track->GetInfo("note", nullptr, &notes);
    return k < statuses || k < notes;
}

void TrackPage::Open(BMessage* track, int32 k) {
    Init();
    Store(status, track, "status", k, INT32_MIN, INT32_MAX);
    Store(note, track, "note", k, 0, 127);
    BMessage values;
    if (track->FindMessage("_Modifiers", k, &values) == B_OK) modifiers->Open(&values);
}
