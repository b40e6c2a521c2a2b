// A whole song end to end: a pattern tracker playing the Midi instrument on the internal
// synthesizer, with a repeat and a tempo change, saved to a file, opened again and played.
// The synthesizer's sound must start where the song's notes are.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "engine/midi_connections.h"
#include "engine/offline_render.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"
#include "platform/midi/midi_synth.h"
#include "tests/addons/controllers/saved_settings.h"
#include "tests/engine/engine_environment.h"
#include "tests/platform/midi/recording_consumer.h"

namespace {

namespace fs = std::filesystem;

constexpr double kFramesPerMs = 44.1;
// Played in pieces this long, each no earlier than its time, as a device would ask for them.
constexpr int32 kPiece = 128;
constexpr int32 kStep120 = 44100 * 60 / 120 / 4;
constexpr int32 kStep150 = 44100 * 60 / 150 / 4;
// Quieter than any note's start, louder than what FluidSynth leaves between them.
constexpr float kSilence = 0.005f;

// Stamps are taken at the start of the piece in which a step begins (up to 2.9 ms early) and
// cut to whole milliseconds twice (2 ms).
constexpr double kEarlyMs = 6;
// The MIDI output's 10 ms tick and its thread waking on a busy machine (as the Midi tests
// allow), one piece until the synthesizer renders again, its 64-frame grid and the attack.
constexpr double kLateMs = 40;

struct Row {
    int32 row;
    int32 key;
};

// Eight rows a measure, two a step.
constexpr Row kRows[] = {{0, 60}, {8, 64}, {17, 67}, {24, 72}};

struct Heard {
    int32 frame;
    int32 key;
};

// The repeat plays measures 0 and 1 twice; the tempo turns 150 with measure 2.
constexpr int32 kMeasure2 = 16 * kStep120;
constexpr Heard kHeard[] = {{0, 60},
                            {4 * kStep120, 64},
                            {8 * kStep120, 60},
                            {12 * kStep120, 64},
                            {kMeasure2 + kStep150 / 2, 67},
                            {kMeasure2 + 4 * kStep150, 72}};

// A step as the player rendered it, with the time its notes were stamped from.
struct StepSeen {
    PlayedStep step;
    int32 stamp;
};

void SeeStep(void* steps, const PlayedStep& step) {
    static_cast<std::vector<StepSeen>*>(steps)->push_back({step, FILLBUFFER_TIME});
}

class EndToEnd : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = fs::temp_directory_path() / ("velloran-e2e-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        song->Stop();
        fs::remove_all(dir);
    }

    void BuildSong() {
        auto* midi = dynamic_cast<Instrument*>(instrument_roster.Create("Midi"));
        ASSERT_NE(midi, nullptr);
        BMessage settings;
        settings.AddString("port_name", "Internal Synth");
        midi->Open(&settings);
        song->instruments[0] = midi;
        auto* tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
        ASSERT_NE(tracker, nullptr);
        ASSERT_EQ(tracker->AddTrack(), 0);
        tracker->Connect(0);
        tracker->status[0] = 1;
        TrackPage& page = tracker->tracks[0]->pages[0];
        for (const Row& row : kRows) {
            page.setstatus(row.row, 1);
            page.setnote(row.row, row.key);
        }
        Configure(Add("Repeat"), {{"rep1", 0}, {"rep2", 2}, {"reptimes", 2}});
        Configure(Add("Tempo"), {{"pos", 2}, {"tempo", 150}});
    }

    // Plays frames of the song as a device would, each piece no earlier than its time, so the
    // MIDI stamps and the synthesizer's clock meet the output's frames; the worst lateness.
    static bigtime_t PlayInTime(std::vector<float>* out, int32 frames) {
        out->assign(size_t(frames) * 2, 0.0f);
        // Whatever earlier tests left in the synthesizer sounds out first.
        std::vector<float> flush(44100 * 2);
        EXPECT_EQ(SoundOutput::Default().Render(flush.data(), 44100), B_OK);
        song->Play();
        // The first step sounds one step after the second is stamped.
        const bigtime_t start = bigtime_t(FILLBUFFER_TIME - int32(kStep120 / kFramesPerMs)) * 1000;
        bigtime_t worst = 0;
        for (int32 done = 0; done < frames; done += kPiece) {
            const bigtime_t due = start + bigtime_t(done / kFramesPerMs * 1000.0);
            const bigtime_t now = system_time();
            if (now < due) snooze(due - now);
            worst = std::max(worst, system_time() - due);
            int32 piece = std::min(kPiece, frames - done);
            EXPECT_EQ(SoundOutput::Default().Render(out->data() + 2 * done, piece), B_OK);
            PumpPlayer();
        }
        song->Stop();
        return worst;
    }

    // The same frames offline: the song's output and the synthesizers', summed.
    static void RenderOffline(std::vector<float>* out, int32 frames, std::vector<StepSeen>* seen) {
        SetPlayerDrive(PlayerDrive::kOffline);
        std::vector<float> parts[4];
        for (auto& part : parts) part.assign(size_t(frames), 0.0f);
        {
            OfflineRender render(true, SeeStep, seen);
            render.Render(parts[0].data(), parts[1].data(), parts[2].data(), parts[3].data(),
                          frames);
        }
        SetPlayerDrive(PlayerDrive::kCaller);
        out->assign(size_t(frames) * 2, 0.0f);
        for (size_t f = 0; f < size_t(frames); f++) {
            (*out)[2 * f] = parts[0][f] + parts[2][f];
            (*out)[2 * f + 1] = parts[1][f] + parts[3][f];
        }
    }

    void Reopen(const std::string& path) {
        song->New();
        ASSERT_EQ(song->Open(path.c_str()), 1);
    }

    fs::path dir;
};

bool Loud(const std::vector<float>& out, int32 frame) {
    return std::fabs(out[2 * size_t(frame)]) > kSilence ||
           std::fabs(out[2 * size_t(frame) + 1]) > kSilence;
}

// Messages from the song's start, stamped relative to it, up to until milliseconds.
std::vector<RecordedMessage> FromStart(const std::vector<RecordedMessage>& all, size_t first,
                                       int32 start, int32 until) {
    std::vector<RecordedMessage> kept;
    for (size_t i = first; i < all.size(); i++) {
        RecordedMessage message = all[i];
        message.time -= uint32(start);
        if (int32(message.time) < until) kept.push_back(message);
    }
    return kept;
}

// Messages in the order a MIDI output sends one millisecond's: by time, then control changes,
// program changes, note-ons and note-offs, each kind in the order it came. In real time the
// synthesizer's output passes messages on as the steps make them and the synthesizer puts
// them in this order itself; offline they are flushed in it.
std::vector<RecordedMessage> InSendingOrder(const std::vector<RecordedMessage>& messages) {
    auto rank = [](char kind) { return std::string("cpnf").find(kind); };
    // Sorted by position as the last key: std::stable_sort's buffer would trip the allocation
    // counter's new and free pairing under AddressSanitizer.
    std::vector<size_t> order(messages.size());
    for (size_t i = 0; i < order.size(); i++) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const RecordedMessage& x = messages[a];
        const RecordedMessage& y = messages[b];
        if (x.time != y.time) return int32(x.time - y.time) < 0;
        if (rank(x.kind) != rank(y.kind)) return rank(x.kind) < rank(y.kind);
        return a < b;
    });
    std::vector<RecordedMessage> sorted;
    for (size_t i : order) sorted.push_back(messages[i]);
    return sorted;
}

// The first frame of each sound: loud after at least 10 ms of silence.
std::vector<int32> Onsets(const std::vector<float>& out) {
    constexpr int32 kGap = 441;
    std::vector<int32> onsets;
    int32 quiet = kGap;
    for (int32 f = 0; f < int32(out.size() / 2); f++) {
        if (!Loud(out, f)) {
            quiet++;
            continue;
        }
        if (quiet >= kGap) onsets.push_back(f);
        quiet = 0;
    }
    return onsets;
}

// The pitch in Hz of the sound from frame from on, by autocorrelation of the left channel:
// the shortest period that correlates nearly as well as the best, so no octave is skipped.
double PitchAt(const std::vector<float>& out, int32 from) {
    constexpr int32 kWindow = 2048;
    constexpr int32 kShortest = 44100 / 1000;
    constexpr int32 kLongest = 44100 / 100;
    std::vector<double> score(kLongest + 1, 0.0);
    for (int32 lag = kShortest; lag <= kLongest; lag++) {
        double sum = 0;
        double energy = 0;
        for (int32 i = 0; i < kWindow; i++) {
            double a = out[2 * size_t(from + i)];
            double b = out[2 * size_t(from + i + lag)];
            sum += a * b;
            energy += 0.5 * (a * a + b * b);
        }
        score[size_t(lag)] = energy > 0 ? sum / energy : 0;
    }
    double best = *std::max_element(score.begin(), score.end());
    for (int32 lag = kShortest; lag <= kLongest; lag++) {
        bool peak = score[size_t(lag)] >= score[size_t(lag - 1)] &&
                    score[size_t(lag)] >= score[size_t(lag + 1)];
        if (peak && score[size_t(lag)] >= 0.9 * best) return 44100.0 / lag;
    }
    return 0;
}

double KeyHz(int32 key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

}  // namespace

TEST_F(EndToEnd, TheSynthesizerSoundsEachNoteOfTheReopenedSongAtItsTime) {
    if (access(BMidiSynth::SoundFontPath().c_str(), R_OK) != 0) {
        GTEST_SKIP() << "No SoundFont at " << BMidiSynth::SoundFontPath()
                     << "; set VELLORAN_SOUNDFONT to a General MIDI SoundFont.";
    }
    BuildSong();
    const std::string path = (dir / "song.vel").string();
    ASSERT_EQ(song->Save(path.c_str()), 1);
    song->New();
    ASSERT_EQ(song->Open(path.c_str()), 1);
    ASSERT_TRUE(ShownErrors().empty()) << ShownErrors()[0];

    std::vector<float> out;
    const double lateMs = double(PlayInTime(&out, 44100 * 3)) / 1000.0;
    EXPECT_TRUE(ShownErrors().empty());
    // A piece played late is behind the clock, so what it holds sounds that much early.
    const double earlyMs = kEarlyMs + lateMs;
    std::vector<int32> onsets = Onsets(out);
    ASSERT_EQ(onsets.size(), std::size(kHeard)) << "separate sounds";
    for (size_t i = 0; i < onsets.size(); i++) {
        const double offMs = (onsets[i] - kHeard[i].frame) / kFramesPerMs;
        EXPECT_GE(offMs, -earlyMs) << "note " << i << " came early";
        EXPECT_LE(offMs, kLateMs) << "note " << i << " came late";
        // Half a semitone either way: the nearest key is the one played.
        const double semitones =
            12 * std::log2(PitchAt(out, onsets[i] + 882) / KeyHz(kHeard[i].key));
        EXPECT_LT(std::fabs(semitones), 0.5) << "note " << i;
    }
}

TEST_F(EndToEnd, OfflineRenderingPlaysTheStepsAndMessagesOfRealTimePlaybackToTheFrame) {
    if (access(BMidiSynth::SoundFontPath().c_str(), R_OK) != 0) {
        GTEST_SKIP() << "No SoundFont at " << BMidiSynth::SoundFontPath();
    }
    BuildSong();
    const std::string path = (dir / "song.vel").string();
    ASSERT_EQ(song->Save(path.c_str()), 1);
    RecordingConsumer recorder;
    MyMidi* synth = MakeMidiConnection("Internal Synth");
    ASSERT_EQ(synth->Connect(&recorder), B_OK);

    Reopen(path);
    std::vector<StepSeen> realSteps;
    SetPlayerStepHook(SeeStep, &realSteps);
    std::vector<float> out;
    PlayInTime(&out, 44100 * 3);
    SetPlayerStepHook(nullptr, nullptr);
    snooze(200000);  // the last note-offs leave at their ticks
    const size_t realCount = recorder.Count();

    Reopen(path);
    std::vector<StepSeen> offSteps;
    RenderOffline(&out, 44100 * 3, &offSteps);
    synth->Disconnect(&recorder);
    const std::vector<RecordedMessage> all = recorder.Messages();

    // The same steps, at the same song positions, of the same lengths.
    ASSERT_GE(std::min(realSteps.size(), offSteps.size()), size_t(20));
    for (size_t i = 0; i < std::min(realSteps.size(), offSteps.size()); i++) {
        EXPECT_EQ(realSteps[i].step.position, offSteps[i].step.position) << "step " << i;
        EXPECT_EQ(realSteps[i].step.step, offSteps[i].step.step) << "step " << i;
        EXPECT_EQ(realSteps[i].step.length, offSteps[i].step.length) << "step " << i;
    }
    // Offline, a step sounds right after the one before it.
    for (size_t i = 1; i < offSteps.size(); i++) {
        const PlayedStep& before = offSteps[i - 1].step;
        EXPECT_EQ(offSteps[i].step.frame, before.frame + before.length) << "step " << i;
    }

    // The same messages with the same stamps: in both, a step's stamps come from the frame
    // it sounds at, on a frame clock that starts at a whole millisecond.
    const auto real = InSendingOrder(
        FromStart({all.begin(), all.begin() + long(realCount)}, 0, realSteps[0].stamp, 2600));
    const auto offline = FromStart(all, realCount, offSteps[0].stamp, 2500);
    ASSERT_GE(offline.size(), size_t(20));
    ASSERT_GE(real.size(), offline.size());
    for (size_t i = 0; i < offline.size(); i++) {
        EXPECT_EQ(real[i], offline[i]) << "message " << i;
    }

    // Offline each note starts at its stamp: cut to the millisecond, FluidSynth's 64-frame
    // grid and the attack rising out of silence.
    std::vector<int32> onsets = Onsets(out);
    ASSERT_EQ(onsets.size(), std::size(kHeard));
    for (size_t i = 0; i < onsets.size(); i++) {
        const double offMs = (onsets[i] - kHeard[i].frame) / kFramesPerMs;
        EXPECT_GE(offMs, -1) << "note " << i;
        EXPECT_LE(offMs, 10) << "note " << i;
    }
    // And again the same, to the sample.
    std::vector<float> again;
    Reopen(path);
    RenderOffline(&again, 44100 * 3, &offSteps);
    EXPECT_TRUE(again == out);
}
