// MIDI files written here imported through the importer roster into the real add-ons, and
// played offline: each note's message leaves within 5 ms of its time in the file, on its
// channel and key, with its velocity. Damaged files are refused and keep the open song.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/MidiFile/midi_file.h"
#include "engine/midi_connections.h"
#include "engine/midi_file_writer.h"
#include "engine/offline_render.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "tests/engine/engine_environment.h"
#include "tests/hex_file.h"
#include "tests/platform/midi/recording_consumer.h"
#include "tests/platform/storage/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kTicks = 480;

// A note the file plays, at its time in seconds.
struct FileNote {
    double seconds;
    int channel;  // 1 .. 16
    int key;
    int velocity;
};

// Writes notes from beats at 120 beats a minute, turning 150 at beat 8 when asked; the
// notes' times in seconds are added to *notes.
struct Song120 {
    MidiFileWriter file{kTicks};
    std::vector<FileNote> notes;
    bool faster = false;

    double Seconds(double beat) const {
        return faster && beat > 8 ? 4.0 + (beat - 8) * 0.4 : beat * 0.5;
    }
    void Note(int32_t track, double beat, int channel, int key, int velocity) {
        const auto tick = uint64_t(std::llround(beat * kTicks));
        const auto status = uint8_t(channel - 1);
        file.Message(track, tick, {uint8_t(0x90 | status), uint8_t(key), uint8_t(velocity)});
        file.Message(track, tick + kTicks / 4, {uint8_t(0x80 | status), uint8_t(key), 0});
        notes.push_back({Seconds(beat), channel, key, velocity});
    }
};

class MidiImport : public EngineTest {
  protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder.Path(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    // Imports as the program does: the importer first reads the file, then the song is
    // cleared and built.
    bool Import(const std::string& path) {
        std::unique_ptr<Importer> importer = PreparedImporter(path.c_str(), "audio/midi");
        if (importer == nullptr) return false;
        song->New();
        importer->Open(path.c_str());
        return true;
    }

    // The note-ons the song sends over frames played offline, stamped in milliseconds from
    // its first step.
    static std::vector<RecordedMessage> PlayedNotes(int32 frames) {
        RecordingConsumer recorder;
        MyMidi* synth = MakeMidiConnection("Internal Synth");
        EXPECT_EQ(synth->Connect(&recorder), B_OK);
        std::vector<uint32> stamps;
        SetPlayerDrive(PlayerDrive::kOffline);
        {
            OfflineRender render(
                true,
                [](void* seen, const PlayedStep&) {
                    static_cast<std::vector<uint32>*>(seen)->push_back(FILLBUFFER_TIME);
                },
                &stamps);
            std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
            render.Render(nullptr, nullptr, left.data(), right.data(), frames);
        }
        SetPlayerDrive(PlayerDrive::kCaller);
        synth->Disconnect(&recorder);
        std::vector<RecordedMessage> notes;
        for (RecordedMessage m : recorder.Messages()) {
            if (m.kind != 'n') continue;
            m.time -= stamps.at(0);
            notes.push_back(m);
        }
        return notes;
    }

    // Every note of the file played once, in order, within 5 ms, with its velocity (the Midi
    // instrument's volume holds velocities up to 100).
    static void ExpectPlayed(const std::vector<FileNote>& expected,
                             const std::vector<RecordedMessage>& played) {
        ASSERT_EQ(played.size(), expected.size());
        for (size_t i = 0; i < played.size(); i++) {
            EXPECT_NEAR(played[i].time, expected[i].seconds * 1000, 5.0) << "note " << i;
            EXPECT_EQ(played[i].channel, expected[i].channel) << "note " << i;
            EXPECT_EQ(played[i].data1, expected[i].key) << "note " << i;
            EXPECT_EQ(played[i].data2, std::min(expected[i].velocity, 100)) << "note " << i;
        }
    }

    static PatternTracker* Tracker() {
        for (int32 i = 0; i < song->num_machines; i++) {
            if (auto* tracker = dynamic_cast<PatternTracker*>(song->machines[i])) return tracker;
        }
        return nullptr;
    }

    static int32 Saved(Machine* machine, const char* key) {
        BMessage record;
        machine->Save(&record);
        int32 value = -1;
        record.FindInt32(key, &value);
        return value;
    }

    TempDir folder;
};

}  // namespace

TEST_F(MidiImport, AType1FileKeepsItsTimesTempoChangeDrumsProgramsAndVelocities) {
    Song120 file;
    file.faster = true;
    const int32_t piano = file.file.AddTrack("Harbour tune");
    const int32_t drums = file.file.AddTrack();
    file.file.Tempo(0, 500000);
    file.file.Tempo(8 * kTicks, 400000);  // 150 beats a minute
    file.file.Message(piano, 0, {0xC0, 4});
    file.file.Message(drums, 0, {0xC9, 0});
    for (int beat = 0; beat < 8; beat++) file.Note(piano, beat, 1, 60 + beat, 20 + 12 * beat);
    file.Note(drums, 0.5, 10, 36, 100);
    file.Note(drums, 2.75, 10, 38, 90);
    for (double beat : {8.0, 9.25, 10.5}) file.Note(piano, beat, 1, 72, 64);
    std::stable_sort(file.notes.begin(), file.notes.end(),
                     [](const FileNote& a, const FileNote& b) { return a.seconds < b.seconds; });
    ASSERT_TRUE(Import(Write("tune.mid", file.file.Bytes(1))));

    EXPECT_EQ(song->title, "Harbour tune");
    EXPECT_EQ(song->main_tempo, 120);
    Instrument* first = song->instruments[0];
    Instrument* second = song->instruments[1];
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->GetName(), "Drums");
    int32 channel = 0, program = 0;
    BMessage settings;
    first->Save(&settings);
    settings.FindInt32("channel", &channel);
    settings.FindInt32("prognum", &program);
    EXPECT_EQ(channel, 1);
    EXPECT_EQ(program, 4);
    PatternTracker* tracker = Tracker();
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(tracker->num_tracks, 2);
    EXPECT_EQ(tracker->step_per_measure, 4);  // every note lies on a sixteenth
    int32 tempos = 0;
    for (int32 i = 0; i < song->num_machines; i++) {
        if (song->machines[i]->addon_name != "Tempo") continue;
        EXPECT_EQ(Saved(song->machines[i], "pos"), 8);
        EXPECT_EQ(Saved(song->machines[i], "tempo"), 150);
        tempos++;
    }
    EXPECT_EQ(tempos, 1);
    ExpectPlayed(file.notes, PlayedNotes(6 * 44100));
}

TEST_F(MidiImport, AType0FileWithChordsAndThirtySecondsGetsTracksAndAFinerGrid) {
    Song120 file;
    const int32_t track = file.file.AddTrack();
    // A triad on every beat and a run of thirty-second notes: more than one track can hold,
    // and a grid of eight rows to a beat.
    for (int beat = 0; beat < 4; beat++) {
        for (int key : {60, 64, 67}) file.Note(track, beat, 3, key, 80);
    }
    for (int i = 0; i < 8; i++) file.Note(track, 4 + i / 8.0, 3, 72 + i, 70);
    ASSERT_TRUE(Import(Write("chords.mid", file.file.Bytes(0))));
    PatternTracker* tracker = Tracker();
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(tracker->num_tracks, 3);
    EXPECT_EQ(tracker->step_per_measure, 8);
    EXPECT_EQ(song->title, "chords");
    std::vector<RecordedMessage> played = PlayedNotes(3 * 44100);
    // Notes of one time leave in the order of the tracks, which is the order of the file.
    ExpectPlayed(file.notes, played);
}

TEST_F(MidiImport, ADamagedFileIsRefusedWithItsNameAndTheSongIsKept) {
    Song120 good;
    const int32_t track = good.file.AddTrack();
    good.Note(track, 0, 1, 60, 100);
    const std::vector<uint8_t> bytes = good.file.Bytes(1);
    auto with = [&](size_t at, std::vector<uint8_t> replacement) {
        std::vector<uint8_t> changed = bytes;
        std::copy(replacement.begin(), replacement.end(), changed.begin() + long(at));
        return changed;
    };
    // Header: MThd, length, type at 8, tracks at 10, division at 12; the track's chunk length
    // at 18 and its first event at 22.
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* why;
    } damaged[] = {
        {"cut", std::vector<uint8_t>(bytes.begin(), bytes.end() - 5), "runs past the end"},
        {"text", {'h', 'e', 'l', 'l', 'o'}, "does not begin with a MIDI file header"},
        {"type2", with(8, {0, 2}), "type 2"},
        {"notracks", with(10, {0, 0}), "no tracks"},
        {"moretracks", with(10, {0, 3}), "ends after 1 of its 3 tracks"},
        {"division", with(12, {0, 0}), "time division is 0"},
        {"smpte", with(12, {0xE2, 0}), "SMPTE"},
        {"hugechunk", with(18, {0xFF, 0xFF, 0xFF, 0xF0}), "runs past the end"},
        {"longdelta", with(22, {0xFF, 0xFF, 0xFF, 0xFF}), "a damaged delta time"},
        {"nostatus", with(23, {0x3C}), "a data byte without a status"},
        {"system", with(23, {0xF4}), "a system message"},
    };
    ASSERT_EQ(song->AddMachine("Gridloom"), 1);
    song->title = "Kept";
    for (const auto& file : damaged) {
        const std::string path = Write(std::string(file.name) + ".mid", file.bytes);
        ShownErrors().clear();
        EXPECT_FALSE(Import(path)) << file.name;
        ASSERT_EQ(ShownErrors().size(), 1u) << file.name;
        EXPECT_NE(ShownErrors()[0].find(path), std::string::npos) << ShownErrors()[0];
        EXPECT_NE(ShownErrors()[0].find(file.why), std::string::npos) << ShownErrors()[0];
        EXPECT_EQ(song->title, "Kept");
        EXPECT_EQ(song->num_machines, 2);
    }
    // A file of nothing but a tempo is no song either.
    MidiFileWriter silent(kTicks);
    silent.Tempo(0, 500000);
    ShownErrors().clear();
    EXPECT_FALSE(Import(Write("silent.mid", silent.Bytes(1))));
    EXPECT_NE(ShownErrors().at(0).find("no notes"), std::string::npos);
    // Nor one whose note lies hours away: the song is not laid out to reach it.
    MidiFileWriter distant(kTicks);
    distant.Message(distant.AddTrack(), uint64_t(1) << 40, {0x90, 60, 100});
    ShownErrors().clear();
    EXPECT_FALSE(Import(Write("distant.mid", distant.Bytes(1))));
    EXPECT_NE(ShownErrors().at(0).find("a song holds 4096"), std::string::npos);
    EXPECT_EQ(song->title, "Kept");
}

TEST_F(MidiImport, TheRendererPlaysAMidiFileAsItPlaysASong) {
    Song120 file;
    const int32_t track = file.file.AddTrack();
    for (int beat = 0; beat < 4; beat++) file.Note(track, beat, 1, 60 + beat, 90);
    const std::string path = Write("render me.mid", file.file.Bytes(1));
    const std::string out = folder.Path("render me.wav");
    const std::string command =
        std::string(VELLORAN_RENDER) + " '" + path + "' -o '" + out + "' --quiet 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Eight beats of one slot at 120 (four steps of 5512 frames each), then the two-second
    // tail, as 16-bit stereo.
    EXPECT_EQ(fs::file_size(out), 44u + (8 * 4 * 5512 + 2 * 44100) * 4);
}

// Files laid out by hand byte for byte: running status, a tempo change, a track name, system
// exclusive and text events between the notes.
TEST(MidiFileReader, ReadsHandMadeFilesToTheirEvents) {
    const auto read = [](const char* name) {
        const std::vector<char> bytes = ReadHex(std::string(MIDI_FILE_DATA) + "/" + name);
        MidiFile file;
        std::string why;
        EXPECT_TRUE(file.Read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &why))
            << name << ": " << why;
        return file;
    };
    const MidiFile tempo = read("type1_tempo.hex");
    EXPECT_EQ(tempo.format, 1);
    EXPECT_EQ(tempo.ticks_per_quarter, 96);
    const std::vector<std::array<uint64_t, 4>> expected = {
        {0, 0xFF, 0, 500000}, {0, 0xC0, 5, 0},    {0, 0x90, 60, 100},
        {96, 0x90, 60, 0},    {96, 0x90, 64, 80}, {192, 0xFF, 0, 400000}};
    ASSERT_EQ(tempo.events.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const MidiEvent& e = tempo.events[i];
        const uint64_t value = e.status == MidiFile::kTempo ? e.tempo : e.data[1];
        EXPECT_EQ((std::array<uint64_t, 4>{e.tick, e.status, e.data[0], value}), expected[i])
            << "event " << i;
    }
    const MidiFile drums = read("type0_drums.hex");
    EXPECT_EQ(drums.name, "Drums");
    ASSERT_EQ(drums.events.size(), 2u);  // note-offs are not kept
    EXPECT_EQ(drums.events[1].tick, 480u);
    EXPECT_EQ(drums.events[1].status, 0x99);
    EXPECT_EQ(drums.events[1].data[0], 38);
}

// The demo song's MIDI parts written out by the renderer and imported again play the same
// notes at the same times: its repeat, its tempo change and its chords included.
TEST_F(MidiImport, ExportedMidiImportsBackToTheSameNotesAtTheSameTimes) {
    const std::string exported = folder.Path("demo.mid");
    const std::string command = std::string(VELLORAN_RENDER) + " " + DEMO_SONG + " --midi '" +
                                exported + "' --quiet > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(song->Open(DEMO_SONG), 1);
    // Notes of one time leave machine by machine in one song and channel by channel in the
    // other: compared by channel and key, each in time order.
    const auto byKey = [](std::vector<RecordedMessage> notes) {
        std::stable_sort(notes.begin(), notes.end(), [](const auto& a, const auto& b) {
            return std::tie(a.channel, a.data1) < std::tie(b.channel, b.data1);
        });
        return notes;
    };
    const std::vector<RecordedMessage> original = byKey(PlayedNotes(45 * 44100));
    ASSERT_TRUE(Import(exported));
    EXPECT_EQ(song->title, "Harbour Lights");
    const std::vector<RecordedMessage> again = byKey(PlayedNotes(45 * 44100));
    ASSERT_GT(original.size(), 100u);
    ASSERT_EQ(again.size(), original.size());
    int32 largest = 0;
    for (size_t i = 0; i < original.size(); i++) {
        EXPECT_EQ(again[i].channel, original[i].channel) << "note " << i;
        EXPECT_EQ(again[i].data1, original[i].data1) << "note " << i;
        EXPECT_EQ(again[i].data2, original[i].data2) << "note " << i;
        largest = std::max(largest, std::abs(int32(again[i].time - original[i].time)));
    }
    EXPECT_LE(largest, 1) << "milliseconds";
}

// A note half a step before a tempo change, from 60 to 240 beats a minute, keeps its time
// through export and import: the change is written where the step after it starts.
TEST_F(MidiImport, ATempoChangeIsExportedAtTheStepItTakesEffect) {
    MidiFileWriter file(kTicks);
    const int32_t track = file.AddTrack();
    file.Tempo(0, 1000000);
    file.Tempo(4 * kTicks, 250000);
    for (double beat : {3.5, 3.875, 4.125, 5.0}) {
        const auto tick = uint64_t(beat * kTicks);
        file.Message(track, tick, {0x90, 60, 90});
        file.Message(track, tick + 10, {0x80, 60, 0});
    }
    ASSERT_TRUE(Import(Write("turn.mid", file.Bytes(1))));
    const std::string saved = folder.Path("turn.vel");
    ASSERT_EQ(song->Save(saved.c_str()), 1);
    const std::vector<RecordedMessage> original = PlayedNotes(7 * 44100);
    const std::string exported = folder.Path("turned.mid");
    const std::string command = std::string(VELLORAN_RENDER) + " '" + saved + "' --midi '" +
                                exported + "' --quiet > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(Import(exported));
    const std::vector<RecordedMessage> again = PlayedNotes(7 * 44100);
    ASSERT_EQ(original.size(), 4u);
    ASSERT_EQ(again.size(), original.size());
    for (size_t i = 0; i < original.size(); i++)
        EXPECT_NEAR(again[i].time, original[i].time, 1.0) << "note " << i;
}
