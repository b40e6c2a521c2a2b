// The ruler, the scope and the read-out of the playlist window, fed positions from a thread of
// their own as the position thread feeds them, and checked in pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "app/measure_view.h"
#include "app/pos_bar_view.h"
#include "app/scope_view.h"
#include "engine/player.h"
#include "engine/pos_event.h"
#include "engine/song.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/window.h"
#include "platform/media/sound_player.h"
#include "ui/resource_to_bitmap.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr rgb_color kPanel = {216, 216, 216, 255};
// Where the hosts of the scope and the read-out sit in the test window, at the layout's sizes.
const BRect kScopeFrame(10, 20, 65, 52);
const BRect kMeasureFrame(100, 20, 125, 70);

QImage Crop(const QImage& image, BRect rect) {
    return image.copy(int(rect.left), int(rect.top), int(rect.Width()) + 1, int(rect.Height()) + 1);
}

// The window holds the three views as the playlist window does: the ruler at the top, the
// scope and the read-out inside host views.
class PositionDisplays : public testing::Test {
  protected:
    PositionDisplays() {
        window->AddChild(ruler);
        auto* scopeHost = new BView(kScopeFrame, "scopeview", B_FOLLOW_NONE, 0);
        window->AddChild(scopeHost);
        scope = new ScopeView(scopeHost->Bounds());
        scopeHost->AddChild(scope);
        auto* measureHost = new BView(kMeasureFrame, "measureview", B_FOLLOW_NONE, 0);
        measureHost->SetFont(&kReadOutFont);
        window->AddChild(measureHost);
        measure = new MeasureView(measureHost->Bounds(), measureHost);
        measureHost->AddChild(measure);
        loop = {song->start_pos, song->stop_pos};
        MoveLoopAway();
    }
    ~PositionDisplays() override {
        song->start_pos = loop.first;
        song->stop_pos = loop.second;
        window->Lock();
        window->Quit();
    }

    // As the position thread calls: from a thread other than the window's.
    static void Deliver(PosEventView* view, float to, float** buffers = nullptr,
                        long count = kPosEventFrames) {
        std::thread([=] { view->UpdatePos(to, to, buffers, count); }).join();
    }
    QImage Snapshot() {
        window->Lock();
        QImage image = window->Snapshot();
        window->Unlock();
        return image;
    }
    QImage ScopeShown() { return Crop(Snapshot(), kScopeFrame); }
    QImage ReadOutShown() { return Crop(Snapshot(), kMeasureFrame); }
    void Click(BPoint where, uint32 buttons) {
        window->Lock();
        window->DeliverMouseDown(where, buttons);
        window->DeliverMouseUp(where);
        window->Unlock();
    }
    void Pulse(int32 times) {
        window->Lock();
        for (int32 i = 0; i < times; ++i) measure->Pulse();
        window->Unlock();
    }
    // Beyond the test window, so the loop range draws nothing the tests look at.
    void MoveLoopAway() {
        song->start_pos = 1000;
        song->stop_pos = 1000;
        window->Lock();
        ruler->Invalidate();
        window->Unlock();
    }

    const BFont kReadOutFont{"DejaVu Sans Mono", 10};
    BWindow* window = new BWindow(BRect(0, 0, 299, 99), "displays", B_TITLED_WINDOW, 0);
    PosBarView* ruler = new PosBarView(BRect(0, 0, 5000, 11));
    ScopeView* scope = nullptr;
    MeasureView* measure = nullptr;
    std::pair<int32, int32> loop;
};

// Draws with a view into an off-screen bitmap of that size and returns its pixels: the
// reference the displays' pixels are compared with.
template <typename Paint>
QImage Reference(BRect bounds, const Paint& paint) {
    BBitmap bitmap(bounds, B_RGB32, true);
    auto* view = new BView(bounds, "reference", B_FOLLOW_NONE, B_WILL_DRAW);
    bitmap.AddChild(view);
    bitmap.Lock();
    paint(view);
    bitmap.Unlock();
    return bitmap.Image().copy();
}

// The read-out with only these texts on its rows.
QImage ReadOut(const BFont& font, const std::vector<std::pair<const char*, BPoint>>& texts) {
    return Reference(BRect(0, 0, 25, 50), [&](BView* view) {
        view->SetFont(&font);
        view->SetHighColor(kPanel);
        view->FillRect(view->Bounds());
        view->SetHighColor(0, 0, 0);
        for (const auto& [text, where] : texts) view->DrawString(text, where);
    });
}

// The rows of each line of the read-out, baselines 12, 24, 36 and 48.
BRect ReadOutRow(int32 row) {
    return BRect(0, float(row * 12 + 2), 25, float(row * 12 + 13));
}

// Columns whose pixels in rows top..bottom differ between the images, as (first, last).
std::pair<int, int> ChangedColumns(const QImage& a, const QImage& b, int top, int bottom) {
    int first = -1, last = -1;
    for (int x = 0; x < a.width(); ++x)
        for (int y = top; y <= bottom; ++y)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (first < 0) first = x;
                last = x;
            }
    return {first, last};
}

bool HasReddish(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) - qGreen(p) > 80 && qRed(p) - qBlue(p) > 80) return true;
        }
    return false;
}

// Ruler: cells, labels and the mark.

TEST_F(PositionDisplays, RulerLabelsEveryFourCellsReadTheCellNumber) {
    const QImage shown = Crop(Snapshot(), BRect(0, 0, 191, 11));
    BBitmap* cellImage = nullptr;
    ASSERT_EQ(ResourceToBitmap("PosBar", &cellImage, nullptr, nullptr), 1);
    std::unique_ptr<BBitmap> cell(cellImage);
    // Four cells from a labelled one: the tick and the label on the first only.
    auto labelled = [&](const char* label) {
        return Reference(BRect(0, 0, 63, 11), [&](BView* view) {
            const BFont font("DejaVu Sans", 10);
            view->SetFont(&font);
            for (float x = 0; x < 64; x += 16) view->DrawBitmap(cell.get(), BPoint(x, 0));
            view->SetHighColor(130, 130, 130);
            view->StrokeLine(BPoint(0, 4), BPoint(0, 11));
            view->DrawString(label, BPoint(2, 9));
        });
    };
    EXPECT_EQ(Crop(shown, BRect(0, 0, 63, 11)), labelled("0"));
    EXPECT_EQ(Crop(shown, BRect(64, 0, 127, 11)), labelled("4"));
    EXPECT_EQ(Crop(shown, BRect(128, 0, 191, 11)), labelled("8"));
    EXPECT_NE(Crop(shown, BRect(64, 0, 127, 11)), labelled("8"));
}

TEST_F(PositionDisplays, MarkIsCentredOnThePositionAndLeavesNothingBehind) {
    const QImage bare = Snapshot();
    Deliver(ruler, 2.5f);
    const QImage marked = Snapshot();
    EXPECT_EQ(ChangedColumns(bare, marked, 0, 11), std::make_pair(5, 14)) << "centre at x 10";
    EXPECT_EQ(ChangedColumns(bare, marked, 0, 5).first, -1) << "the mark starts at row 6";
    EXPECT_EQ(ChangedColumns(bare, marked, 10, 10), std::make_pair(9, 10)) << "its tip";

    Deliver(ruler, 10.0f);
    const QImage moved = Snapshot();
    EXPECT_EQ(ChangedColumns(bare, moved, 0, 11), std::make_pair(35, 44));
    // The same mark, whatever the cell under it.
    for (int y = 6; y <= 10; ++y) {
        for (int x = 5; x <= 14; ++x) {
            if (marked.pixel(x, y) == bare.pixel(x, y)) continue;
            EXPECT_EQ(moved.pixel(x + 30, y), marked.pixel(x, y)) << x << "," << y;
        }
    }
}

TEST_F(PositionDisplays, PositionsThatAreNotNumbersOrHugeDrawNoMark) {
    const QImage bare = Snapshot();
    for (float position : {NAN, kInf, -kInf, 1e30f, -1e30f}) {
        Deliver(ruler, position);
        EXPECT_EQ(Snapshot(), bare) << position;
    }
}

// Ruler: the loop range.

TEST_F(PositionDisplays, ClicksSetTheLoopToTheNearestMeasure) {
    Click(BPoint(13, 5), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(song->start_pos, 3);
    Click(BPoint(14, 5), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(song->start_pos, 4);
    EXPECT_EQ(song->stop_pos, 1000);
    Click(BPoint(41, 5), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(song->stop_pos, 10);
    EXPECT_EQ(song->start_pos, 4);
    Click(BPoint(62, 5), B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(song->start_pos, 16);
    EXPECT_EQ(song->stop_pos, 16);
    // Nothing keeps the start before the stop.
    Click(BPoint(2, 5), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(song->stop_pos, 1);
    EXPECT_EQ(song->start_pos, 16);
}

TEST_F(PositionDisplays, LoopRangeDarkensTheRulerThroughItsAlpha) {
    const QImage bare = Snapshot();
    Click(BPoint(8, 5), B_PRIMARY_MOUSE_BUTTON);
    Click(BPoint(40, 5), B_SECONDARY_MOUSE_BUTTON);
    ASSERT_EQ(song->start_pos, 2);
    ASSERT_EQ(song->stop_pos, 10);
    const QImage looped = Snapshot();
    // Black at alpha 60 over the ruler, times layers.
    auto darkened = [&](int x, int y, int layers) {
        QRgb expected = bare.pixel(x, y);
        for (int i = 0; i < layers; ++i)
            expected =
                qRgb((qRed(expected) * 195 + 127) / 255, (qGreen(expected) * 195 + 127) / 255,
                     (qBlue(expected) * 195 + 127) / 255);
        return looped.pixel(x, y) == expected;
    };
    for (int y : {0, 1}) {
        for (int x : {9, 20, 39}) EXPECT_TRUE(darkened(x, y, 1)) << x << "," << y;
        // The band and an end both cover the ends' top rows.
        for (int x : {8, 40}) EXPECT_TRUE(darkened(x, y, 2)) << x << "," << y;
    }
    for (int y : {2, 3, 4})
        for (int x : {8, 40}) EXPECT_TRUE(darkened(x, y, 1)) << x << "," << y;
    EXPECT_EQ(ChangedColumns(bare, looped, 0, 11), std::make_pair(8, 40));
    EXPECT_EQ(
        ChangedColumns(Crop(bare, BRect(9, 0, 39, 11)), Crop(looped, BRect(9, 0, 39, 11)), 2, 11)
            .first,
        -1)
        << "inside the range only the top two rows";
    EXPECT_EQ(ChangedColumns(bare, looped, 5, 11).first, -1) << "the ends are five rows high";
}

// Scope.

TEST_F(PositionDisplays, ScopeDrawsTheLeftChannelHeldToItsRows) {
    std::vector<float> left(kPosEventFrames), right(kPosEventFrames);
    float* buffers[] = {left.data(), right.data()};
    const struct {
        float sample;
        int row;
    } cases[] = {{1.5f, 31}, {-1.5f, 0}, {0.0f, 16},  {0.5f, 22}, {NAN, 16},
                 {kInf, 31}, {-kInf, 0}, {1e30f, 31}, {-1e30f, 0}};
    for (const auto& c : cases) {
        std::fill(left.begin(), left.end(), c.sample);
        std::fill(right.begin(), right.end(), -0.9f);
        Deliver(scope, 0, buffers);
        const QImage image = ScopeShown();
        for (int x : {0, 27, 55}) {
            std::vector<int> lit;
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) == qRgb(32, 154, 232)) lit.push_back(y);
            EXPECT_EQ(lit, std::vector<int>{c.row}) << c.sample << " at column " << x;
        }
    }
}

TEST_F(PositionDisplays, ScopeTakesOnePointEveryFortyFrames) {
    std::vector<float> left(kPosEventFrames, 0.0f);
    float* buffers[] = {left.data(), left.data()};
    // Only frames 0, 40, 80, ... are seen.
    for (size_t i = 0; i < left.size(); ++i) left[i] = i % 40 == 0 ? 1.0f : 0.0f;
    left[80] = -1.0f;
    Deliver(scope, 0, buffers);
    const QImage image = ScopeShown();
    auto lit = [&](int x, int y) { return image.pixel(x, y) == qRgb(32, 154, 232); };
    EXPECT_TRUE(lit(0, 29));
    EXPECT_TRUE(lit(1, 29));
    EXPECT_TRUE(lit(2, 3));
    EXPECT_TRUE(lit(55, 29));
    EXPECT_FALSE(lit(30, 16));
    // A count short of the view draws as many columns as it has points, and none draws none.
    Deliver(scope, 0, buffers, 400);
    const QImage shorter = ScopeShown();
    EXPECT_EQ(shorter.pixel(9, 29), qRgb(32, 154, 232));
    EXPECT_EQ(shorter.pixel(10, 29), qRgb(0, 0, 0));
    Deliver(scope, 0, nullptr);
    EXPECT_EQ(ScopeShown(), shorter);
    Deliver(scope, 0, buffers, 0);
    const QImage blank = ScopeShown();
    for (int y = 0; y < blank.height(); ++y)
        for (int x = 0; x < blank.width(); ++x) ASSERT_EQ(blank.pixel(x, y), qRgb(0, 0, 0));
}

// Read-out.

TEST_F(PositionDisplays, ReadOutShowsTheGroupOfFourMeasuresAndTheMeasureInIt) {
    const QImage empty = ReadOutShown();
    Deliver(measure, 13.7f);
    const QImage shown = ReadOutShown();
    const QImage expected = ReadOut(kReadOutFont, {{"003", BPoint(3, 12)}, {"2", BPoint(3, 24)}});
    for (int32 row : {0, 1}) {
        EXPECT_EQ(Crop(shown, ReadOutRow(row)), Crop(expected, ReadOutRow(row))) << row;
        EXPECT_NE(Crop(shown, ReadOutRow(row)), Crop(empty, ReadOutRow(row))) << row;
    }
    EXPECT_EQ(Crop(empty, ReadOutRow(0)),
              Crop(ReadOut(kReadOutFont, {{"000", BPoint(3, 12)}}), ReadOutRow(0)));
}

TEST_F(PositionDisplays, ReadOutTextsForEdgePositionsAndTimes) {
    EXPECT_EQ(MeasureView::MeasureText(13.7f), "003");
    EXPECT_EQ(MeasureView::BeatText(13.7f), "2");
    EXPECT_EQ(MeasureView::MeasureText(15.99f), "003");
    EXPECT_EQ(MeasureView::BeatText(15.99f), "4");
    EXPECT_EQ(MeasureView::MeasureText(16.0f), "004");
    EXPECT_EQ(MeasureView::BeatText(16.0f), "1");
    for (float odd : {NAN, -kInf, -3.5f}) {
        EXPECT_EQ(MeasureView::MeasureText(odd), "000") << odd;
        EXPECT_EQ(MeasureView::BeatText(odd), "1") << odd;
    }
    EXPECT_EQ(MeasureView::MeasureText(1e30f), "1024");
    EXPECT_EQ(MeasureView::MeasureText(kInf), "1024");

    EXPECT_EQ(MeasureView::TimeText(0), "0:00");
    EXPECT_EQ(MeasureView::TimeText(59.99), "0:59");
    EXPECT_EQ(MeasureView::TimeText(61), "1:01");
    EXPECT_EQ(MeasureView::TimeText(599.9), "9:59");
    EXPECT_EQ(MeasureView::TimeText(600), "10m");
    EXPECT_EQ(MeasureView::TimeText(1e12), "999m");
    EXPECT_EQ(MeasureView::TimeText(NAN), "0:00");
    EXPECT_EQ(MeasureView::TimeText(-5), "0:00");
}

TEST_F(PositionDisplays, ReadOutTimeCountsFromTheFirstPositionAfterAPause) {
    auto timeRow = [&] { return Crop(ReadOutShown(), ReadOutRow(2)); };
    Deliver(measure, 0);
    const QImage started = timeRow();
    // "m:ss" starts where the other rows do and fits the view.
    for (int y = 0; y < started.height(); ++y)
        for (int x : {0, 1, 2, 25}) EXPECT_EQ(started.pixel(x, y), qRgb(216, 216, 216)) << x;
    EXPECT_NE(started, Crop(ReadOut(kReadOutFont, {}), ReadOutRow(2))) << "0:00";
    std::thread([&] {
        // A play of 1.1 seconds, positions every 50 ms as the position thread sends them.
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::milliseconds(1100)) {
            measure->UpdatePos(0, 0, nullptr, kPosEventFrames);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }).join();
    EXPECT_NE(timeRow(), started) << "0:01";
    // Stopped, then played again.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    Deliver(measure, 0);
    EXPECT_EQ(timeRow(), started);
}

// Samples the mixer silenced since the last refresh mark the load in red.
TEST_F(PositionDisplays, ReadOutMarksTheLoadWhenSamplesWereSilenced) {
    auto loadRow = [&] { return Crop(ReadOutShown(), ReadOutRow(3)); };
    Pulse(3);
    Deliver(measure, 0);
    EXPECT_FALSE(HasReddish(loadRow()));

    auto playNan = [](void*, void* buffer, size_t size, const media_raw_audio_format&) {
        std::fill_n(static_cast<float*>(buffer), size / sizeof(float), NAN);
    };
    BSoundPlayer faulty(nullptr, "faulty", playNan);
    const int64 before = GetSilencedSamples();
    ASSERT_EQ(faulty.Start(), B_OK);
    const auto start = Clock::now();
    while (GetSilencedSamples() == before && Clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    faulty.Stop();
    ASSERT_GT(GetSilencedSamples(), before);

    Pulse(2);
    Deliver(measure, 0);
    EXPECT_FALSE(HasReddish(loadRow())) << "refreshed on the third pulse only";
    Pulse(1);
    Deliver(measure, 0);
    EXPECT_TRUE(HasReddish(loadRow()));
    Pulse(3);
    Deliver(measure, 0);
    EXPECT_FALSE(HasReddish(loadRow())) << "nothing silenced since";
}

// Threads.

// A thread that stops playback holds the window's lock while it waits for the round of
// positions to end, so a position must not wait for the lock for long.
TEST_F(PositionDisplays, PositionsGiveUpOnAWindowLockedElsewhere) {
    const QImage bare = Snapshot();
    std::atomic<bool> locked{false};
    std::thread holder([&] {
        window->Lock();
        locked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        window->Unlock();
    });
    while (!locked) std::this_thread::yield();
    std::vector<float> samples(kPosEventFrames, 0.5f);
    float* buffers[] = {samples.data(), samples.data()};
    for (PosEventView* view : std::initializer_list<PosEventView*>{ruler, scope, measure}) {
        const auto start = Clock::now();
        Deliver(view, 2.5f, buffers);
        // About 5 ms; the bound is loose for loaded machines, but well short of the 200 ms.
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    }
    holder.join();
    EXPECT_EQ(Snapshot(), bare) << "the positions were dropped";
    Deliver(ruler, 2.5f, buffers);
    EXPECT_NE(Snapshot(), bare) << "and the next ones draw again";
}

TEST_F(PositionDisplays, StoppingWithTheWindowLockedEndsWhilePositionsArrive) {
    const QImage blank = ScopeShown();
    song->Play();
    // Several rounds of positions reach the views.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    window->Lock();
    song->Stop();
    window->Unlock();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(ScopeShown(), blank) << "the views were subscribed";
}

// The window goes while the song plays: each view stops its positions before its parts go,
// and the playing song, whose position thread goes on, never waits on them.
TEST(PositionDisplaysGoing, ClosingTheWindowWhilePlaying) {
    for (int round = 0; round < 4; ++round) {
        auto* window = new BWindow(BRect(0, 0, 299, 99), "closing", B_TITLED_WINDOW, 0);
        auto* host = new BView(kMeasureFrame, "measureview", B_FOLLOW_NONE, 0);
        window->AddChild(host);
        host->AddChild(new MeasureView(host->Bounds(), host));
        window->AddChild(new ScopeView(kScopeFrame));
        window->AddChild(new PosBarView(BRect(0, 0, 5000, 11)));
        song->Play();
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        const auto start = Clock::now();
        window->Lock();
        window->Quit();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        song->Stop();
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    }
}

// Pulses and positions from threads of their own, each as its real thread gives them, while
// this thread, the window's, draws: for the thread sanitizer to judge. (Its suppressions for
// Qt's event loop would hide a race of a pulse that came through the loop.)
TEST_F(PositionDisplays, PulsesAndPositionsMeetOnlyUnderTheWindowLock) {
    std::vector<float> samples(kPosEventFrames, 0.25f);
    float* buffers[] = {samples.data(), samples.data()};
    std::atomic<int32> running{2};
    std::thread pulses([&] {
        for (int32 i = 0; i < 300; ++i) {
            window->Lock();
            measure->Pulse();
            window->Unlock();
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        running--;
    });
    std::thread positions([&] {
        for (int32 i = 0; i < 300; ++i) {
            // The read-out first, right after the pause, when a pulse may just have been.
            for (PosEventView* view : std::initializer_list<PosEventView*>{measure, scope, ruler})
                view->UpdatePos(0, float(i), buffers, kPosEventFrames);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        running--;
    });
    while (running > 0) gui_thread::ProcessEvents();
    pulses.join();
    positions.join();
    Deliver(measure, 13.7f);
    const QImage shown = ReadOutShown();
    EXPECT_EQ(Crop(shown, ReadOutRow(0)),
              Crop(ReadOut(kReadOutFont, {{"003", BPoint(3, 12)}}), ReadOutRow(0)));
}

}  // namespace
