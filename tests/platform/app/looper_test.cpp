// Loopers serve their queue on their own thread; messengers outlive the loopers they name.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/app/app_defs.h"
#include "platform/app/messenger.h"

namespace {

class Counter : public BLooper {
  public:
    Counter(std::atomic<int>* deleted) : BLooper("counter"), fDeleted(deleted) {}
    ~Counter() override { ++*fDeleted; }
    void MessageReceived(BMessage* message) override {
        int32 sender = 0, sequence = 0;
        message->FindInt32("sender", &sender);
        message->FindInt32("sequence", &sequence);
        // Per sender, messages arrive in the order they were sent.
        if (sequence != last[sender] + 1) ++outOfOrder;
        last[sender] = sequence;
        ++received;
    }
    std::atomic<int> received{0};
    int last[4] = {0, 0, 0, 0};
    int outOfOrder = 0;

  private:
    std::atomic<int>* fDeleted;
};

TEST(Looper, ServesMessagesFromManyThreadsInOrderAndQuitsFromAnother) {
    std::atomic<int> deleted{0};
    auto* looper = new Counter(&deleted);
    looper->Run();
    BMessenger messenger(looper);
    ASSERT_TRUE(messenger.IsValid());
    std::vector<std::thread> senders;
    for (int32 s = 0; s < 4; ++s)
        senders.emplace_back([&, s] {
            for (int32 i = 1; i <= 500; ++i) {
                BMessage message('TEST');
                message.AddInt32("sender", s);
                message.AddInt32("sequence", i);
                ASSERT_EQ(messenger.SendMessage(&message), B_OK);
            }
        });
    for (auto& t : senders) t.join();
    while (looper->received < 2000) snooze(1000);
    EXPECT_EQ(looper->outOfOrder, 0);

    ASSERT_TRUE(looper->Lock());
    looper->Quit();
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('GONE'), B_BAD_PORT_ID);
    EXPECT_FALSE(messenger.LockTarget());
}

class Quitter : public BLooper {
  public:
    explicit Quitter(std::atomic<int>* deleted) : BLooper("quitter"), fDeleted(deleted) {}
    ~Quitter() override { ++*fDeleted; }
    bool QuitRequested() override { return allow; }
    std::atomic<bool> allow{false};

  private:
    std::atomic<int>* fDeleted;
};

TEST(Looper, QuitRequestsAskFirstAndHandlersThatLeftGetNothing) {
    std::atomic<int> deleted{0};
    auto* looper = new Quitter(&deleted);
    looper->Run();
    BMessenger messenger(looper);
    messenger.SendMessage(B_QUIT_REQUESTED);
    snooze(20000);
    EXPECT_EQ(deleted, 0) << "QuitRequested said no";
    looper->allow = true;
    messenger.SendMessage(B_QUIT_REQUESTED);
    for (int i = 0; i < 200 && deleted == 0; ++i) snooze(1000);
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(messenger.IsValid());
}

TEST(Messenger, NeedsAHandlerInALooper) {
    BHandler loose("loose");
    status_t result = B_OK;
    BMessenger messenger(&loose, nullptr, &result);
    EXPECT_EQ(result, B_BAD_VALUE);
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_FALSE(BMessenger().IsValid());
}

}  // namespace
