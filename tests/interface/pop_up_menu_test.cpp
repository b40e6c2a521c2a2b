// Pop-up menus open where asked and answer with the chosen item; a menu field shows the mark.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/app/gui_thread.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"
#include "platform/interface/window.h"
#include "tests/interface/menu_pick.h"

namespace {

class ChannelWindow : public BWindow {
  public:
    ChannelWindow() : BWindow(BRect(0, 0, 199, 59), "channels", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what != 'chan') return BWindow::MessageReceived(message);
        int32 index = -1;
        message->FindInt32("index", &index);
        chosen.push_back(index);
    }
    std::vector<int32> chosen;
};

BPopUpMenu* ChannelMenu() {
    auto* menu = new BPopUpMenu("Channel");
    for (const char* label : {"1", "2", "3"})
        menu->AddItem(new BMenuItem(label, new BMessage('chan')));
    return menu;
}

TEST(PopUpMenu, GoAnswersTheChosenItemAndInvokesItWhenAsked) {
    BPopUpMenu* menu = ChannelMenu();
    PickWhenOpen("2");
    BMenuItem* chosen = menu->Go(BPoint(40, 40));
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen->Label(), "2");
    // Only a delivered choice marks the item, in radio mode.
    EXPECT_EQ(menu->FindMarked(), nullptr);
    QTimer::singleShot(10, [] {
        if (QMenu* open = BMenu::OpenQMenu()) open->close();
    });
    EXPECT_EQ(menu->Go(BPoint(40, 40), true), nullptr);
    delete menu;
}

TEST(MenuField, TheButtonOpensTheMenuAndShowsTheMarkedItem) {
    auto* window = new ChannelWindow;
    BPopUpMenu* menu = ChannelMenu();
    menu->ItemAt(0)->SetMarked(true);
    auto* field = new BMenuField(BRect(4, 28, 164, 50), "mnuChannel", "Channel:", menu);
    window->AddChild(field);
    window->Show();
    gui_thread::ProcessEvents();
    ASSERT_NE(field->Widget(), nullptr);
    auto* button = field->Widget()->findChild<QPushButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->text().startsWith("1"));

    PickWhenOpen("3");
    button->click();
    for (int i = 0; i < 20 && window->chosen.empty(); ++i) gui_thread::ProcessEvents();
    EXPECT_EQ(window->chosen, std::vector<int32>{2});
    EXPECT_TRUE(button->text().startsWith("3"));
    window->Lock();
    EXPECT_EQ(menu->FindMarkedIndex(), 2);
    EXPECT_STREQ(field->MenuItem()->Label(), "3");
    window->Quit();
}

}  // namespace
