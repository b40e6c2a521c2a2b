#include "platform/kernel/bounded_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(BoundedQueue, KeepsOrderAndRefusesWhenFullOrEmpty) {
    BoundedQueue<int> queue(3);  // rounded up to 4
    int value = -1;
    EXPECT_FALSE(queue.Pop(&value));
    for (int i = 0; i < 4; i++) EXPECT_TRUE(queue.Push(i));
    EXPECT_FALSE(queue.Push(99));
    for (int i = 0; i < 4; i++) {
        ASSERT_TRUE(queue.Pop(&value));
        EXPECT_EQ(value, i);
    }
    EXPECT_FALSE(queue.Pop(&value));
    // Wrapping round the storage many times keeps working.
    for (int i = 0; i < 1000; i++) {
        ASSERT_TRUE(queue.Push(i));
        ASSERT_TRUE(queue.Pop(&value));
        ASSERT_EQ(value, i);
    }
}

TEST(BoundedQueue, ManyProducersOneConsumerLoseNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 20000;
    BoundedQueue<int> queue(256);
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; p++) {
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kEach; i++) {
                while (!queue.Push(p * kEach + i)) std::this_thread::yield();
            }
        });
    }
    std::vector<int> last(kProducers, -1);
    int received = 0;
    while (received < kProducers * kEach) {
        int value;
        if (!queue.Pop(&value)) continue;
        int producer = value / kEach;
        // Each producer's values arrive in the order it pushed them.
        ASSERT_GT(value % kEach, last[size_t(producer)]);
        last[size_t(producer)] = value % kEach;
        received++;
    }
    for (auto& t : producers) t.join();
    for (int p = 0; p < kProducers; p++) EXPECT_EQ(last[size_t(p)], kEach - 1);
}
