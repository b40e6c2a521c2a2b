// The song as its file would hold it, kept part by part: the song's own settings, each
// instrument and each machine as the bytes of its saved record. Parts equal to those of an
// earlier snapshot share its bytes, so a history of edits costs what the edits changed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "message/message.h"

class Song;

class SongSnapshot {
  public:
    using Bytes = std::shared_ptr<const std::vector<char>>;

    struct Part {
        // Machine serial or instrument slot.
        uint64 key = 0;
        // The roster entry that makes it.
        std::string addon;
        // The name the user gave it, for naming the edit.
        std::string label;
        Bytes bytes;
        bool operator==(const Part& other) const;
    };

    // Window thread. What from holds now; parts equal to previous's share its bytes.
    static SongSnapshot Take(Song& from, const SongSnapshot* previous = nullptr);

    bool operator==(const SongSnapshot& other) const;
    bool SameSettings(const SongSnapshot& other) const;
    // What changed from before to this, for the Edit menu ("Add Gridloom", "Tempo", ...).
    std::string Describe(const SongSnapshot& before) const;
    // Each distinct buffer this snapshot holds, for reckoning the memory of a history.
    void ForEachBuffer(const std::function<void(const std::vector<char>&)>& visit) const;

    // The song's settings record; it names the selected machine only while it plays alone,
    // since picking another machine otherwise changes nothing heard.
    BMessage Settings() const;
    const std::vector<Part>& Instruments() const { return fInstruments; }
    const std::vector<Part>& Machines() const { return fMachines; }

    // Any thread. The record flattened in bytes.
    static BMessage Record(const Bytes& bytes);

  private:
    std::string DescribeMachines(const SongSnapshot& before) const;
    std::string DescribeSettings(const SongSnapshot& before) const;

    Bytes fSettings;
    std::vector<Part> fInstruments;
    std::vector<Part> fMachines;
};
