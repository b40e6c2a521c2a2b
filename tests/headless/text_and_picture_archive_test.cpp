// Text views, boxes, sliders and picture buttons archive and rebuild with no Qt application.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "platform/interface/bitmap.h"
#include "platform/interface/box.h"
#include "platform/interface/picture.h"
#include "platform/interface/picture_button.h"
#include "platform/interface/slider.h"
#include "platform/interface/string_view.h"
#include "platform/interface/text_control.h"
#include "platform/interface/text_view.h"

namespace {

template <typename T>
std::unique_ptr<T> RoundTrip(const BArchivable& object) {
    BMessage archive;
    EXPECT_EQ(object.Archive(&archive), B_OK);
    std::unique_ptr<BArchivable> rebuilt(instantiate_object(&archive));
    auto* typed = dynamic_cast<T*>(rebuilt.get());
    EXPECT_NE(typed, nullptr);
    if (typed) rebuilt.release();
    return std::unique_ptr<T>(typed);
}

BPicture Filled(rgb_color color) {
    BBitmap bitmap(BRect(0, 0, 2, 1), B_RGBA32);
    auto* bits = static_cast<uint8*>(bitmap.Bits());
    for (int32 i = 0; i < bitmap.BitsLength(); i += 4) {
        bits[i] = color.blue;
        bits[i + 1] = color.green;
        bits[i + 2] = color.red;
        bits[i + 3] = color.alpha;
    }
    return BPicture(bitmap);
}

TEST(HeadlessTextAndPictures, StringViewsBoxesAndTextKeepTheirContent) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    BStringView label(BRect(0, 0, 99, 15), "title", "Mixer");
    label.SetAlignment(B_ALIGN_CENTER);
    auto rebuiltLabel = RoundTrip<BStringView>(label);
    ASSERT_TRUE(rebuiltLabel);
    EXPECT_STREQ(rebuiltLabel->Text(), "Mixer");
    EXPECT_EQ(rebuiltLabel->Alignment(), B_ALIGN_CENTER);

    BBox box(BRect(0, 0, 99, 99), "group", B_FOLLOW_ALL, B_WILL_DRAW, B_PLAIN_BORDER);
    box.SetLabel("Output");
    box.AddChild(new BStringView(BRect(5, 20, 50, 35), "inside", "In"));
    auto rebuiltBox = RoundTrip<BBox>(box);
    ASSERT_TRUE(rebuiltBox);
    EXPECT_STREQ(rebuiltBox->Label(), "Output");
    EXPECT_EQ(rebuiltBox->Border(), B_PLAIN_BORDER);
    EXPECT_NE(dynamic_cast<BStringView*>(rebuiltBox->FindView("inside")), nullptr);
    EXPECT_EQ(BBox(BRect(0, 0, 9, 9)).Label(), nullptr);

    BTextView text(BRect(0, 0, 99, 49), "notes", BRect(2, 2, 97, 47));
    text.SetText("tempo ");
    text.Insert("120");
    text.MakeEditable(false);
    text.SetWordWrap(false);
    auto rebuiltText = RoundTrip<BTextView>(text);
    ASSERT_TRUE(rebuiltText);
    EXPECT_STREQ(rebuiltText->Text(), "tempo 120");
    EXPECT_FALSE(rebuiltText->IsEditable());
    EXPECT_FALSE(rebuiltText->DoesWordWrap());
}

TEST(HeadlessTextAndPictures, TextViewSelectionStaysOnCharacters) {
    BTextView text(BRect(0, 0, 99, 49), "notes", BRect(0, 0, 99, 49));
    text.SetText("a\xc3\xa9z");  // "aéz": é takes two bytes
    text.Select(2, 99);
    int32 start = -1, end = -1;
    text.GetSelection(&start, &end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 4);
    text.Select(1, 1);
    text.Insert("b");
    EXPECT_STREQ(text.Text(), "ab\xc3\xa9z");
    text.SelectAll();
    text.GetSelection(&start, &end);
    EXPECT_EQ(end, text.TextLength());
}

TEST(HeadlessTextAndPictures, TextControlsAndSlidersKeepMessagesAndLimits) {
    BTextControl field(BRect(0, 0, 199, 19), "name", "Name", "Lead", new BMessage('name'));
    EXPECT_EQ(field.Divider(), 99);
    field.SetDivider(60);
    field.SetModificationMessage(new BMessage('edit'));
    auto rebuiltField = RoundTrip<BTextControl>(field);
    ASSERT_TRUE(rebuiltField);
    EXPECT_STREQ(rebuiltField->Text(), "Lead");
    EXPECT_STREQ(rebuiltField->Label(), "Name");
    EXPECT_EQ(rebuiltField->Divider(), 60);
    EXPECT_EQ(rebuiltField->Command(), uint32('name'));
    ASSERT_NE(rebuiltField->ModificationMessage(), nullptr);
    EXPECT_EQ(rebuiltField->ModificationMessage()->what, uint32('edit'));
    EXPECT_EQ(BTextControl(BRect(0, 0, 99, 19), "", nullptr, "", nullptr).Divider(), 0);

    BSlider slider(BRect(0, 0, 19, 99), "gain", "Gain", new BMessage('gain'), -10, 10);
    EXPECT_EQ(slider.Value(), 0);
    slider.SetValue(50);
    EXPECT_EQ(slider.Value(), 10);
    slider.SetLimits(0, 5);
    EXPECT_EQ(slider.Value(), 5);
    slider.SetOrientation(B_VERTICAL);
    slider.SetModificationMessage(new BMessage('drag'));
    slider.SetLimitLabels("Low", "High");
    auto rebuiltSlider = RoundTrip<BSlider>(slider);
    ASSERT_TRUE(rebuiltSlider);
    int32 minimum = -1, maximum = -1;
    rebuiltSlider->GetLimits(&minimum, &maximum);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 5);
    EXPECT_EQ(rebuiltSlider->Value(), 5);
    EXPECT_EQ(rebuiltSlider->Orientation(), B_VERTICAL);
    ASSERT_NE(rebuiltSlider->ModificationMessage(), nullptr);
    EXPECT_EQ(rebuiltSlider->ModificationMessage()->what, uint32('drag'));
    EXPECT_STREQ(rebuiltSlider->MaxLimitLabel(), "High");
}

TEST(HeadlessTextAndPictures, PictureButtonsKeepTheirPicturesPixelForPixel) {
    const BPicture off = Filled({10, 20, 30, 255});
    const BPicture on = Filled({200, 100, 50, 128});
    BPictureButton button(BRect(0, 0, 2, 1), "solo", &off, &on, new BMessage('solo'),
                          B_TWO_STATE_BUTTON);
    button.SetValue(B_CONTROL_ON);
    auto rebuilt = RoundTrip<BPictureButton>(button);
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->Behavior(), uint32(B_TWO_STATE_BUTTON));
    EXPECT_EQ(rebuilt->Value(), B_CONTROL_ON);
    EXPECT_EQ(rebuilt->DisabledOn(), nullptr);
    ASSERT_NE(rebuilt->EnabledOn(), nullptr);
    ASSERT_NE(rebuilt->EnabledOff(), nullptr);
    const BBitmap* onBits = rebuilt->EnabledOn()->Bitmap();
    ASSERT_NE(onBits, nullptr);
    EXPECT_EQ(onBits->Bounds(), BRect(0, 0, 2, 1));
    EXPECT_EQ(onBits->PixelAt(2, 1), (rgb_color{200, 100, 50, 128}));
    EXPECT_EQ(rebuilt->EnabledOff()->Bitmap()->PixelAt(0, 0), (rgb_color{10, 20, 30, 255}));

    // Bits that do not fill the stated size are refused, not read past.
    BMessage truncated;
    on.Archive(&truncated);
    truncated.RemoveName("_width");
    truncated.AddInt32("_width", 50);
    EXPECT_EQ(BPicture(&truncated).Bitmap(), nullptr);
}

}  // namespace
