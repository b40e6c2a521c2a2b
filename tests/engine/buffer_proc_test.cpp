#include "engine/player.h"

#include <mutex>
#include <vector>

#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/media/media_raw_audio_format.h"
#include "tests/engine/addons/test_signal.h"
#include "tests/engine/allocation_counter.h"
#include "tests/engine/engine_environment.h"
#include "tests/engine/lock_counter.h"

namespace {

class SoundRoutine : public EngineTest {
  protected:
    // One call of the sound routine for a platform buffer of n frames; what it played.
    std::vector<float> Call(int32 frames) {
        std::vector<float> out(size_t(frames) * 2, -9.0f);
        media_raw_audio_format format{44100, 2, B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, 0};
        BufferProc(nullptr, out.data(), out.size() * sizeof(float), format);
        return out;
    }

    // Plays the master's output of a source at position 0: half h holds step h.
    void PlayOneSource() {
        Add("TestSource")->Connect(0);
        song->Play();
    }
};

}  // namespace

TEST_F(SoundRoutine, HalvesOfATempo120StepIn2048FrameBuffers) {
    PlayOneSource();
    EXPECT_EQ(bigbufnr, 1);  // half 0 plays first, half 1 is the one to fill next
    EXPECT_EQ(bigbuflen[0], 5512);
    Call(2048);
    EXPECT_EQ(bigbufpos, 2048);
    std::vector<float> second = Call(2048);
    EXPECT_FLOAT_EQ(second[0], TestSignal(0, 0, 2048));
    EXPECT_FALSE(fillnowflag);
    std::vector<float> third = Call(2048);
    // The last 1416 frames of half 0, then the first 632 of half 1.
    EXPECT_FLOAT_EQ(third[2 * 1415], TestSignal(0, 0, 5511));
    EXPECT_FLOAT_EQ(third[2 * 1415 + 1], -TestSignal(0, 0, 5511));
    EXPECT_FLOAT_EQ(third[2 * 1416], TestSignal(0, 1, 0));
    EXPECT_FLOAT_EQ(third[2 * 2047], TestSignal(0, 1, 631));
    EXPECT_EQ(bigbufpos, 632);
    EXPECT_EQ(bigbufnr, 0);
    EXPECT_TRUE(fillnowflag);
    EXPECT_EQ(bigbuflen[0], 5512);
}

TEST_F(SoundRoutine, ABufferEndingAtTheHalfsEndSwitchesAtOnce) {
    PlayOneSource();
    Call(2756);
    EXPECT_FALSE(fillnowflag);
    Call(2756);
    EXPECT_EQ(bigbufpos, 0);
    EXPECT_EQ(bigbufnr, 0);
    EXPECT_TRUE(fillnowflag);
    EXPECT_TRUE(PumpPlayer());  // renders step 2 into half 0
    EXPECT_FALSE(fillnowflag);
    std::vector<float> next = Call(10);
    EXPECT_FLOAT_EQ(next[0], TestSignal(0, 1, 0));
}

TEST_F(SoundRoutine, ABufferLongerThanAStepPlaysEveryHalfInTurn) {
    PlayOneSource();
    std::vector<float> long_buffer = Call(8000);
    EXPECT_FLOAT_EQ(long_buffer[2 * 5511], TestSignal(0, 0, 5511));
    EXPECT_FLOAT_EQ(long_buffer[2 * 5512], TestSignal(0, 1, 0));
    EXPECT_EQ(bigbufpos, 8000 - 5512);
}

TEST_F(SoundRoutine, StopThenStartPlaysFromHalfZeroAgain) {
    PlayOneSource();
    Call(3000);
    song->Stop();
    EXPECT_EQ(playing, 0);
    std::vector<float> preview = Call(64);
    EXPECT_EQ(preview[0], 0.0f);  // no preview note: silence
    song->Play();
    EXPECT_EQ(bigbufpos, 0);
    EXPECT_EQ(bigbufnr, 1);
    EXPECT_FALSE(fillnowflag);
    std::vector<float> first = Call(16);
    EXPECT_FLOAT_EQ(first[0], TestSignal(0, 0, 0));
}

TEST_F(SoundRoutine, NeverAllocatesOrLocks) {
    PlayOneSource();
    std::vector<float> out(4096 * 2);
    media_raw_audio_format format{44100, 2, B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, 0};
    {
        LockCounter check;
        std::mutex m;
        m.lock();
        m.unlock();
        ASSERT_EQ(check.Count(), 1u);
    }
    auto play = [&] {
        AllocationCounter allocations;
        LockCounter locks;
        for (int32 frames : {128, 2048, 4096, 333, 4096, 4096}) {
            BufferProc(nullptr, out.data(), size_t(frames) * 8, format);
        }
        EXPECT_EQ(allocations.Count(), 0u);
        EXPECT_EQ(locks.Count(), 0u);
    };
    play();
    // And the preview, through an instrument.
    song->Stop();
    auto* instrument = dynamic_cast<Instrument*>(instrument_roster.Create("TestInstrument"));
    song->instruments[0] = instrument;
    InstrumentCalls().reserve(64);
    instrument->PreviewPlayNote(60);
    play();
    EXPECT_FALSE(InstrumentCalls().empty());
}
