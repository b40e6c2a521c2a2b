// A menu bar shows as a Qt menu bar whose actions and shortcuts reach the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <atomic>
#include <vector>

#include "platform/app/gui_thread.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/window.h"
#include "platform/kernel/os.h"

namespace {

class MenuWindow : public BWindow {
  public:
    MenuWindow() : BWindow(BRect(10, 10, 209, 109), "menus", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'save' || message->what == 'new ') {
            int32 repeat = 0;
            message->FindInt32("be:key_repeat", &repeat);
            repeats.push_back(repeat);
            last = message->what;
            ++received;
            return;
        }
        BWindow::MessageReceived(message);
    }
    // Written before received counts the message.
    std::vector<int32> repeats;
    std::atomic<uint32> last{0};
    std::atomic<int> received{0};
};

bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 400 && !done(); ++i) {
        gui_thread::ProcessEvents();
        snooze(2000);
    }
    return done();
}

TEST(MenuBar, ActionsMirrorItemsAndInvokeThemOnTheWindow) {
    auto* window = new MenuWindow;
    auto* bar = new BMenuBar(BRect(0, 0, 199, 19), "bar");
    auto* file = new BMenu("File");
    file->AddItem(new BMenuItem("Save", new BMessage('save'), 's'));
    file->AddItem(new BMenuItem("New", new BMessage('new '), 'n', B_OPTION_KEY));
    bar->AddItem(file);
    window->AddChild(bar);
    EXPECT_EQ(window->KeyMenuBar(), bar);
    window->Show();
    ASSERT_TRUE(WaitFor([&] { return bar->Widget() != nullptr; }));
    auto* qbar = qobject_cast<QMenuBar*>(bar->Widget());
    ASSERT_NE(qbar, nullptr);
    ASSERT_EQ(qbar->actions().size(), 1);
    QMenu* qfile = qbar->actions()[0]->menu();
    ASSERT_NE(qfile, nullptr);
    ASSERT_EQ(qfile->actions().size(), 2);
    EXPECT_EQ(qfile->actions()[0]->text(), "Save");
    EXPECT_EQ(qfile->actions()[0]->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(qfile->actions()[1]->shortcut(), QKeySequence("Ctrl+Shift+N"));

    qfile->actions()[1]->trigger();
    ASSERT_TRUE(WaitFor([&] { return window->received == 1; }));
    EXPECT_EQ(window->last, uint32('new '));

    // A real Ctrl+S: Qt's text is the control character 0x13, the key is S.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, QString(QChar(0x13)));
    QCoreApplication::sendEvent(window->Canvas(), &press);
    ASSERT_TRUE(WaitFor([&] { return window->received == 2; }));
    EXPECT_EQ(window->last, uint32('save'));
    window->Lock();
    window->Quit();
}

// Commands such as adding a track must not repeat while their key is held, so the shortcuts'
// messages, the menu's and the window's own, tell auto-repeats from presses.
TEST(MenuBar, ShortcutsHeldDownSayTheirMessagesAreRepeats) {
    auto* window = new MenuWindow;
    auto* bar = new BMenuBar(BRect(0, 0, 199, 19), "bar");
    auto* file = new BMenu("File");
    file->AddItem(new BMenuItem("Save", new BMessage('save'), 's'));
    bar->AddItem(file);
    window->AddChild(bar);
    window->AddShortcut('n', 0, new BMessage('new '));
    window->Show();
    ASSERT_TRUE(WaitFor([&] { return bar->Widget() != nullptr; }));
    for (int key : {Qt::Key_S, Qt::Key_N})
        for (bool autoRepeat : {false, true, true}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, QString(), autoRepeat);
            QCoreApplication::sendEvent(window->Canvas(), &press);
        }
    ASSERT_TRUE(WaitFor([&] { return window->received == 6; }));
    EXPECT_EQ(window->repeats, (std::vector<int32>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(window->last, uint32('new '));
    window->Lock();
    window->Quit();
}

}  // namespace
