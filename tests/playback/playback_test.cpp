// The song played in real time through the null output, with its own player and position
// threads, as the program plays it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/player.h"
#include "engine/pos_event.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/kernel/os.h"

namespace {

class Playback : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_EQ(chdir(ENGINE_TEST_ROOT), 0);
        setenv("VELLORAN_AUDIO", "null", 1);
        machine_roster.Scan("machines");
        instrument_roster.Scan("instruments");
        new Song;
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new Playback);

class Subscriber : public PosEvent {
  public:
    struct Call {
        float from;
        float to;
        long count;
        bigtime_t at;
        bool mirrored;
    };

    void UpdatePos(float from, float to, float** buffers, long count) override {
        bool mirrored = true;
        for (long i = 0; i < count; i += 97) mirrored &= buffers[1][i] == -buffers[0][i];
        std::lock_guard<std::mutex> hold(fLock);
        fCalls.push_back({from, to, count, system_time(), mirrored});
    }

    std::vector<Call> Calls() {
        std::lock_guard<std::mutex> hold(fLock);
        return fCalls;
    }

  private:
    std::mutex fLock;
    std::vector<Call> fCalls;
};

void SetUpSong() {
    song->New();
    for (int i = 0; i < 4; i++) song->machines[song->AddMachine("TestSource")]->Connect(0);
}

}  // namespace

TEST(Playback, PlaysInRealTimeAndTellsSubscribersEvery50Milliseconds) {
    SetUpSong();
    Subscriber subscriber;
    subscriber.Subscribe();
    bigtime_t start = system_time();
    song->Play();
    snooze(2000000);
    auto late = std::make_unique<Subscriber>();
    late->Subscribe();
    snooze(300000);
    std::vector<Subscriber::Call> lateCalls = late->Calls();
    late.reset();
    int cpu = GetPlayerCPUConsumption();
    song->Stop();
    bigtime_t played = system_time() - start;
    std::vector<Subscriber::Call> calls = subscriber.Calls();
    snooze(150000);
    EXPECT_EQ(subscriber.Calls().size(), calls.size());  // nothing after Stop
    EXPECT_LT(find_thread("PlayerThread"), 0);
    EXPECT_LT(find_thread("PosEventThread"), 0);
    EXPECT_GE(cpu, 0);
    EXPECT_LE(cpu, 100);

    // A step is 125 ms at tempo 120: the song has moved on about 8 steps a second.
    double seconds = double(played) / 1e6;
    float reached = float(song->position) + float(song->step) / 4.0f;
    EXPECT_NEAR(reached, seconds * 2.0 + 0.5, 0.5);

    ASSERT_GT(calls.size(), 30u);
    EXPECT_LT(calls.size(), 56u);
    for (size_t i = 0; i < calls.size(); i++) {
        EXPECT_EQ(calls[i].count, kPosEventFrames);
        EXPECT_TRUE(calls[i].mirrored) << i;
        if (i == 0) continue;
        EXPECT_GE(calls[i].to, calls[i - 1].to);
        EXPECT_GE(calls[i].at - calls[i - 1].at, 40000) << i;
    }
    double period = double(calls.back().at - calls.front().at) / double(calls.size() - 1);
    EXPECT_NEAR(period, 50000, 8000);
    EXPECT_GE(lateCalls.size(), 4u);
    EXPECT_LE(lateCalls.size(), 7u);
}

TEST(Playback, EditsFromAnotherThreadWhilePlaying) {
    SetUpSong();
    song->AddMachine("TestEffect");
    song->AddMachine("TestController");
    Machine* source = song->machines[1];
    Machine* effect = song->machines[5];
    song->Play();
    std::atomic<bool> done{false};
    std::thread editor([&] {
        for (int i = 0; !done; i++) {
            source->mute = i % 2;
            song->machines[0]->in_vol_left[1] = float(i % 10) / 10.0f;
            song->loop = i % 3 == 0;
            song->stop_pos = 2 + i % 5;
            song->main_tempo = 100 + i % 50;
            song->solo = i % 7 == 0;
            song->solo_machine = 1 + i % 4;
            if (i % 2 == 0) {
                source->Connect(effect->ID);
            } else {
                source->Disconnect(effect->ID);
            }
            snooze(3000);
        }
    });
    snooze(1500000);
    done = true;
    editor.join();
    song->Stop();
    EXPECT_EQ(song->is_playing, 0);
}
