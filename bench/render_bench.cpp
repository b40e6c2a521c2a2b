// The demo song rendered offline as velloran-render does (a pass that measures it, then the
// pass with sound), beside FluidSynth alone playing the same messages at the same frames:
// what the engine adds to the synthesizer's own work. Both report seconds of sound per
// second of work (x_realtime).
#include <benchmark/benchmark.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "bench/build_tree_song.h"
#include "engine/midi_connections.h"
#include "engine/offline_render.h"
#include "engine/render_plan.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/midi/midi_synth.h"

namespace {

constexpr int32 kChunk = 8192;

struct Event {
    int64 frame;
    uchar status;
    uchar data1;
    uchar data2;
};

// Writes down what reaches the synthesizer, on the frame its stamp falls on.
class EventLog : public BMidi {
  public:
    bigtime_t start = 0;
    std::vector<Event> events;

    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) override {
        Add(0x80, channel, note, velocity, time);
    }
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override {
        Add(0x90, channel, note, velocity, time);
    }
    void ControlChange(uchar channel, uchar number, uchar value, uint32 time) override {
        Add(0xB0, channel, number, value, time);
    }
    void ProgramChange(uchar channel, uchar program, uint32 time) override {
        Add(0xC0, channel, program, 0, time);
    }

  private:
    void Add(uchar kind, uchar channel, uchar data1, uchar data2, uint32 time) {
        const bigtime_t ahead = bigtime_t(time) * 1000 - start;
        events.push_back({std::max<int64>(0, ahead * 44100 / 1000000), uchar(kind | (channel - 1)),
                          data1, data2});
    }
};

// One render as the program makes it; the frames rendered.
int64 RenderDemo(EventLog* log) {
    if (song->Open(DEMO_SONG) != 1) std::abort();
    const RenderPlan plan(RenderPlan::Until::kContentEnd, 0);
    if (song->Open(DEMO_SONG) != 1) std::abort();
    static std::vector<float> parts[4];
    for (auto& part : parts) part.resize(kChunk);
    if (log != nullptr) log->start = PlayerClock();
    OfflineRender render(true);
    while (render.Frames() < plan.Frames()) {
        const auto frames = int32(std::min<int64>(kChunk, plan.Frames() - render.Frames()));
        render.Render(parts[0].data(), parts[1].data(), parts[2].data(), parts[3].data(), frames);
        for (int c = 0; c < 2; c++) {
            for (int32 f = 0; f < frames; f++) parts[c][size_t(f)] += parts[c + 2][size_t(f)];
        }
        benchmark::DoNotOptimize(parts[0].data());
    }
    return render.Frames();
}

void SetSeconds(benchmark::State& state, int64 frames) {
    state.counters["x_realtime"] = benchmark::Counter(
        double(state.iterations()) * double(frames) / 44100.0, benchmark::Counter::kIsRate);
}

void DemoSong(benchmark::State& state) {
    BuildTreeSong(PlayerDrive::kOffline);
    int64 frames = 0;
    for (auto _ : state) frames = RenderDemo(nullptr);
    SetSeconds(state, frames);
}
BENCHMARK(DemoSong)->Unit(benchmark::kMillisecond)->MinTime(3);

// The same settings and SoundFont as the internal synthesizer.
fluid_synth_t* NewSynth(fluid_settings_t* settings) {
    fluid_settings_setnum(settings, "synth.sample-rate", 44100);
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (fluid_synth_sfload(synth, BMidiSynth::SoundFontPath().c_str(), 1) == FLUID_FAILED) {
        std::abort();
    }
    return synth;
}

void Apply(fluid_synth_t* synth, const Event& event) {
    const int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, event.data1);
            break;
        case 0x90:
            fluid_synth_noteon(synth, channel, event.data1, event.data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, event.data1, event.data2);
            break;
        default:
            fluid_synth_program_change(synth, channel, event.data1);
            break;
    }
}

void Play(fluid_synth_t* synth, const std::vector<Event>& events, int64 frames) {
    static std::vector<float> left(kChunk), right(kChunk);
    size_t next = 0;
    for (int64 done = 0; done < frames;) {
        while (next < events.size() && events[next].frame <= done) Apply(synth, events[next++]);
        const int64 until = next < events.size() ? std::min(events[next].frame, frames) : frames;
        const auto piece = int32(std::min<int64>(kChunk, until - done));
        fluid_synth_write_float(synth, piece, left.data(), 0, 1, right.data(), 0, 1);
        done += piece;
    }
}

// The messages the demo song sends the synthesizer, at their frames; the song's length.
std::vector<Event> DemoEvents(int64* frames) {
    EventLog log;
    MyMidi* output = MakeMidiConnection("Internal Synth");
    output->Connect(&log);
    *frames = RenderDemo(&log);
    output->Disconnect(&log);
    std::stable_sort(log.events.begin(), log.events.end(),
                     [](const Event& a, const Event& b) { return a.frame < b.frame; });
    return log.events;
}

// FluidSynth alone, made fresh outside the time measured; the microseconds it took.
bigtime_t TimeAlone(fluid_settings_t* settings, const std::vector<Event>& events, int64 frames) {
    fluid_synth_t* synth = NewSynth(settings);
    const bigtime_t start = system_time();
    Play(synth, events, frames);
    const bigtime_t took = system_time() - start;
    delete_fluid_synth(synth);
    return took;
}

void FluidSynthAlone(benchmark::State& state) {
    BuildTreeSong(PlayerDrive::kOffline);
    int64 frames = 0;
    const std::vector<Event> events = DemoEvents(&frames);
    fluid_settings_t* settings = new_fluid_settings();
    for (auto _ : state) state.SetIterationTime(double(TimeAlone(settings, events, frames)) / 1e6);
    delete_fluid_settings(settings);
    state.counters["messages"] = double(events.size());
    SetSeconds(state, frames);
}
BENCHMARK(FluidSynthAlone)->Unit(benchmark::kMillisecond)->MinTime(3)->UseManualTime();

// Both in turn, so that a busy machine slows them alike: what the engine adds, in percent.
void EngineOverFluidSynth(benchmark::State& state) {
    BuildTreeSong(PlayerDrive::kOffline);
    int64 frames = 0;
    const std::vector<Event> events = DemoEvents(&frames);
    fluid_settings_t* settings = new_fluid_settings();
    bigtime_t engine = 0;
    bigtime_t alone = 0;
    for (auto _ : state) {
        const bigtime_t start = system_time();
        RenderDemo(nullptr);
        engine += system_time() - start;
        alone += TimeAlone(settings, events, frames);
    }
    delete_fluid_settings(settings);
    state.counters["added_%"] = 100.0 * (double(engine) / double(alone) - 1.0);
}
BENCHMARK(EngineOverFluidSynth)->Unit(benchmark::kMillisecond)->MinTime(6);

}  // namespace
