// The machine's colour swatch and the colour picker over the real add-on on the offscreen
// display: the spectrum's and the presets' pixels, what a click takes, and every way out.
#include "addons/Gridloom/color_picker_view.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <string>
#include <vector>

#include "addons/Gridloom/color_view.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kStart = {1, 2, 3, 0};
constexpr rgb_color kWhite = {255, 255, 255, 255};
const BPoint kWhere(40, 30);

rgb_color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255};
}

BWindow* PickerWindow() {
    BWindow* found = nullptr;
    looper_registry::ForEachGuiLooper([&](BLooper* looper) {
        auto* window = dynamic_cast<BWindow*>(looper);
        if (window != nullptr && std::string(window->Title()) == "ColorPicker") found = window;
    });
    return found;
}

// Runs act on the picker once it is open; a picker still open two seconds on fails the test.
void WhenPickerOpen(std::function<void(BWindow*)> act) {
    QTimer::singleShot(10, [act] {
        BWindow* picker = PickerWindow();
        if (picker == nullptr) return WhenPickerOpen(act);
        QPointer<QWidget> watched(picker->Canvas());
        act(picker);
        QTimer::singleShot(2000, [watched, picker] {
            if (watched == nullptr || !watched->isVisible()) return;
            ADD_FAILURE() << "the picker stayed open";
            picker->PostMessage(B_QUIT_REQUESTED);
        });
    });
}

void Move(BWindow* picker, BPoint where, uint32 buttons = 0) {
    picker->Lock();
    picker->DeliverMouseMoved(where, buttons);
    picker->Unlock();
}

// The picker's whole area as it is drawn now.
QImage Shot(BWindow* picker) {
    picker->Lock();
    QImage image = picker->Snapshot();
    picker->Unlock();
    return image;
}

// A window that keeps what its views post to it.
class RecordingWindow : public BWindow {
  public:
    RecordingWindow() : BWindow(BRect(100, 200, 160, 240), "swatch", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override { received.push_back(*message); }
    std::vector<BMessage> received;
};

TEST(ColorPicker, TheSpectrumRunsFromWhiteToBlackAboveTheTwelvePresets) {
    auto* window = new BWindow(BRect(0, 0, 208, 80), "spectrum", B_TITLED_WINDOW, 0);
    window->AddChild(new ColorPickerView(BRect(0, 0, 208, 80), kStart));
    const QImage image = Shot(window);
    window->Lock();
    window->Quit();
    EXPECT_EQ(At(image, 0, 0), kWhite);
    // The last spectrum row above the presets: 256 cos(pi 64 / 81) added to (255, 0, 0).
    EXPECT_EQ(At(image, 0, 64), (rgb_color{52, 0, 0, 255}));
    // Pure hues in the middle: a third of the way round is blue, two thirds green.
    const rgb_color blue = At(image, 64, 40);
    const rgb_color green = At(image, 129, 40);
    EXPECT_GT(blue.blue, 250);
    EXPECT_LT(blue.red + blue.green, 20);
    EXPECT_GT(green.green, 250);
    EXPECT_LT(green.red + green.blue, 20);
    const rgb_color presets[] = {{20, 119, 175, 255}, {0, 101, 141, 255}, {0, 141, 138, 255},
                                 {0, 141, 93, 255},   {113, 141, 0, 255}, {172, 164, 0, 255},
                                 {141, 0, 87, 255},   {141, 0, 134, 255}, {255, 30, 84, 255},
                                 {0, 0, 211, 255},    {181, 0, 143, 255}, {240, 112, 0, 255}};
    for (int i = 0; i < 12; i++) {
        EXPECT_EQ(At(image, i * 16, 65), presets[i]) << i;
        EXPECT_EQ(At(image, i * 16 + 15, 80), presets[i]) << i;
    }
    EXPECT_NE(At(image, 192, 70), presets[11]) << "the spectrum goes on past the presets";
    // The preview strip shows the colour it started from.
    EXPECT_EQ(At(image, 200, 40), (rgb_color{1, 2, 3, 255}));
    EXPECT_EQ(At(image, 208, 0), (rgb_color{1, 2, 3, 255}));
}

TEST(ColorPicker, TheColourUnderThePointerIsPreviewedAndAClickTakesItWithFullAlpha) {
    bool second = true;
    rgb_color previewed = {};
    BRect frame;
    WhenPickerOpen([&](BWindow* picker) {
        frame = picker->Frame();
        rgb_color other = kStart;
        second = RunColorPicker(BPoint(0, 0), &other);
        Move(picker, BPoint(0, 0));
        previewed = At(Shot(picker), 200, 40);
        Move(picker, BPoint(2, 70));
        picker->Lock();
        picker->DeliverMouseDown(BPoint(2, 70), B_PRIMARY_MOUSE_BUTTON);
        // The pointer leaves as the window goes; the click has decided.
        picker->DeliverMouseExited();
        picker->Unlock();
    });
    rgb_color color = kStart;
    ASSERT_TRUE(RunColorPicker(kWhere, &color));
    EXPECT_EQ(color, (rgb_color{20, 119, 175, 255}));
    EXPECT_FALSE(second) << "one picker at a time";
    EXPECT_EQ(previewed, kWhite);
    EXPECT_EQ(frame, BRect(40, 30, 248, 110));
    EXPECT_EQ(PickerWindow(), nullptr);
}

// The picker closes without a choice when act is done to it.
void ExpectCancelledBy(const char* way, std::function<void(BWindow*)> act) {
    WhenPickerOpen(act);
    rgb_color color = kStart;
    EXPECT_FALSE(RunColorPicker(kWhere, &color)) << way;
    EXPECT_EQ(color, kStart) << way;
    EXPECT_EQ(PickerWindow(), nullptr) << way;
}

TEST(ColorPicker, LeavingEscapeAClickOutsideAndFocusLossCancel) {
    ExpectCancelledBy("leaving", [](BWindow* picker) {
        Move(picker, BPoint(100, 40));
        Move(picker, BPoint(-5, 40));
    });
    ExpectCancelledBy("Escape", [](BWindow* picker) {
        picker->Lock();
        picker->DeliverKeyDown("\x1b", 0);
        picker->Unlock();
    });
    ExpectCancelledBy("a click outside", [](BWindow* picker) {
        QWidget* canvas = picker->Canvas();
        const QPointF outside(300, 40);
        QMouseEvent press(QEvent::MouseButtonPress, outside, canvas->mapToGlobal(outside),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas->windowHandle(), &press);
    });
    ExpectCancelledBy("focus loss", [](BWindow* picker) {
        picker->Lock();
        picker->ActivationChanged(true);
        picker->ActivationChanged(false);
        picker->Unlock();
    });
}

TEST(ColorPicker, TheSwatchShowsTheColourAndAsksForThePickerAtTheClick) {
    auto* window = new RecordingWindow;
    auto* swatch = new ColorView(BRect(10, 10, 23, 23));
    window->AddChild(swatch);
    window->Show();
    window->Lock();
    swatch->SetColor({200, 10, 30, 255});
    const QImage image = window->Snapshot();
    const BPoint screen = swatch->ConvertToScreen(BPoint(3, 4));
    window->DeliverMouseDown(BPoint(13, 14), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseUp(BPoint(13, 14));
    window->Unlock();
    EXPECT_EQ(std::string(swatch->Name()), "ColorView");
    EXPECT_EQ(At(image, 10, 10), (rgb_color{200, 10, 30, 255}));
    EXPECT_EQ(At(image, 23, 23), (rgb_color{200, 10, 30, 255}));
    EXPECT_NE(At(image, 24, 24), (rgb_color{200, 10, 30, 255}));
    gui_thread::ProcessEvents();
    ASSERT_EQ(window->received.size(), 1u) << "posted, not handled inside the click";
    EXPECT_EQ(window->received[0].what, ColorView::kPick);
    BPoint where;
    ASSERT_EQ(window->received[0].FindPoint("where", &where), B_OK);
    EXPECT_EQ(where, screen);
    EXPECT_EQ(where, BPoint(113, 214));
    window->Lock();
    window->Quit();
}

}  // namespace
