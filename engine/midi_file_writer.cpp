#include "engine/midi_file_writer.h"

#include <algorithm>

namespace {

void Big(std::vector<uint8_t>* out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; i--) out->push_back(uint8_t(value >> (8 * i)));
}

// A variable-length quantity; deltas past its 28 bits are split by the caller.
void Number(std::vector<uint8_t>* out, uint32_t value) {
    uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0 && count < 4);
    while (count-- > 0) out->push_back(uint8_t(groups[count] | (count > 0 ? 0x80 : 0)));
}

}  // namespace

int32_t MidiFileWriter::AddTrack(const std::string& name) {
    fTracks.emplace_back();
    if (!name.empty()) {
        std::vector<uint8_t> meta = {0xFF, 0x03};
        Number(&meta, uint32_t(name.size()));
        meta.insert(meta.end(), name.begin(), name.end());
        fTracks.back().push_back({0, std::move(meta)});
    }
    return int32_t(fTracks.size()) - 1;
}

void MidiFileWriter::Tempo(uint64_t tick, uint32_t microsecondsPerQuarter) {
    if (fTracks.empty()) AddTrack();
    std::vector<uint8_t> meta = {0xFF, 0x51, 0x03};
    Big(&meta, microsecondsPerQuarter, 3);
    fTracks[0].push_back({tick, std::move(meta)});
}

void MidiFileWriter::Message(int32_t track, uint64_t tick, std::vector<uint8_t> bytes) {
    fTracks[size_t(track)].push_back({tick, std::move(bytes)});
}

void MidiFileWriter::AddTrackChunk(std::vector<Entry> entries, std::vector<uint8_t>* out) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.tick < b.tick; });
    std::vector<uint8_t> body;
    uint64_t now = 0;
    for (const Entry& entry : entries) {
        uint64_t delta = entry.tick - now;
        // Longer waits than one delta holds pass as empty text events.
        for (; delta > 0x0FFFFFFF; delta -= 0x0FFFFFFF) {
            Number(&body, 0x0FFFFFFF);
            body.insert(body.end(), {0xFF, 0x01, 0x00});
        }
        Number(&body, uint32_t(delta));
        body.insert(body.end(), entry.bytes.begin(), entry.bytes.end());
        now = entry.tick;
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    out->insert(out->end(), {'M', 'T', 'r', 'k'});
    Big(out, uint32_t(body.size()), 4);
    out->insert(out->end(), body.begin(), body.end());
}

std::vector<uint8_t> MidiFileWriter::Bytes(int format) const {
    std::vector<std::vector<Entry>> tracks = fTracks;
    if (tracks.empty()) tracks.emplace_back();
    if (format == 0) {
        for (size_t t = 1; t < tracks.size(); t++)
            tracks[0].insert(tracks[0].end(), tracks[t].begin(), tracks[t].end());
        tracks.resize(1);
    }
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    Big(&out, 6, 4);
    Big(&out, uint32_t(format), 2);
    Big(&out, uint32_t(tracks.size()), 2);
    Big(&out, fTicks, 2);
    for (const std::vector<Entry>& track : tracks) AddTrackChunk(track, &out);
    return out;
}
