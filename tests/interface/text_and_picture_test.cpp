// Drawn labels and boxes land on the right pixels; text fields, text views, sliders and
// picture buttons report what the user did to them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <vector>

#include "platform/app/gui_thread.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/box.h"
#include "platform/interface/picture.h"
#include "platform/interface/picture_button.h"
#include "platform/interface/slider.h"
#include "platform/interface/string_view.h"
#include "platform/interface/text_control.h"
#include "platform/interface/text_view.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kWhite = {255, 255, 255, 255};
constexpr rgb_color kGray = {216, 216, 216, 255};
constexpr rgb_color kRed = {255, 0, 0, 255};
constexpr rgb_color kBlue = {0, 0, 255, 255};

class RecordingWindow : public BWindow {
  public:
    RecordingWindow() : BWindow(BRect(0, 0, 239, 159), "text", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what < 0x10000) return BWindow::MessageReceived(message);
        int32 value = -1;
        message->FindInt32("be:value", &value);
        received.push_back({message->what, value});
    }
    std::vector<std::pair<uint32, int32>> received;
};

// Shown, with its widgets made; quits when the test ends.
class ShownWindowTest : public testing::Test {
  protected:
    ~ShownWindowTest() override {
        window->Lock();
        window->Quit();
    }
    void Show() {
        window->Show();
        gui_thread::ProcessEvents();
    }
    rgb_color At(int x, int y) {
        const QRgb p = image.pixel(x, y);
        return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255};
    }
    // Pixels in the window's rectangle that are not the colour.
    int CountOther(BRect area, rgb_color color) {
        int count = 0;
        for (int y = int(area.top); y <= int(area.bottom); ++y)
            for (int x = int(area.left); x <= int(area.right); ++x) count += !(At(x, y) == color);
        return count;
    }
    void Snap() {
        window->Lock();
        image = window->Snapshot();
        window->Unlock();
    }
    void Type(QWidget* widget, int key, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(widget, &press);
        gui_thread::ProcessEvents();
    }
    using Received = std::vector<std::pair<uint32, int32>>;

    RecordingWindow* window = new RecordingWindow;
    QImage image;
};

using DrawnViews = ShownWindowTest;
using TextWidgets = ShownWindowTest;
using PictureButtons = ShownWindowTest;

TEST_F(DrawnViews, StringViewsDrawTheirTextInsideTheirRowsAtTheirAlignment) {
    auto* left = new BStringView(BRect(10, 10, 209, 29), "left", "HIGH");
    auto* right = new BStringView(BRect(10, 40, 209, 59), "right", "HIGH");
    right->SetAlignment(B_ALIGN_RIGHT);
    window->AddChild(left);
    window->AddChild(right);
    Snap();
    EXPECT_GT(CountOther(BRect(10, 10, 60, 29), kWhite), 20);
    EXPECT_EQ(CountOther(BRect(61, 10, 209, 29), kWhite), 0);
    EXPECT_EQ(CountOther(BRect(10, 40, 150, 59), kWhite), 0);
    EXPECT_GT(CountOther(BRect(160, 40, 209, 59), kWhite), 20);
    // Centred in its height: ink in the middle rows, none at the very top or bottom.
    EXPECT_EQ(CountOther(BRect(10, 10, 209, 11), kWhite), 0);
    EXPECT_EQ(CountOther(BRect(10, 28, 209, 29), kWhite), 0);
    EXPECT_GT(CountOther(BRect(10, 18, 60, 21), kWhite), 0);

    window->Lock();
    left->SetText("");
    window->Unlock();
    Snap();
    EXPECT_EQ(CountOther(BRect(10, 10, 209, 29), kWhite), 0);
}

TEST_F(DrawnViews, BoxesEtchTheirEdgesAndBreakTheTopOneForTheLabel) {
    auto* fancy = new BBox(BRect(10, 10, 109, 79), "fancy");
    fancy->SetViewColor(kGray);
    fancy->SetLabel("Group");
    auto* plain = new BBox(BRect(120, 10, 219, 79), "plain", B_FOLLOW_LEFT | B_FOLLOW_TOP,
                           B_WILL_DRAW, B_PLAIN_BORDER);
    window->AddChild(fancy);
    window->AddChild(plain);
    Snap();
    // Plain: one dark line on each edge, nothing inside.
    EXPECT_EQ(CountOther(BRect(120, 10, 219, 10), kWhite), 100);
    EXPECT_EQ(CountOther(BRect(120, 10, 120, 79), kWhite), 70);
    EXPECT_EQ(CountOther(BRect(219, 10, 219, 79), kWhite), 70);
    EXPECT_EQ(CountOther(BRect(121, 11, 218, 78), kWhite), 0);
    // Fancy: a shadow with a highlight inside it, a label over the top edge.
    const rgb_color shadow = At(10, 50);
    EXPECT_LT(shadow.red, kGray.red);
    EXPECT_EQ(At(11, 50), kWhite);
    EXPECT_EQ(At(60, 50), kGray);
    EXPECT_EQ(At(108, 78), shadow);
    EXPECT_EQ(At(109, 79), kWhite);
    int top = 10;
    while (top < 40 && !(At(100, top) == shadow)) ++top;
    EXPECT_GT(top, 12);
    EXPECT_LT(top, 25);
    EXPECT_GT(CountOther(BRect(18, 10, 50, top + 6), kGray), 20);
    EXPECT_EQ(CountOther(BRect(12, 10, 14, top - 1), kGray), 0);
}

TEST_F(TextWidgets, TextControlsSendEditsAndCommitsWithTheTextInTheControl) {
    auto* field =
        new BTextControl(BRect(10, 10, 209, 31), "name", "Name", "Lead", new BMessage('name'));
    field->SetModificationMessage(new BMessage('edit'));
    window->AddChild(field);
    Show();
    auto* edit = field->Widget()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "Lead");
    EXPECT_EQ(field->Widget()->findChild<QLabel*>()->text(), "Name");
    edit->setCursorPosition(4);

    Type(edit, Qt::Key_S, "s");
    Type(edit, Qt::Key_Return);
    EXPECT_EQ(window->received, (Received{{'edit', 0}, {'name', 0}}));
    window->Lock();
    EXPECT_STREQ(field->Text(), "Leads");
    window->Unlock();
    // Leaving the field with no edit since the commit sends nothing; after one it commits.
    emit edit->editingFinished();
    gui_thread::ProcessEvents();
    EXPECT_EQ(window->received.size(), 2u);
    Type(edit, Qt::Key_Backspace);
    emit edit->editingFinished();
    gui_thread::ProcessEvents();
    EXPECT_EQ(window->received, (Received{{'edit', 0}, {'name', 0}, {'edit', 0}, {'name', 0}}));

    window->Lock();
    EXPECT_STREQ(field->Text(), "Lead");
    field->SetText("Bass");
    window->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_EQ(edit->text(), "Bass");
    EXPECT_EQ(window->received.size(), 4u);

    // Ctrl+Z undoes the field's own typing first; with none left it reaches the window.
    window->AddShortcut('z', 0, new BMessage('undo'));
    const auto undo = [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier, "\x1a");
        QCoreApplication::sendEvent(edit, &press);
        gui_thread::ProcessEvents();
    };
    Type(edit, Qt::Key_X, "x");
    undo();
    EXPECT_EQ(edit->text(), "Bass");
    EXPECT_EQ(window->received.back().first, uint32('edit'));
    undo();
    EXPECT_EQ(edit->text(), "Bass");
    EXPECT_EQ(window->received.back().first, uint32('undo'));
}

TEST_F(TextWidgets, TextViewsMirrorWhatIsTypedAndShowWhatIsSet) {
    auto* text = new BTextView(BRect(10, 10, 209, 109), "notes", BRect(0, 0, 199, 99));
    text->SetText("tempo ");
    window->AddChild(text);
    Show();
    auto* edit = static_cast<QPlainTextEdit*>(text->Widget());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->toPlainText(), "tempo ");
    Type(edit, Qt::Key_1, "1");
    edit->insertPlainText(QString::fromUtf8("20 \xc3\xa9"));
    gui_thread::ProcessEvents();
    window->Lock();
    EXPECT_STREQ(text->Text(), "tempo 120 \xc3\xa9");
    int32 start = -1, end = -1;
    text->GetSelection(&start, &end);
    EXPECT_EQ(start, text->TextLength());
    EXPECT_EQ(end, text->TextLength());
    text->Select(0, 5);
    text->MakeEditable(false);
    window->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_EQ(edit->textCursor().selectedText(), "tempo");
    EXPECT_TRUE(edit->isReadOnly());
}

TEST_F(TextWidgets, SlidersSendWhileDraggingAndOnRelease) {
    auto* slider = new BSlider(BRect(10, 10, 209, 69), "gain", "Gain", new BMessage('gain'), 0, 10);
    slider->SetModificationMessage(new BMessage('drag'));
    slider->SetLimitLabels("Low", "High");
    window->AddChild(slider);
    Show();
    auto* qslider = slider->Widget()->findChild<QSlider*>();
    ASSERT_NE(qslider, nullptr);
    EXPECT_EQ(qslider->maximum(), 10);
    EXPECT_EQ(slider->Widget()->findChild<QLabel*>("right")->text(), "High");
    EXPECT_EQ(slider->Widget()->findChild<QLabel*>("label")->text(), "Gain");

    qslider->setSliderDown(true);
    qslider->setSliderPosition(7);
    gui_thread::ProcessEvents();
    qslider->setSliderDown(false);
    gui_thread::ProcessEvents();
    EXPECT_EQ(window->received, (Received{{'drag', 7}, {'gain', 7}}));
    qslider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    gui_thread::ProcessEvents();
    EXPECT_EQ(window->received.back(), std::make_pair(uint32('gain'), int32(8)));

    window->Lock();
    EXPECT_EQ(slider->Value(), 8);
    slider->SetValue(-3);
    window->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_EQ(qslider->value(), 0);
    EXPECT_EQ(window->received.size(), 3u);
}

BPicture Solid(rgb_color color) {
    BBitmap bitmap(BRect(0, 0, 19, 19), B_RGB32, true);
    auto* view = new BView(bitmap.Bounds(), "paint", B_FOLLOW_NONE, 0);
    bitmap.AddChild(view);
    bitmap.Lock();
    view->SetHighColor(color);
    view->FillRect(view->Bounds());
    bitmap.Unlock();
    return BPicture(bitmap);
}

TEST_F(PictureButtons, TwoStateButtonsToggleOnReleaseInsideAndShowTheirState) {
    const BPicture off = Solid(kRed), on = Solid(kBlue);
    auto* toggle = new BPictureButton(BRect(10, 10, 29, 29), "solo", &off, &on,
                                      new BMessage('solo'), B_TWO_STATE_BUTTON);
    auto* once = new BPictureButton(BRect(40, 10, 59, 29), "tap", &off, &on, new BMessage('tap_'));
    window->AddChild(toggle);
    window->AddChild(once);
    Show();
    Snap();
    EXPECT_EQ(At(20, 20), kRed);

    window->Lock();
    window->DeliverMouseDown(BPoint(20, 20), B_PRIMARY_MOUSE_BUTTON);
    image = window->Snapshot();
    EXPECT_EQ(At(20, 20), kBlue);
    window->DeliverMouseUp(BPoint(20, 20));
    EXPECT_EQ(toggle->Value(), B_CONTROL_ON);
    // Released outside: no change and no message.
    window->DeliverMouseDown(BPoint(20, 20), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseMoved(BPoint(100, 100), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseUp(BPoint(100, 100));
    EXPECT_EQ(toggle->Value(), B_CONTROL_ON);
    window->DeliverMouseDown(BPoint(50, 20), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseUp(BPoint(50, 20));
    EXPECT_EQ(once->Value(), B_CONTROL_OFF);
    image = window->Snapshot();
    window->Unlock();
    EXPECT_EQ(At(20, 20), kBlue);
    EXPECT_EQ(At(50, 20), kRed);
    gui_thread::ProcessEvents();
    EXPECT_EQ(window->received, (Received{{'solo', B_CONTROL_ON}, {'tap_', B_CONTROL_OFF}}));
}

}  // namespace
