// The widget kit's buttons and knob, driven with input as the display delivers it.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <vector>

#include "platform/interface/bitmap.h"
#include "platform/interface/window.h"
#include "ui/bitmap_string_button.h"
#include "ui/radio_list.h"
#include "ui/resource_to_bitmap.h"

#include "ui/knob_bitmap_data.h"
#include "ui/round_slider.h"

namespace {

// Remembers what reaches its handler.
class RecordingWindow : public BWindow {
  public:
    RecordingWindow() : BWindow(BRect(0, 0, 199, 99), "kit", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override { received.push_back(message->what); }
    std::vector<uint32> received;
};

class WidgetKitTest : public testing::Test {
  protected:
    ~WidgetKitTest() override {
        window->Lock();
        window->Quit();
    }
    void Click(BPoint where, uint32 buttons = B_PRIMARY_MOUSE_BUTTON) {
        window->Lock();
        window->DeliverMouseDown(where, buttons);
        window->DeliverMouseUp(where);
        window->Unlock();
    }
    QImage Snapshot() {
        window->Lock();
        QImage image = window->Snapshot();
        window->Unlock();
        return image;
    }

    // Outlives the window, whose buttons leave it as they go.
    RadioList list;
    RecordingWindow* window = new RecordingWindow;
};

TEST(ResourceToBitmap, LoadsTheStoredImagesAtTheirSizes) {
    struct Expected {
        const char* name;
        int32 width, height;
    };
    for (const Expected& e :
         {Expected{"PatternButton1", 70, 17}, Expected{"PatternButton2", 70, 17},
          Expected{"MuteButton1", 17, 17}, Expected{"MuteButton2", 17, 17},
          Expected{"PosBar", 16, 12}, Expected{"PosMark", 10, 5}}) {
        BBitmap* bitmap = nullptr;
        int32 width = 0, height = 0;
        ASSERT_EQ(ResourceToBitmap(e.name, &bitmap, &width, &height), 1) << e.name;
        std::unique_ptr<BBitmap> owned(bitmap);
        EXPECT_EQ(width, e.width) << e.name;
        EXPECT_EQ(height, e.height) << e.name;
        EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, float(e.width - 1), float(e.height - 1)));
        EXPECT_EQ(bitmap->ColorSpace(), B_RGB32);
    }
    BBitmap* bitmap = reinterpret_cast<BBitmap*>(1);
    EXPECT_EQ(ResourceToBitmap("NoSuchImage", &bitmap, nullptr, nullptr), 0);
    EXPECT_EQ(bitmap, nullptr);
}

TEST_F(WidgetKitTest, ButtonsTakeTheSizeOfTheirImages) {
    auto* pattern = new BitmapStringButton(BPoint(10, 10), 0, new BMessage('pat1'));
    auto* mute = new BitmapStringButton(BPoint(90, 10), 1, new BMessage('mut1'));
    EXPECT_EQ(pattern->Frame().Width() + 1, 70);
    EXPECT_EQ(pattern->Frame().Height() + 1, 17);
    EXPECT_EQ(pattern->Frame().LeftTop(), BPoint(10, 10));
    EXPECT_EQ(mute->Frame().Width() + 1, 17);
    EXPECT_EQ(mute->Frame().Height() + 1, 17);
    pattern->SetText("Intro");
    EXPECT_STREQ(pattern->Text(), "Intro");
    window->AddChild(pattern);
    window->AddChild(mute);
}

TEST_F(WidgetKitTest, GroupedButtonsPressOneAtATime) {
    std::vector<BitmapStringButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons.push_back(new BitmapStringButton(BPoint(0, float(20 * i)), 0,
                                                 new BMessage('pat0' + uint32(i)), &list));
        window->AddChild(buttons.back());
    }
    EXPECT_EQ(list.CountButtons(), 3);
    EXPECT_EQ(list.IndexOf(buttons[2]), 2);
    buttons[0]->SetValue(1);
    EXPECT_EQ(list.Pressed(), 0);

    Click(BPoint(30, 28));
    EXPECT_EQ(buttons[0]->Value(), 0);
    EXPECT_EQ(buttons[1]->Value(), 1);
    EXPECT_EQ(buttons[2]->Value(), 0);
    EXPECT_EQ(list.Pressed(), 1);
    ASSERT_EQ(window->received.size(), 1u);
    EXPECT_EQ(window->received[0], 'pat1');
    // Clicking it again keeps it pressed.
    Click(BPoint(30, 28));
    EXPECT_EQ(buttons[1]->Value(), 1);

    // A button leaving the list sets the pressed index back to the first.
    window->Lock();
    buttons[2]->RemoveSelf();
    delete buttons[2];
    window->Unlock();
    EXPECT_EQ(list.CountButtons(), 2);
    EXPECT_EQ(list.Pressed(), 0);
}

TEST_F(WidgetKitTest, MuteButtonTogglesAndReportsEveryClick) {
    auto* mute = new BitmapStringButton(BPoint(5, 5), 1, new BMessage('mute'));
    window->AddChild(mute);
    Click(BPoint(10, 10));
    EXPECT_EQ(mute->Value(), 1);
    Click(BPoint(10, 10));
    EXPECT_EQ(mute->Value(), 0);
    EXPECT_EQ(window->received, (std::vector<uint32>{'mute', 'mute'}));
}

TEST_F(WidgetKitTest, ButtonDrawsTheImageOfItsState) {
    auto* pattern = new BitmapStringButton(BPoint(20, 30), 0, new BMessage('pat1'));
    window->AddChild(pattern);
    BBitmap* up = nullptr;
    BBitmap* pressed = nullptr;
    int32 w, h;
    ASSERT_EQ(ResourceToBitmap("PatternButton1", &up, &w, &h), 1);
    ASSERT_EQ(ResourceToBitmap("PatternButton2", &pressed, &w, &h), 1);
    std::unique_ptr<BBitmap> ownUp(up), ownPressed(pressed);

    // Compare where no text lies and the image is opaque.
    auto matches = [](const QImage& shot, const BBitmap* image) {
        int same = 0, opaque = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 70; ++x) {
                const rgb_color c = image->PixelAt(x, y);
                if (c.red == 119 && c.green == 116 && c.blue == 119) continue;
                ++opaque;
                const QRgb p = shot.pixel(20 + x, 30 + y);
                same += qRed(p) == c.red && qGreen(p) == c.green && qBlue(p) == c.blue;
            }
        return opaque > 0 && same == opaque;
    };
    EXPECT_TRUE(matches(Snapshot(), up));
    Click(BPoint(40, 35));
    ASSERT_EQ(pattern->Value(), 1);
    const QImage shot = Snapshot();
    EXPECT_TRUE(matches(shot, pressed));
    EXPECT_FALSE(matches(shot, up));
    // Clear corner pixels show the window behind.
    EXPECT_EQ(shot.pixel(20, 30), qRgb(216, 216, 216));
}

TEST_F(WidgetKitTest, KnobHoldsItsValueInRangeAndShowsTheMatchingFrame) {
    auto* knob = new RoundSlider(BRect(40, 20, 71, 51), new BMessage('knob'));
    window->AddChild(knob);
    window->Lock();
    knob->SetValue(1.5f);
    EXPECT_EQ(knob->GetValue(), 1.0f);
    EXPECT_EQ(knob->KnobFrame(), 32);
    knob->SetValue(-1);
    EXPECT_EQ(knob->GetValue(), 0.0f);
    EXPECT_EQ(knob->KnobFrame(), 0);
    knob->SetValue(0.5f);
    EXPECT_EQ(knob->Percentage(), 50);
    window->Unlock();

    for (float value : {0.5f, 1.0f}) {
        window->Lock();
        knob->SetValue(value);
        window->Unlock();
        const int frame = knob->KnobFrame();
        const QImage shot = Snapshot();
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const unsigned char* px = bitmap_data + (y * 1056 + frame * 32 + x) * 3;
                differing += shot.pixel(40 + x, 20 + y) != qRgb(px[0], px[1], px[2]);
            }
        EXPECT_EQ(differing, 0) << "frame " << frame;
    }
}

TEST_F(WidgetKitTest, DraggingTheKnobUpRaisesItAndReports) {
    auto* knob = new RoundSlider(BRect(40, 20, 71, 51), new BMessage('knob'));
    window->AddChild(knob);
    window->Lock();
    knob->SetValue(0.3f);
    window->DeliverMouseDown(BPoint(50, 40), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseMoved(BPoint(50, 35), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseMoved(BPoint(50, 30), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseUp(BPoint(50, 30));
    window->Unlock();
    EXPECT_EQ(knob->Percentage(), 40);
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.4f);
    EXPECT_EQ(window->received, (std::vector<uint32>{100, 100}));
    // After the button is up, moving does nothing.
    window->Lock();
    window->DeliverMouseMoved(BPoint(50, 0), 0);
    window->Unlock();
    EXPECT_EQ(knob->Percentage(), 40);
}

TEST(RoundSliderArchive, RebuildsWithItsValueAndRefusesOtherClasses) {
    RoundSlider knob(BRect(0, 0, 31, 31));
    knob.SetValue(0.75f);
    BMessage archive;
    ASSERT_EQ(knob.Archive(&archive), B_OK);
    std::unique_ptr<BArchivable> rebuilt(instantiate_object(&archive));
    auto* copy = dynamic_cast<RoundSlider*>(rebuilt.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_FLOAT_EQ(copy->GetValue(), 0.75f);
    BView plain(BRect(0, 0, 9, 9), "plain", B_FOLLOW_NONE, 0);
    BMessage viewArchive;
    plain.Archive(&viewArchive);
    EXPECT_EQ(RoundSlider::Instantiate(&viewArchive), nullptr);
}

}  // namespace
