#include "addons/MidiFile/midi_file.h"

#include <algorithm>
#include <cstring>

#include "addons/common/display_text.h"

namespace {

uint32_t Big32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint16_t Big16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

// A track's bytes read in order, never past their end.
struct Cursor {
    const uint8_t* at;
    size_t size;
    size_t pos = 0;

    bool Byte(uint8_t* out) {
        if (pos >= size) return false;
        *out = at[pos++];
        return true;
    }
    // A variable-length quantity: at most four bytes of seven bits.
    bool Number(uint32_t* out) {
        uint32_t value = 0;
        for (int i = 0; i < 4; i++) {
            uint8_t byte = 0;
            if (!Byte(&byte)) return false;
            value = value << 7 | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                *out = value;
                return true;
            }
        }
        return false;
    }
    bool Skip(uint32_t count) {
        if (count > size - pos) return false;
        pos += count;
        return true;
    }
};

// Program changes and channel pressure carry one data byte; the other channel messages two.
int DataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// What the importer keeps: notes starting and programs chosen.
bool Kept(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0x90 || kind == 0xC0;
}

}  // namespace

bool MidiFile::Read(const uint8_t* bytes, size_t size, std::string* why) {
    events.clear();
    name.clear();
    if (size > kMaxBytes) {
        *why = "it is larger than " + std::to_string(kMaxBytes >> 20) + " MB";
        return false;
    }
    int32_t tracks = 0;
    if (!ReadHeader(bytes, size, &tracks, why)) return false;
    size_t pos = 8 + Big32(bytes + 4);
    for (int32_t found = 0; found < tracks;) {
        if (size - pos < 8) {
            *why = "it ends after " + std::to_string(found) + " of its " + std::to_string(tracks) +
                   " tracks";
            return false;
        }
        const uint32_t length = Big32(bytes + pos + 4);
        if (length > size - pos - 8) {
            *why = "the chunk at byte " + std::to_string(pos) + " runs past the end of the file";
            return false;
        }
        // Chunks of other kinds are for other programs.
        if (std::memcmp(bytes + pos, "MTrk", 4) == 0) {
            if (!ReadTrack(bytes + pos + 8, length, pos + 8, why)) return false;
            found++;
        }
        pos += 8 + size_t(length);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    return true;
}

bool MidiFile::ReadHeader(const uint8_t* bytes, size_t size, int32_t* tracks, std::string* why) {
    if (size < 14 || std::memcmp(bytes, "MThd", 4) != 0) {
        *why = "it does not begin with a MIDI file header";
        return false;
    }
    const uint32_t length = Big32(bytes + 4);
    format = Big16(bytes + 8);
    *tracks = Big16(bytes + 10);
    const uint16_t division = Big16(bytes + 12);
    if (length < 6 || length > size - 8) {
        *why = "its header is damaged";
    } else if (format == 2) {
        *why = "it is a type 2 file, whose tracks are separate patterns; types 0 and 1 are read";
    } else if (format > 2) {
        *why = "its type " + std::to_string(format) + " is unknown";
    } else if (*tracks == 0) {
        *why = "it holds no tracks";
    } else if ((division & 0x8000) == 0) {
        ticks_per_quarter = division;
        if (division == 0) *why = "its time division is 0";
    } else {
        const int fps = -int8_t(division >> 8);
        const int perFrame = division & 0xFF;
        ticks_per_quarter = 0;
        ticks_per_second = (fps == 29 ? 29.97 : fps) * perFrame;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || perFrame == 0)
            *why = "its SMPTE time division is damaged";
    }
    return why->empty();
}

bool MidiFile::ReadTrack(const uint8_t* at, size_t size, size_t offset, std::string* why) {
    Cursor in{at, size};
    uint64_t tick = 0;
    uint8_t running = 0;
    auto fail = [&](const char* what) {
        *why = std::string(what) + " at byte " + std::to_string(offset + in.pos);
        return false;
    };
    while (in.pos < size) {
        uint32_t delta = 0;
        if (!in.Number(&delta)) return fail("a damaged delta time");
        tick += delta;
        uint8_t status = 0;
        if (!in.Byte(&status)) return fail("a missing event");
        if (status == 0xFF) {
            running = 0;
            uint8_t type = 0;
            uint32_t length = 0;
            if (!in.Byte(&type) || !in.Number(&length) || length > size - in.pos)
                return fail("a damaged meta event");
            const uint8_t* data = at + in.pos;
            in.pos += length;
            if (type == 0x2F) return true;
            if (type == 0x03 && name.empty() && length > 0)
                name = DisplayText(
                    std::string(reinterpret_cast<const char*>(data), std::min<size_t>(length, 255))
                        .c_str());
            if (type != 0x51) continue;
            if (length != 3) return fail("a tempo change of the wrong length");
            MidiEvent tempo;
            tempo.tick = tick;
            tempo.status = kTempo;
            tempo.tempo = uint32_t(data[0]) << 16 | uint32_t(data[1]) << 8 | data[2];
            if (tempo.tempo == 0) return fail("a tempo of zero");
            events.push_back(tempo);
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            running = 0;
            uint32_t length = 0;
            if (!in.Number(&length) || !in.Skip(length))
                return fail("a damaged system exclusive message");
            continue;
        }
        if (status > 0xF0) return fail("a system message that has no place in a file");
        MidiEvent event;
        event.tick = tick;
        if (status < 0x80) {
            if (running == 0) return fail("a data byte without a status");
            event.status = running;
            event.data[0] = status;
        } else {
            running = event.status = status;
            if (!in.Byte(&event.data[0])) return fail("a message cut short");
        }
        if (DataBytes(event.status) == 2 && !in.Byte(&event.data[1]))
            return fail("a message cut short");
        if (event.data[0] > 0x7F || event.data[1] > 0x7F) return fail("a data byte out of range");
        if (!Kept(event.status)) continue;
        if (events.size() >= kMaxEvents) return fail("more notes than a song can hold");
        events.push_back(event);
    }
    // A track without its end-of-track event ends with its chunk.
    return true;
}
