// The Synth played by a real Gridloom machine: the tracker's note replaces the sounding one in
// the same NoteInfo, and the machine's buffers hear the first fade into the second.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "addons/Gridloom/pattern_tracker.h"
#include "engine/player.h"
#include "platform/media/media_raw_audio_format.h"
#include "tests/addons/signal_measures.h"
#include "tests/addons/synth/synth_fixture.h"
#include "tests/engine/allocation_counter.h"

TEST_F(SynthTest, ATrackersNextRowReplacesItsNoteWithoutAClick) {
    SynthPatch patch;
    PureTone(&patch);
    SetEnvelope(&patch.amp, {{0, 0}, {441, 1}});
    synth->SetPatch(patch);
    auto* tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
    ASSERT_NE(tracker, nullptr);
    ASSERT_EQ(tracker->AddTrack(), 0);
    TrackPage& page = tracker->tracks[0]->pages[0];
    page.setstatus(0, 1);
    page.setnote(0, 57);
    page.setstatus(1, 1);
    page.setnote(1, 69);
    tracker->status[0] = 1;

    // Two rows of 5512 frames in one step.
    STEPS_PER_MEASURE = 4;
    song->position = 0;
    song->step = 0;
    tracker->buffer_length = 11024;
    std::fill(tracker->buffer_left, tracker->buffer_left + 11024, 0.0f);
    std::fill(tracker->buffer_right, tracker->buffer_right + 11024, 0.0f);
    tracker->Process();

    float largest = 0, loudest = 0;
    for (int32 i = 1000; i < 11024; i++) {
        const float* left = tracker->buffer_left;
        largest = std::max(largest, std::abs(left[i] - left[i - 1]));
        loudest = std::max(loudest, std::abs(left[i]));
    }
    // A sine's largest step is its level times 2 pi f / rate: both notes' added at most.
    const float slopes = loudest * 2.0f * std::numbers::pi_v<float> * (220.0f + 440.0f) / 44100.0f;
    EXPECT_GT(loudest, 0.3f);
    EXPECT_LT(largest, slopes);
    // The left and right halves of the field are equal at the centre.
    EXPECT_FLOAT_EQ(tracker->buffer_left[3000], tracker->buffer_right[3000]);
}

// A note clicked in the grids or played on a MIDI keyboard reaches the sound routine at once,
// while the song is stopped, at its pitch, and without allocating.
TEST_F(SynthTest, APreviewedNoteSoundsFromTheSoundRoutine) {
    SynthPatch patch;
    PureTone(&patch);
    synth->SetPatch(patch);
    song->Stop();
    synth->PreviewPlayNote(69);
    std::vector<float> out(2 * 8192);
    const media_raw_audio_format format{44100, 2, B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, 0};
    {
        AllocationCounter allocations;
        for (size_t at = 0; at < out.size(); at += 2 * 1024)
            BufferProc(nullptr, out.data() + at, 1024 * 8, format);
        EXPECT_EQ(allocations.Count(), 0u);
    }
    std::vector<float> left(out.size() / 2);
    for (size_t f = 0; f < left.size(); f++) left[f] = out[2 * f];
    EXPECT_NEAR(MeasuredFrequency(left, 500), 440.0, 0.5);
}
