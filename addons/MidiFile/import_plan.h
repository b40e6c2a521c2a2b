// A MIDI file laid out as the song the importer builds: one pattern machine whose tracks play
// the channels' notes on rows of a grid fine enough to keep every note within 5 ms of its time,
// pages shared by slots that sound alike, the file's tempo and its later changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "addons/MidiFile/midi_file.h"

class ImportPlan {
  public:
    // Beats to a slot: the most a pattern machine's slot holds.
    static constexpr int32_t kBeatsPerSlot = 8;
    static constexpr int32_t kSlots = 512;
    static constexpr int32_t kPages = 128;
    static constexpr int32_t kTracks = 128;
    static constexpr int32_t kMaxTempoChanges = 200;
    static constexpr double kTolerance = 0.005;  // seconds

    struct Note {
        int32_t row;  // in the page
        int32_t key;
        int32_t velocity;
        bool operator==(const Note&) const = default;
    };
    struct Page {
        std::vector<std::vector<Note>> tracks;  // one list per track, by row
        bool operator==(const Page&) const = default;
    };
    struct TempoChange {
        int32_t beat;
        int32_t tempo;
    };

    // False with *why set when the song cannot hold the file.
    bool Make(const MidiFile& file, std::string* why);

    int32_t tempo = 120;
    std::vector<TempoChange> changes;
    int32_t rows_per_beat = 4;
    std::vector<int32_t> channels;       // 1 .. 16, in order: instrument slot i plays channels[i]
    std::vector<int32_t> programs;       // each channel's first program, 0 .. 127
    std::vector<int32_t> track_channel;  // index into channels, for each track
    std::vector<int32_t> slots;          // each slot's page number, 0 for silence
    std::vector<Page> pages;             // page number p is pages[p - 1]

    // The first frame of a row of rows_per_beat to a beat, as the player lays the song out.
    int64_t RowFrame(int64_t row) const;

  private:
    struct Timed {
        double beat;
        double seconds;
        int32_t channel;
        int32_t key;
        int32_t velocity;
    };

    std::vector<Timed> TimeNotes(const MidiFile& file);
    void PlanTempo(const MidiFile& file);
    void ChooseRows(const std::vector<Timed>& notes);
    bool Lay(const std::vector<Timed>& notes, std::string* why);
    bool Share(const std::vector<Page>& laid, std::string* why);
    int32_t TempoAt(int64_t beat) const;

    std::vector<int64_t> fBeatStart;  // frame of each beat
};
