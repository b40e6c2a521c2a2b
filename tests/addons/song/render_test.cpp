// velloran-render run as a user runs it, on the demo song and on broken input; the files it
// writes are read back through libsndfile and checked against the song's own data.
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "engine/song.h"
#include "engine/song_export.h"
#include "platform/midi/midi_synth.h"
#include "tests/addons/controllers/saved_settings.h"
#include "tests/engine/addons/test_signal.h"
#include "tests/engine/engine_environment.h"

namespace {

namespace fs = std::filesystem;

struct Finished {
    int status;
    std::string output;
};

Finished Execute(const std::string& program, const std::string& arguments) {
    const std::string command = program + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char chunk[256];
    while (pipe != nullptr && fgets(chunk, sizeof(chunk), pipe) != nullptr) output += chunk;
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

Finished Render(const std::string& arguments) {
    return Execute(VELLORAN_RENDER, arguments);
}

struct Sound {
    int64 frames = 0;
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved
};

Sound Read(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Sound sound;
    if (file == nullptr) return sound;
    sound.frames = info.frames;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(size_t(info.frames * info.channels));
    sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Frames of one step and of one measure at a tempo, as the player lays them out.
int32 StepFrames(int32 tempo) {
    return int32(44100.0 / (tempo / 60.0)) / 4;
}

// Mean energy of both channels over [from, from + frames).
double Energy(const Sound& sound, int64 from, int64 frames) {
    double sum = 0;
    for (int64 f = std::max<int64>(from, 0); f < from + frames && f < sound.frames; f++) {
        for (int c = 0; c < 2; c++) sum += std::pow(sound.samples[size_t(2 * f + c)], 2.0);
    }
    return sum / double(frames);
}

Machine* Named(const char* name) {
    for (int32 i = 0; i < song->num_machines; i++) {
        if (song->machines[i]->name == name) return song->machines[i];
    }
    return nullptr;
}

class RenderTool : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (access(BMidiSynth::SoundFontPath().c_str(), R_OK) != 0) {
            GTEST_SKIP() << "No SoundFont at " << BMidiSynth::SoundFontPath();
        }
        dir = fs::temp_directory_path() / ("velloran-render-" + std::to_string(getpid()));
        fs::create_directories(dir);
        ASSERT_EQ(song->Open(DEMO_SONG), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

}  // namespace

// The song plays its measures once, the repeated ones again, and turns to the Tempo
// controller's tempo with its measure; two seconds of tail follow.
TEST_F(RenderTool, TheDemoSongRendersToItsLengthWithSoundAndNoOverload) {
    Machine* repeat = Named("Repeat");
    Machine* tempo = Named("Tempo");
    ASSERT_NE(repeat, nullptr);
    ASSERT_NE(tempo, nullptr);
    auto* drums = dynamic_cast<PatternTracker*>(Named("Drums"));
    ASSERT_NE(drums, nullptr);
    int32 lastSlot = PatternTracker::kSlots - 1;
    while (lastSlot > 0 && drums->status[lastSlot] == 0) lastSlot--;
    const int32 end = (lastSlot + 1) * drums->num_measures;
    const int32 repeated =
        (Saved(repeat, "rep2") - Saved(repeat, "rep1")) * (Saved(repeat, "reptimes") - 1);
    const int32 change = Saved(tempo, "pos") + repeated;
    const int32 slow = StepFrames(song->main_tempo);
    const int32 fast = StepFrames(Saved(tempo, "tempo"));
    const int64 expected = int64(change) * 4 * slow + int64(end + repeated - change) * 4 * fast;

    const fs::path out = dir / "demo.wav";
    const Finished run = Render(std::string(DEMO_SONG) + " -o " + out.string() + " --float");
    ASSERT_EQ(run.status, 0) << run.output;
    const Sound sound = Read(out);
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.frames, expected + 2 * 44100);
    double energy = 0;
    float peak = 0;
    for (float sample : sound.samples) {
        ASSERT_TRUE(std::isfinite(sample));
        peak = std::max(peak, std::fabs(sample));
        energy += double(sample) * sample;
    }
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(std::sqrt(energy / double(sound.samples.size())), 0.01) << "too quiet";
    EXPECT_LT(Energy(sound, sound.frames - 44100, 44100), 1e-8) << "the tail did not ring out";
}

// Solo the bass: its notes start where its rows are, at the song's tempo, and nowhere else.
TEST_F(RenderTool, NotesStartWhereTheRowsOfTheSongAre) {
    auto* bass = dynamic_cast<PatternTracker*>(Named("Bass"));
    ASSERT_NE(bass, nullptr);
    song->solo = 1;
    song->solo_machine = bass->ID;
    const fs::path soloed = dir / "bass.vel";
    ASSERT_EQ(song->Save(soloed.c_str()), 1);
    const fs::path out = dir / "bass.wav";
    // The first two slots, before any repeat or tempo change.
    const int32 measures = 2 * bass->num_measures;
    const Finished run = Render(soloed.string() + " -o " + out.string() + " --float --measures " +
                                std::to_string(measures));
    ASSERT_EQ(run.status, 0) << run.output;
    const Sound sound = Read(out);

    const int32 step = StepFrames(song->main_tempo);
    constexpr int32 kWindow = 441;  // 10 ms
    int32 checked = 0;
    for (int32 slot = 0; slot < 2; slot++) {
        const int32 page = bass->SlotValue(slot);
        if (page == PatternTracker::kErase) continue;
        const TrackPage& rows = bass->tracks[0]->pages[page - 1];
        for (int32 row = 0; row < bass->num_measures * 4; row++) {
            const int64 at = int64(slot * bass->num_measures * 4 + row) * step;
            const double before = Energy(sound, at - kWindow, kWindow);
            const double after = Energy(sound, at + kWindow, kWindow);
            if (rows.StatusAt(row) == 1) {
                EXPECT_GT(after, 2 * before + 1e-7) << "no note at slot " << slot << " row " << row;
                checked++;
            } else {
                EXPECT_LT(after, 1.5 * before + 1e-7)
                    << "a note at slot " << slot << " row " << row;
            }
        }
    }
    EXPECT_GE(checked, 4);
}

bool FeedsTheMaster(const Machine& machine) {
    for (int32 i = 0; i < machine.num_out_machines; i++) {
        if (machine.out_machine[i] == 0) return true;
    }
    return false;
}

// The Synth lead through the Plugbay echo and the sampled bells sound inside the graph: their
// machines' stems are heard, the echo changes what reaches it, and the mix is the sum of what
// reaches the master and the General MIDI synthesizer's part.
TEST_F(RenderTool, TwoRendersAreByteIdenticalAndStemsAddUpToTheMix) {
    const fs::path first = dir / "first.wav";
    const fs::path second = dir / "second.wav";
    const std::string demo = std::string(DEMO_SONG) + " --seconds 12";
    ASSERT_EQ(Render(demo + " --float -o " + first.string()).status, 0);
    ASSERT_EQ(
        Render(demo + " --float -o " + second.string() + " --stems " + (dir / "stems").string())
            .status,
        0);
    EXPECT_EQ(Bytes(first), Bytes(second));
    const Sound mix = Read(first);
    EXPECT_EQ(mix.frames, 12 * 44100);

    std::vector<float> sum = Read(dir / "stems" / "synth.wav").samples;
    ASSERT_EQ(sum.size(), mix.samples.size());
    std::vector<std::string> stems;
    for (const auto& entry : fs::directory_iterator(dir / "stems")) {
        const std::string name = entry.path().filename();
        if (name == "synth.wav") continue;
        stems.push_back(name);
        const Machine& machine = *song->machines[std::stoi(name.substr(0, 2))];
        const Sound stem = Read(entry.path());
        EXPECT_GT(Energy(stem, 8 * 44100, 4 * 44100), 1e-5) << name << " is silent";
        if (!FeedsTheMaster(machine)) continue;
        for (size_t i = 0; i < sum.size(); i++) sum[i] += stem.samples[i];
    }
    std::sort(stems.begin(), stems.end());
    ASSERT_EQ(stems, (std::vector<std::string>{"04-Lead.wav", "05-Echo.wav", "09-Bells.wav"}));
    for (size_t i = 0; i < sum.size(); i++) ASSERT_NEAR(mix.samples[i], sum[i], 1e-6f) << i;

    // The echo's repeats: its output is not its input, and still sounds where the lead rests.
    const Sound lead = Read(dir / "stems" / "04-Lead.wav");
    const Sound echo = Read(dir / "stems" / "05-Echo.wav");
    double difference = 0;
    for (size_t i = 0; i < lead.samples.size(); i++)
        difference += std::pow(echo.samples[i] - lead.samples[i], 2.0);
    EXPECT_GT(difference / double(lead.samples.size()), 1e-5);

    // The master volume scales the whole mix.
    const fs::path half = dir / "half.wav";
    ASSERT_EQ(Render(demo + " --float --volume 0.5 -o " + half.string()).status, 0);
    const Sound quiet = Read(half);
    ASSERT_EQ(quiet.samples.size(), mix.samples.size());
    for (size_t i = 0; i < mix.samples.size(); i += 997) {
        EXPECT_NEAR(quiet.samples[i], 0.5f * mix.samples[i], 1e-6f);
    }
}

TEST_F(RenderTool, BadInputFailsClearlyAndKeepsWhatWasThere) {
    const fs::path out = dir / "kept.wav";
    { std::ofstream(out) << "an earlier render"; }
    const std::string to = " -o " + out.string();

    Finished run = Render((dir / "missing.vel").string() + to);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Can't open the song"), std::string::npos) << run.output;

    { std::ofstream(dir / "damaged.vel") << "not a song at all"; }
    run = Render((dir / "damaged.vel").string() + to);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("damaged"), std::string::npos) << run.output;

    // A silent synthesizer would make a silent file.
    run = Execute(
        std::string("VELLORAN_SOUNDFONT=") + (dir / "none.sf2").string() + " " + VELLORAN_RENDER,
        std::string(DEMO_SONG) + to);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("synthesizer is silent"), std::string::npos) << run.output;

    run = Render(std::string(DEMO_SONG) + " -o " + (dir / "no" / "such" / "x.wav").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Can't write"), std::string::npos) << run.output;
    EXPECT_EQ(Bytes(out), "an earlier render");

    for (const char* wrong :
         {"--volume 9", "--measures 1.5", "--seconds -2", "--seconds 4000", "--colour red", ""}) {
        run = Render(std::string(DEMO_SONG) + " " + wrong + (std::string(wrong).empty() ? "" : to));
        EXPECT_EQ(run.status, 2) << wrong;
        EXPECT_NE(run.output.find("Usage:"), std::string::npos) << wrong;
    }
    EXPECT_EQ(Bytes(out), "an earlier render");
}

// A copy of the program with only some add-ons beside it can't make the song's machines.
TEST_F(RenderTool, AMissingAddOnFails) {
    const fs::path program = dir / "program";
    fs::create_directories(program / "add-ons" / "machines");
    fs::create_directories(program / "add-ons" / "instruments");
    fs::copy_file(VELLORAN_RENDER, program / "velloran-render");
    const fs::path built = fs::path(VELLORAN_RENDER).parent_path() / "add-ons";
    fs::create_symlink(built / "machines" / "Gridloom", program / "add-ons/machines/Gridloom");
    fs::create_symlink(built / "instruments" / "Midi", program / "add-ons/instruments/Midi");
    const Finished run = Execute((program / "velloran-render").string(),
                                 std::string(DEMO_SONG) + " -o " + (dir / "x.wav").string());
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("Can't create 3 machines of the missing add-ons Plugbay, Repeat and "
                              "Tempo!"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(dir / "x.wav"));
}

// A machine that makes sound gets a stem holding each step's output where the step sounds;
// the silent synthesizer gets none.
TEST_F(EngineTest, StemsHoldWhatEachMachineMadeWhereItsStepsSound) {
    const fs::path dir = fs::temp_directory_path() / ("velloran-stems-" + std::to_string(getpid()));
    fs::create_directories(dir);
    Machine* source = Add("TestSource");
    ASSERT_EQ(source->Connect(0), 1);
    SetPlayerDrive(PlayerDrive::kOffline);
    const RenderPlan plan(RenderPlan::Until::kMeasures, 2);
    ExportOptions options;
    options.output = (dir / "mix.wav").string();
    options.stems = dir.string();
    options.floatSamples = true;
    SongExport job;
    std::string error;
    const bool done = job.Run(plan, options, &error);
    SetPlayerDrive(PlayerDrive::kCaller);
    ASSERT_TRUE(done) << error;

    const fs::path stem = dir / ("01-" + source->name + ".wav");
    EXPECT_EQ(job.Stems(), std::vector<std::string>{stem.string()});
    const Sound made = Read(stem);
    const int32 step = StepFrames(120);
    ASSERT_EQ(made.frames, 2 * 4 * step + 2 * 44100);
    for (int64 k = 0; (k + 1) * step <= made.frames; k++) {
        for (int32 f = 0; f < step; f += 997) {
            const size_t at = size_t(2 * (k * step + f));
            ASSERT_EQ(made.samples[at], TestSignal(int32(k / 4), int32(k % 4), f)) << k;
            ASSERT_EQ(made.samples[at + 1], -made.samples[at]) << k;
        }
    }
    // The mix is the stem, with the silent synthesizer's trace of its effects.
    const Sound mix = Read(dir / "mix.wav");
    ASSERT_EQ(mix.samples.size(), made.samples.size());
    for (size_t i = 0; i < mix.samples.size(); i += 101) {
        ASSERT_NEAR(mix.samples[i], made.samples[i], 1e-6) << i;
    }
    fs::remove_all(dir);
}
