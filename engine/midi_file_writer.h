// Writes a Standard MIDI File: tracks of messages at ticks of a quarter note, and tempo
// changes, which go into the first track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class MidiFileWriter {
  public:
    explicit MidiFileWriter(uint16_t ticksPerQuarter) : fTicks(ticksPerQuarter) {}

    // A new track, named when name is not empty; its index.
    int32_t AddTrack(const std::string& name = {});
    // Into track 0, which is made if there is none.
    void Tempo(uint64_t tick, uint32_t microsecondsPerQuarter);
    // A channel message: its status byte and one or two data bytes.
    void Message(int32_t track, uint64_t tick, std::vector<uint8_t> bytes);

    // Type 1 keeps the tracks; type 0 merges them into one, in order of tick.
    std::vector<uint8_t> Bytes(int format = 1) const;

  private:
    struct Entry {
        uint64_t tick;
        std::vector<uint8_t> bytes;  // a whole event after its delta time
    };
    static void AddTrackChunk(std::vector<Entry> entries, std::vector<uint8_t>* out);

    uint16_t fTicks;
    std::vector<std::vector<Entry>> fTracks;
};
