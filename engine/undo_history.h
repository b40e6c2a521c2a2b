// The song's edits as a list of snapshots, taken after each edit, that undo and redo walk.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/song_snapshot.h"

class Song;

class UndoHistory {
  public:
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMaxBytes = size_t(256) << 20;

    // Window thread, as are all below. Starts from what target holds now; the steps kept
    // hold at most maxBytes between them, or the last step alone when it holds more.
    explicit UndoHistory(Song& target, size_t maxBytes = kMaxBytes);

    // Forgets every step: the song was replaced (New, Open, Import).
    void Reset();
    // Takes what the song holds now as a step when it differs from the last one; true then.
    bool Commit();
    // Commits what is pending, then brings the song one step back or forth; false when
    // there is none.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return fAt > 0; }
    bool CanRedo() const { return fAt + 1 < fSteps.size(); }
    // What the step undone or redone did ("Add Gridloom", "Tempo"); empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // The snapshot of the song as it stood after the last commit, undo or redo.
    const SongSnapshot& Current() const { return fSteps[fAt].snapshot; }

    // Steps held, the first one included, and the bytes they hold between them.
    size_t Steps() const { return fSteps.size(); }
    size_t Bytes() const;

  private:
    struct Step {
        SongSnapshot snapshot;
        // What the edit that led here did.
        std::string name;
    };

    void MoveTo(size_t at);
    void Trim();
    // More than the history can hold: the steps' sizes added up count shared bytes many
    // times, so only when they pass the bound are the distinct buffers counted.
    bool OverBudget() const;

    Song& fSong;
    const size_t fMaxBytes;
    std::vector<Step> fSteps;
    size_t fAt = 0;
};
