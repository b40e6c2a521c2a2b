// A modal alert blocks its caller until the user answers, on the GUI thread and off it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "engine/show_error.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/alert.h"
#include "platform/interface/window.h"
#include "ui/error_alert.h"

namespace {

QMessageBox* OpenBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

void ClickButton(QMessageBox* box, const QString& label) {
    for (QAbstractButton* button : box->buttons())
        if (button->text() == label) return button->click();
    ADD_FAILURE() << "no button " << label.toStdString();
}

// The box runs in a nested loop on this thread, so the test answers it from a timer.
void AnswerWhenOpen(const std::function<void(QMessageBox*)>& answer) {
    QTimer::singleShot(10, [answer] {
        if (QMessageBox* box = OpenBox()) return answer(box);
        AnswerWhenOpen(answer);
    });
}

class AskingWindow : public BWindow {
  public:
    AskingWindow() : BWindow(BRect(0, 0, 99, 99), "asking", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'ask ') {
            log.push_back((new BAlert("Save", "Save changes?", "Cancel", "Don't save", "Save",
                                      B_WIDTH_FROM_WIDEST, B_WARNING_ALERT))
                              ->Go());
        } else if (message->what == 'next') {
            log.push_back(100);
        }
    }
    std::vector<int32> log;
};

TEST(Alert, AWindowWaitsForTheAnswerAndGetsNoMessagesMeanwhile) {
    auto* window = new AskingWindow;
    window->Show();
    std::vector<int32> seenDuringAlert;
    AnswerWhenOpen([&](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Save");
        EXPECT_EQ(box->text(), "Save changes?");
        ASSERT_EQ(box->buttons().size(), 3);
        window->PostMessage('next');
        gui_thread::ProcessEvents();
        seenDuringAlert = window->log;
        ClickButton(box, "Don't save");
    });
    window->PostMessage('ask ');
    for (int i = 0; i < 50 && window->log.size() < 2; ++i) gui_thread::ProcessEvents();
    EXPECT_TRUE(seenDuringAlert.empty());
    EXPECT_EQ(window->log, (std::vector<int32>{1, 100}));
    window->Lock();
    window->Quit();
}

TEST(Alert, ShowErrorFromAnotherThreadBlocksUntilPressed) {
    InstallErrorAlert();
    std::atomic<bool> returned{false};
    bool answered = false;
    AnswerWhenOpen([&](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Error");
        EXPECT_EQ(box->text(), "Gridloom 1 has no Input!");
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->buttons()[0]->text(), "Shit!");
        EXPECT_FALSE(returned);
        answered = true;
        ClickButton(box, "Shit!");
    });
    std::thread loader([&] {
        ShowError("%s has no Input!", "Gridloom 1");
        returned = true;
    });
    for (int i = 0; i < 100 && !returned; ++i) gui_thread::ProcessEvents();
    loader.join();
    EXPECT_TRUE(answered);
    SetErrorPresenter(nullptr);
}

}  // namespace
