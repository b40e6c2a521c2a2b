// A Standard MIDI File of type 0 or 1 as read from its bytes: the events the importer uses
// (channel messages and tempo changes), each at its tick. Everything is checked on the way in:
// a file that is damaged anywhere is refused whole, with what is wrong and where.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MidiEvent {
    uint64_t tick = 0;
    uint8_t status = 0;  // a channel message's, or kTempo
    uint8_t data[2] = {};
    uint32_t tempo = 0;  // microseconds per quarter note, for kTempo
};

class MidiFile {
  public:
    // The status used for tempo changes, which are meta events in the file.
    static constexpr uint8_t kTempo = 0xFF;
    // More than any real file holds; bounds the memory a hostile one can take.
    static constexpr size_t kMaxEvents = 4u << 20;
    static constexpr size_t kMaxBytes = 64u << 20;

    // False with *why set when the bytes are no type 0 or 1 file or are damaged.
    bool Read(const uint8_t* bytes, size_t size, std::string* why);

    int32_t format = 0;
    // Ticks per quarter note, or 0 for SMPTE time, where ticks_per_second counts instead.
    int32_t ticks_per_quarter = 0;
    double ticks_per_second = 0;
    // Every track's events, merged in order of tick and, within a tick, of the file.
    std::vector<MidiEvent> events;
    // The first track name of the file, when it has one.
    std::string name;

  private:
    bool ReadHeader(const uint8_t* bytes, size_t size, int32_t* tracks, std::string* why);
    bool ReadTrack(const uint8_t* at, size_t size, size_t offset, std::string* why);
};
