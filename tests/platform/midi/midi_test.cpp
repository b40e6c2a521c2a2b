#include "platform/midi/midi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "tests/platform/midi/recording_consumer.h"

namespace {

class Producer : public BMidi {
  public:
    using BMidi::SprayControlChange;
    using BMidi::SprayNoteOff;
    using BMidi::SprayNoteOn;
    using BMidi::SprayProgramChange;
};

// Passes notes on, as a filter in a chain would.
class Thru : public RecordingConsumer {
  public:
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override {
        RecordingConsumer::NoteOn(channel, note, velocity, time);
        SprayNoteOn(channel, note + 12, velocity, time);
    }
};

// Leaves the producer on the first note it gets.
class Leaver : public RecordingConsumer {
  public:
    explicit Leaver(BMidi* producer) : fProducer(producer) {}
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override {
        RecordingConsumer::NoteOn(channel, note, velocity, time);
        fProducer->Disconnect(this);
    }

  private:
    BMidi* fProducer;
};

// Sprays a note each round until stopped.
class Ticker : public BMidi {
  public:
    ~Ticker() override { Unplug(); }
    std::atomic<int32> rounds{0};
    std::atomic<bool> returned{false};

  protected:
    void Run() override {
        while (KeepRunning()) {
            SprayNoteOn(1, 60, 100, B_NOW);
            rounds++;
            snooze(200);
        }
        returned = true;
    }
};

bool WaitFor(const std::function<bool()>& condition) {
    for (bigtime_t end = system_time() + 10'000'000; system_time() < end; snooze(1000)) {
        if (condition()) return true;
    }
    return condition();
}

}  // namespace

TEST(BMidi, SprayReachesEveryConsumerWithTheMessageAsSent) {
    Producer producer;
    RecordingConsumer first, second;
    EXPECT_EQ(producer.Connect(&first), B_OK);
    EXPECT_EQ(producer.Connect(&second), B_OK);
    producer.SprayNoteOn(1, 69, 100, 1234);
    producer.SprayNoteOff(16, 0, 127, 99);
    producer.SprayControlChange(10, 7, 64, B_NOW);
    producer.SprayProgramChange(2, 127, 4'000'000'000u);
    const std::vector<RecordedMessage> expected = {{'n', 1, 69, 100, 1234},
                                                   {'f', 16, 0, 127, 99},
                                                   {'c', 10, 7, 64, 0},
                                                   {'p', 2, 127, 0, 4'000'000'000u}};
    EXPECT_EQ(first.Messages(), expected);
    EXPECT_EQ(second.Messages(), expected);
}

TEST(BMidi, ConnectionsAreCountedOnceAndCanBeUndone) {
    Producer producer;
    RecordingConsumer consumer, stranger;
    EXPECT_FALSE(producer.IsConnected(&consumer));
    EXPECT_EQ(producer.Connect(&consumer), B_OK);
    EXPECT_EQ(producer.Connect(&consumer), B_OK);
    EXPECT_TRUE(producer.IsConnected(&consumer));
    producer.SprayNoteOn(1, 60, 1, B_NOW);
    EXPECT_EQ(consumer.Count(), 1u);
    producer.Disconnect(&stranger);
    producer.Disconnect(&consumer);
    EXPECT_FALSE(producer.IsConnected(&consumer));
    producer.SprayNoteOn(1, 60, 1, B_NOW);
    EXPECT_EQ(consumer.Count(), 1u);
    EXPECT_FALSE(consumer.IsConnected(&producer));
}

TEST(BMidi, RefusesNullAndLoops) {
    Producer producer;
    Thru a, b;
    EXPECT_EQ(producer.Connect(nullptr), B_BAD_VALUE);
    EXPECT_EQ(a.Connect(&a), B_BAD_VALUE);
    EXPECT_EQ(producer.Connect(&a), B_OK);
    EXPECT_EQ(a.Connect(&b), B_OK);
    EXPECT_EQ(b.Connect(&a), B_BAD_VALUE);
    EXPECT_FALSE(b.IsConnected(&a));
    // Nor the longer way round.
    EXPECT_EQ(b.Connect(&producer), B_BAD_VALUE);
    producer.SprayNoteOn(3, 48, 90, 7);
    EXPECT_EQ(a.Messages(), (std::vector<RecordedMessage>{{'n', 3, 48, 90, 7}}));
    EXPECT_EQ(b.Messages(), (std::vector<RecordedMessage>{{'n', 3, 60, 90, 7}}));
}

TEST(BMidi, BaseMessagesDoNothing) {
    Producer producer;
    BMidi plain;
    RecordingConsumer after;
    producer.Connect(&plain);
    producer.Connect(&after);
    producer.SprayNoteOn(1, 1, 1, B_NOW);
    producer.SprayNoteOff(1, 1, 1, B_NOW);
    producer.SprayControlChange(1, 1, 1, B_NOW);
    producer.SprayProgramChange(1, 1, B_NOW);
    EXPECT_EQ(after.Count(), 4u);
}

TEST(BMidi, EitherEndGoingAwayCutsTheConnection) {
    Producer producer;
    RecordingConsumer kept;
    auto consumer = std::make_unique<RecordingConsumer>();
    BMidi* gone = consumer.get();
    producer.Connect(consumer.get());
    producer.Connect(&kept);
    consumer.reset();
    EXPECT_FALSE(producer.IsConnected(gone));
    producer.SprayNoteOn(1, 60, 100, B_NOW);
    EXPECT_EQ(kept.Count(), 1u);

    auto source = std::make_unique<Producer>();
    source->Connect(&kept);
    source.reset();
    producer.Disconnect(&kept);
    EXPECT_FALSE(producer.IsConnected(&kept));
}

TEST(BMidi, ConsumerMayLeaveFromInsideAMessage) {
    Producer producer;
    Leaver leaver(&producer);
    RecordingConsumer other;
    producer.Connect(&leaver);
    producer.Connect(&other);
    producer.SprayNoteOn(1, 60, 100, B_NOW);
    producer.SprayNoteOn(1, 62, 100, B_NOW);
    EXPECT_FALSE(producer.IsConnected(&leaver));
    EXPECT_EQ(leaver.Count(), 1u);
    EXPECT_EQ(other.Count(), 2u);
}

TEST(BMidi, RunLivesFromStartToStop) {
    Ticker ticker;
    RecordingConsumer consumer;
    ticker.Connect(&consumer);
    EXPECT_FALSE(ticker.IsRunning());
    ticker.Stop();
    ASSERT_EQ(ticker.Start(), B_OK);
    EXPECT_TRUE(ticker.IsRunning());
    EXPECT_EQ(ticker.Start(), B_NOT_ALLOWED);
    EXPECT_TRUE(WaitFor([&] { return consumer.Count() >= 3; }));
    ticker.Stop();
    EXPECT_TRUE(ticker.returned);
    EXPECT_FALSE(ticker.IsRunning());
    size_t sprayed = consumer.Count();
    snooze(5000);
    EXPECT_EQ(consumer.Count(), sprayed);
    EXPECT_EQ(int32(sprayed), ticker.rounds.load());

    ASSERT_EQ(ticker.Start(), B_OK);
    EXPECT_TRUE(WaitFor([&] { return consumer.Count() > sprayed; }));
}

TEST(BMidi, BaseRunEndsByItselfAndMayStartAgain) {
    BMidi midi;
    for (int round = 0; round < 3; round++) {
        ASSERT_EQ(midi.Start(), B_OK);
        EXPECT_TRUE(WaitFor([&] { return !midi.IsRunning(); }));
    }
    midi.Stop();
    EXPECT_FALSE(midi.IsRunning());
}

TEST(BMidi, DestroyingARunningProducerStopsIt) {
    RecordingConsumer consumer;
    {
        Ticker ticker;
        ticker.Connect(&consumer);
        ASSERT_EQ(ticker.Start(), B_OK);
        EXPECT_TRUE(WaitFor([&] { return consumer.Count() > 0; }));
    }
    size_t sprayed = consumer.Count();
    snooze(5000);
    EXPECT_EQ(consumer.Count(), sprayed);
}

// Two threads spray while a third connects, disconnects and deletes consumers: nothing
// reaches a consumer once Disconnect has returned, and none is used after it is gone.
TEST(BMidi, ConnectionsChangeWhileSpraying) {
    Producer producer;
    RecordingConsumer steady;
    producer.Connect(&steady);
    std::atomic<bool> done{false};
    auto spray = [&] {
        while (!done) producer.SprayNoteOn(1, 60, 100, B_NOW);
    };
    std::thread first(spray), second(spray);
    int32 late = 0;
    for (int round = 0; round < 200; round++) {
        auto consumer = std::make_unique<RecordingConsumer>();
        producer.Connect(consumer.get());
        snooze(100);
        producer.Disconnect(consumer.get());
        size_t received = consumer->Count();
        snooze(100);
        if (consumer->Count() != received) late++;
        if (round % 2 == 0) {
            producer.Connect(consumer.get());
            snooze(50);
        }
        consumer.reset();
    }
    done = true;
    first.join();
    second.join();
    EXPECT_EQ(late, 0);
    EXPECT_GT(steady.Count(), 0u);
}
