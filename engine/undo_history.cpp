#include "engine/undo_history.h"

#include <unordered_set>

#include "engine/song.h"

UndoHistory::UndoHistory(Song& target, size_t maxBytes) : fSong(target), fMaxBytes(maxBytes) {
    Reset();
}

void UndoHistory::Reset() {
    fSteps.clear();
    fSteps.push_back({SongSnapshot::Take(fSong), {}});
    fAt = 0;
}

bool UndoHistory::Commit() {
    SongSnapshot now = SongSnapshot::Take(fSong, &Current());
    if (now == Current()) return false;
    std::string name = now.Describe(Current());
    fSteps.resize(fAt + 1);
    fSteps.push_back({std::move(now), std::move(name)});
    fAt++;
    Trim();
    return true;
}

bool UndoHistory::Undo() {
    Commit();
    if (!CanUndo()) return false;
    MoveTo(fAt - 1);
    return true;
}

bool UndoHistory::Redo() {
    // An edit not yet committed would drop what there is to redo.
    if (Commit() || !CanRedo()) return false;
    MoveTo(fAt + 1);
    return true;
}

void UndoHistory::MoveTo(size_t at) {
    fSong.Restore(fSteps[at].snapshot, Current());
    fAt = at;
    // Opening may tidy a record; what the song now saves is what later edits compare with.
    fSteps[at].snapshot = SongSnapshot::Take(fSong, &fSteps[at].snapshot);
}

std::string UndoHistory::UndoName() const {
    return CanUndo() ? fSteps[fAt].name : std::string();
}

std::string UndoHistory::RedoName() const {
    return CanRedo() ? fSteps[fAt + 1].name : std::string();
}

size_t UndoHistory::Bytes() const {
    std::unordered_set<const std::vector<char>*> seen;
    size_t total = 0;
    for (const Step& step : fSteps) {
        step.snapshot.ForEachBuffer([&](const std::vector<char>& buffer) {
            if (seen.insert(&buffer).second) total += buffer.size();
        });
    }
    return total;
}

bool UndoHistory::OverBudget() const {
    size_t bound = 0;
    for (const Step& step : fSteps)
        step.snapshot.ForEachBuffer(
            [&](const std::vector<char>& buffer) { bound += buffer.size(); });
    return bound > fMaxBytes && Bytes() > fMaxBytes;
}

void UndoHistory::Trim() {
    while (fSteps.size() > 1 && fAt > 0 && (fSteps.size() > kMaxSteps + 1 || OverBudget())) {
        fSteps.erase(fSteps.begin());
        fAt--;
    }
}
