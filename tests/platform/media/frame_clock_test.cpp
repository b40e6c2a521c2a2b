#include "platform/media/frame_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// Both directions round down, before the anchor as after it, so a time maps to the frame
// sounding at it whichever piece of the stream asks.
TEST(FrameClock, MapsFramesAndTimesBothWaysRoundingDown) {
    const FrameClock clock{1000, 5'000'000};
    EXPECT_EQ(clock.TimeOf(1000), 5'000'000);
    EXPECT_EQ(clock.TimeOf(1000 + 44100), 6'000'000);
    EXPECT_EQ(clock.TimeOf(1001), 5'000'022);  // 22.67 us
    EXPECT_EQ(clock.TimeOf(999), 4'999'977);
    EXPECT_EQ(clock.FrameAt(5'000'000), 1000);
    EXPECT_EQ(clock.FrameAt(5'300'000), 1000 + 13230);
    EXPECT_EQ(clock.FrameAt(5'000'022), 1000);
    EXPECT_EQ(clock.FrameAt(5'000'023), 1001);
    EXPECT_EQ(clock.FrameAt(4'999'999), 999);
    for (int64 frame = 900; frame < 1200; frame++) {
        EXPECT_EQ(clock.FrameAt(clock.TimeOf(frame)), frame - (frame % 441 == 1000 % 441 ? 0 : 1))
            << frame;
    }
}

// A reader on another thread never sees half of one anchor and half of the next.
TEST(SharedFrameClock, ReadersNeverSeeATornAnchor) {
    SharedFrameClock shared;
    std::atomic<bool> done{false};
    std::atomic<int64> torn{0};
    std::thread reader([&] {
        while (!done) {
            FrameClock clock = shared.Get();
            if (clock.time != clock.frame * 10) torn++;
        }
    });
    for (int64 i = 0; i < 200000; i++) shared.Set({i, i * 10});
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}
