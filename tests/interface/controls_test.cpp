// Native controls send their messages to the window when the user works their widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <vector>

#include "platform/app/gui_thread.h"
#include "platform/interface/button.h"
#include "platform/interface/check_box.h"
#include "platform/interface/window.h"

namespace {

class RecordingWindow : public BWindow {
  public:
    RecordingWindow() : BWindow(BRect(0, 0, 199, 99), "controls", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what < 0x10000) return BWindow::MessageReceived(message);
        int32 value = -1;
        message->FindInt32("be:value", &value);
        received->push_back({message->what, value});
    }
    std::vector<std::pair<uint32, int32>>* received = nullptr;
};

TEST(Controls, ClicksPostTheMessageWithTheValueToTheWindow) {
    std::vector<std::pair<uint32, int32>> received;
    auto* window = new RecordingWindow;
    window->received = &received;
    auto* button = new BButton(BRect(5, 5, 84, 28), "ok", "OK", new BMessage('okay'));
    auto* box = new BCheckBox(BRect(5, 40, 104, 59), "mute", "Mute", new BMessage('mute'));
    window->AddChild(button);
    window->AddChild(box);
    window->Show();
    gui_thread::ProcessEvents();
    ASSERT_NE(button->Widget(), nullptr);
    EXPECT_EQ(static_cast<QPushButton*>(button->Widget())->text(), "OK");

    static_cast<QPushButton*>(button->Widget())->click();
    gui_thread::ProcessEvents();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], std::make_pair(uint32('okay'), int32(0)));

    auto* check = static_cast<QCheckBox*>(box->Widget());
    check->click();
    gui_thread::ProcessEvents();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1], std::make_pair(uint32('mute'), int32(B_CONTROL_ON)));
    window->Lock();
    EXPECT_EQ(box->Value(), B_CONTROL_ON);
    // The model drives the widget, and a disabled control's widget is disabled.
    box->SetValue(B_CONTROL_OFF);
    box->SetEnabled(false);
    window->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(check->isEnabled());

    window->Lock();
    window->Quit();
}

}  // namespace
