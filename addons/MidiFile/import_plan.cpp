#include "addons/MidiFile/import_plan.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/player.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kMinTempo = 40;
constexpr int32_t kMaxTempo = 300;
constexpr uint32_t kDefaultTempo = 500000;  // microseconds per quarter: 120 beats a minute

int32_t Bpm(uint32_t microseconds) {
    return std::clamp(int32_t(std::lround(60e6 / microseconds)), kMinTempo, kMaxTempo);
}

bool IsNoteOn(const MidiEvent& e) {
    return (e.status & 0xF0) == 0x90 && e.data[1] > 0;
}

}  // namespace

bool ImportPlan::Make(const MidiFile& file, std::string* why) {
    const std::vector<Timed> notes = TimeNotes(file);
    if (notes.empty()) {
        *why = "it holds no notes";
        return false;
    }
    // Checked before the beats are laid out: a hostile file could name any tick.
    if (notes.back().beat >= kSlots * kBeatsPerSlot) {
        *why = "it lasts " + std::to_string(int64_t(notes.back().beat)) + " beats; a song holds " +
               std::to_string(kSlots * kBeatsPerSlot);
        return false;
    }
    PlanTempo(file);
    ChooseRows(notes);
    if (!Lay(notes, why)) return false;
    programs.assign(channels.size(), 0);
    std::vector<bool> chosen(channels.size(), false);
    for (const MidiEvent& e : file.events) {
        if ((e.status & 0xF0) != 0xC0) continue;
        auto at = std::find(channels.begin(), channels.end(), (e.status & 0x0F) + 1);
        if (at == channels.end() || chosen[size_t(at - channels.begin())]) continue;
        chosen[size_t(at - channels.begin())] = true;
        programs[size_t(at - channels.begin())] = e.data[0];
    }
    return true;
}

std::vector<ImportPlan::Timed> ImportPlan::TimeNotes(const MidiFile& file) {
    std::vector<Timed> notes;
    uint64_t lastTick = 0;
    double seconds = 0;
    uint32_t tempoNow = kDefaultTempo;
    for (const MidiEvent& e : file.events) {
        if (file.ticks_per_quarter > 0) {
            seconds += double(e.tick - lastTick) * tempoNow / (1e6 * file.ticks_per_quarter);
            lastTick = e.tick;
        } else {
            seconds = double(e.tick) / file.ticks_per_second;
        }
        if (e.status == MidiFile::kTempo && file.ticks_per_quarter > 0) tempoNow = e.tempo;
        if (!IsNoteOn(e)) continue;
        // SMPTE files count seconds; they play at 120 beats a minute.
        const double beat =
            file.ticks_per_quarter > 0 ? double(e.tick) / file.ticks_per_quarter : seconds * 2;
        notes.push_back({beat, seconds, (e.status & 0x0F) + 1, e.data[0], e.data[1]});
    }
    return notes;
}

void ImportPlan::PlanTempo(const MidiFile& file) {
    tempo = Bpm(kDefaultTempo);
    changes.clear();
    if (file.ticks_per_quarter == 0) return;
    for (const MidiEvent& e : file.events) {
        if (e.status != MidiFile::kTempo) continue;
        const auto beat = int32_t(std::min<double>(
            std::llround(double(e.tick) / file.ticks_per_quarter), kSlots * kBeatsPerSlot));
        if (beat == 0) {
            tempo = Bpm(e.tempo);
            continue;
        }
        // The player changes tempo between beats: changes within one beat make one.
        if (!changes.empty() && changes.back().beat == beat) changes.pop_back();
        const int32_t before = changes.empty() ? tempo : changes.back().tempo;
        if (Bpm(e.tempo) != before && int32_t(changes.size()) < kMaxTempoChanges)
            changes.push_back({beat, Bpm(e.tempo)});
    }
}

int32_t ImportPlan::TempoAt(int64_t beat) const {
    int32_t now = tempo;
    for (const TempoChange& change : changes) {
        if (change.beat > beat) break;
        now = change.tempo;
    }
    return now;
}

int64_t ImportPlan::RowFrame(int64_t row) const {
    const int64_t beat = row / rows_per_beat;
    const int32_t at = int32_t(row % rows_per_beat);
    const int32_t now = TempoAt(beat);
    // As the player and the pattern tracker divide a beat: whole frames to a step, whole
    // frames to a row of a step.
    const int32_t step = StepFramesAt(now);
    const int32_t rowsPerStep = rows_per_beat / StepsPerMeasureAt(now);
    return fBeatStart[size_t(beat)] + (at / rowsPerStep) * int64_t(step) +
           (at % rowsPerStep) * int64_t(step / rowsPerStep);
}

// The coarsest grid that keeps every note within the tolerance of its time, else the finest.
void ImportPlan::ChooseRows(const std::vector<Timed>& notes) {
    const auto beats = size_t(notes.back().beat) + 2;
    fBeatStart.assign(beats + 1, 0);
    for (size_t b = 0; b < beats; b++) {
        const int32_t now = TempoAt(int64_t(b));
        fBeatStart[b + 1] = fBeatStart[b] + StepsPerMeasureAt(now) * StepFramesAt(now);
    }
    for (int32_t rows : {4, 8, 16}) {
        rows_per_beat = rows;
        const bool fits = std::all_of(notes.begin(), notes.end(), [&](const Timed& n) {
            const double at = double(RowFrame(std::llround(n.beat * rows))) / kRate;
            return std::abs(at - n.seconds) <= kTolerance;
        });
        if (fits) return;
    }
}

bool ImportPlan::Lay(const std::vector<Timed>& notes, std::string* why) {
    const int32_t rowsPerSlot = kBeatsPerSlot * rows_per_beat;
    const int64_t lastRow = std::llround(notes.back().beat * rows_per_beat);
    // A last note rounded up onto the next slot past the end.
    if (lastRow / rowsPerSlot >= kSlots) {
        *why = "it lasts longer than the " + std::to_string(kSlots * kBeatsPerSlot) +
               " beats a song holds";
        return false;
    }
    channels.clear();
    for (const Timed& n : notes) {
        if (std::find(channels.begin(), channels.end(), n.channel) == channels.end())
            channels.push_back(n.channel);
    }
    std::sort(channels.begin(), channels.end());
    // Notes of a channel starting on one row go to that channel's next track.
    std::map<std::pair<int32_t, int64_t>, int32_t> taken;
    std::vector<int32_t> tracksOf(channels.size(), 1);
    std::vector<std::pair<size_t, int32_t>> placed;  // channel index, track of the channel
    for (const Timed& n : notes) {
        const auto c =
            size_t(std::find(channels.begin(), channels.end(), n.channel) - channels.begin());
        const int32_t t = taken[{n.channel, std::llround(n.beat * rows_per_beat)}]++;
        tracksOf[c] = std::max(tracksOf[c], t + 1);
        placed.push_back({c, t});
    }
    track_channel.clear();
    std::vector<int32_t> firstTrack;
    for (size_t c = 0; c < channels.size(); c++) {
        firstTrack.push_back(int32_t(track_channel.size()));
        track_channel.insert(track_channel.end(), size_t(tracksOf[c]), int32_t(c));
    }
    if (int32_t(track_channel.size()) > kTracks) {
        *why = "it needs " + std::to_string(track_channel.size()) +
               " tracks for its chords; a pattern machine holds " + std::to_string(kTracks);
        return false;
    }
    const int32_t count = int32_t(lastRow / rowsPerSlot) + 1;
    std::vector<Page> laid(size_t(count),
                           Page{std::vector<std::vector<Note>>(track_channel.size())});
    for (size_t i = 0; i < notes.size(); i++) {
        const int64_t row = std::llround(notes[i].beat * rows_per_beat);
        const int32_t track = firstTrack[placed[i].first] + placed[i].second;
        laid[size_t(row / rowsPerSlot)].tracks[size_t(track)].push_back(
            {int32_t(row % rowsPerSlot), notes[i].key, notes[i].velocity});
    }
    return Share(laid, why);
}

// Slots that sound alike play one page; silent slots none.
bool ImportPlan::Share(const std::vector<Page>& laid, std::string* why) {
    slots.clear();
    pages.clear();
    for (const Page& page : laid) {
        const bool silent = std::all_of(page.tracks.begin(), page.tracks.end(),
                                        [](const std::vector<Note>& t) { return t.empty(); });
        auto same = std::find(pages.begin(), pages.end(), page);
        if (!silent && same == pages.end()) {
            pages.push_back(page);
            same = pages.end() - 1;
        }
        slots.push_back(silent ? 0 : int32_t(same - pages.begin()) + 1);
    }
    if (int32_t(pages.size()) > kPages) {
        *why = "its music needs " + std::to_string(pages.size()) +
               " different pages; a pattern machine holds " + std::to_string(kPages);
        return false;
    }
    return true;
}
