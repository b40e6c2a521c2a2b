// Lateness is counted, never silent: halves played before the player refilled them, the
// sound output's underflows, and MIDI messages dropped for full queues.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine/my_midi.h"
#include "engine/player.h"
#include "engine/song.h"
#include "platform/kernel/locker.h"
#include "platform/kernel/os.h"
#include "tests/engine/engine_environment.h"

namespace {

// In a process of its own, playing in real time to the null output: the song lock held across
// two steps keeps the player thread from refilling its halves, and the player says so once a
// second on standard output with VELLORAN_VERBOSE (sent to standard error here, to be read).
[[noreturn]] void HoldTheSongLockAcrossSteps() {
    dup2(2, 1);
    SetPlayerDrive(PlayerDrive::kRealTime);
    const int64 before = GetPlayerLateness().lateHalves;
    song->tempo = 120;
    song->Play();
    snooze(300000);
    lock->Lock();
    snooze(600000);  // about five steps at 120
    lock->Unlock();
    snooze(1300000);
    song->Stop();
    const int64 late = GetPlayerLateness().lateHalves - before;
    std::fprintf(stderr, "late halves: %lld\n", static_cast<long long>(late));
    std::exit(late >= 2 ? 0 : 1);
}

}  // namespace

TEST(PlayerLatenessDeathTest, HalvesPlayedBeforeTheyWereRefilledAreCountedAndReported) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("VELLORAN_VERBOSE", "1", 1);
    EXPECT_EXIT(HoldTheSongLockAcrossSteps(), testing::ExitedWithCode(0),
                "late: [1-9][0-9]* halves played before they were refilled");
    unsetenv("VELLORAN_VERBOSE");
}

TEST_F(EngineTest, MidiMessagesBeyondTheQueueAreDroppedAndCounted) {
    MyMidi output;
    output.SetManual(true);
    const int64 before = BMidi::Dropped();
    for (size_t i = 0; i < MyMidi::kCapacity + 10; i++) output.NoteOn(1, 60, 100, 1);
    EXPECT_EQ(BMidi::Dropped() - before, 10);
    output.Clear();
    output.NoteOn(1, 60, 100, 1);
    EXPECT_EQ(BMidi::Dropped() - before, 10);
}
