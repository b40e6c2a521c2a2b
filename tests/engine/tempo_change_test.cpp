// Through a tempo change every step plays exactly the frames it rendered, from the frame its
// MIDI stamps name, and the new tempo starts with the measure the controller names.
#include <vector>

#include "engine/offline_render.h"
#include "engine/player.h"
#include "engine/song.h"
#include "tests/engine/addons/test_signal.h"
#include "tests/engine/engine_environment.h"

namespace {

constexpr int32 kChangeAt = 2;
constexpr int32 kFrames = 2 * 44100;

struct Change {
    int32 from;
    int32 to;
    // Step lengths and steps per measure before the change; the step length after it.
    int32 before;
    int32 stepsBefore;
    int32 after;
};

struct Seen {
    PlayedStep step;
    int32 stamp;
};

void See(void* seen, const PlayedStep& step) {
    static_cast<std::vector<Seen>*>(seen)->push_back({step, FILLBUFFER_TIME});
}

class TempoChange : public EngineTest {
  protected:
    void TearDown() override { SetPlayerDrive(PlayerDrive::kCaller); }

    // The left channel of an offline render of a source, with a controller that changes the
    // tempo at measure kChangeAt.
    std::vector<float> Render(const Change& change) {
        BMessage config;
        config.AddInt32("tempo_at", kChangeAt);
        config.AddInt32("tempo", change.to);
        Add("TestController")->Open(&config);
        Add("TestSource")->Connect(0);
        song->main_tempo = change.from;
        SetPlayerDrive(PlayerDrive::kOffline);
        std::vector<float> left(kFrames);
        std::vector<float> right(kFrames);
        OfflineRender(false, See, &seen)
            .Render(left.data(), right.data(), nullptr, nullptr, kFrames);
        return left;
    }

    void Check(const Change& change) {
        const std::vector<float> left = Render(change);
        ASSERT_EQ(seen.size(), SourceSteps().size());
        int64 frame = 0;
        for (size_t i = 0; i < seen.size(); i++) {
            const PlayedStep& played = seen[i].step;
            const SourceStep& rendered = SourceSteps()[i];
            const bool changed = rendered.position >= kChangeAt;
            EXPECT_EQ(rendered.frames, changed ? change.after : change.before) << i;
            EXPECT_EQ(played.length, rendered.frames) << i;
            // The render is the sum of its steps, each starting where the last one ended.
            EXPECT_EQ(played.frame, frame) << i;
            EXPECT_EQ(seen[i].stamp - seen[0].stamp, int32(frame * 1000 / 44100)) << i;
            if (i > 0) ExpectFollows(SourceSteps()[i - 1], rendered);
            ExpectPlayed(left, rendered, frame);
            frame += played.length;
        }
        EXPECT_GE(frame, kFrames);
        const int64 changeFrame = int64(kChangeAt) * change.stepsBefore * change.before;
        EXPECT_EQ(FirstStepOf(kChangeAt).frame, changeFrame);
    }

    // A measure's steps count from 0 at whatever tempo the one before had.
    static void ExpectFollows(const SourceStep& before, const SourceStep& step) {
        if (step.position != before.position) {
            EXPECT_EQ(step.step, 0) << "measure " << step.position;
        } else {
            EXPECT_EQ(step.step, before.step + 1) << "measure " << step.position;
        }
    }

    // No frame of the step is cut or replaced by silence.
    static void ExpectPlayed(const std::vector<float>& left, const SourceStep& step, int64 at) {
        int32 wrong = 0;
        for (int32 f = 0; f < step.frames && at + f < kFrames; f++) {
            wrong += left[size_t(at + f)] != TestSignal(step.position, step.step, f);
        }
        EXPECT_EQ(wrong, 0) << "measure " << step.position << " step " << step.step;
    }

    PlayedStep FirstStepOf(int32 measure) const {
        for (const Seen& s : seen) {
            if (s.step.position == measure) return s.step;
        }
        ADD_FAILURE() << "measure " << measure << " was not rendered";
        return {};
    }

    std::vector<Seen> seen;
};

}  // namespace

TEST_F(TempoChange, ARiseCutsNoStep) {
    Check({120, 160, 5512, 4, 4134});
}

TEST_F(TempoChange, AFallLeavesNoGap) {
    Check({160, 120, 4134, 4, 5512});
}

TEST_F(TempoChange, AFallToFourStepsAMeasureStartsTheMeasureAtItsFirstStep) {
    Check({200, 120, 6615, 2, 5512});
}
