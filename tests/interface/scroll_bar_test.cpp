// Scroll bars and their targets move each other.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <memory>
#include <vector>

#include "platform/app/gui_thread.h"
#include "platform/interface/list_view.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/string_item.h"
#include "platform/interface/window.h"

namespace {

TEST(ScrollBar, TheWidgetScrollsTheTargetAndScrollingMovesTheWidget) {
    auto* window = new BWindow(BRect(0, 0, 199, 199), "scrolling", B_TITLED_WINDOW, 0);
    auto* list = new BListView(BRect(10, 10, 109, 69), "list");
    std::vector<std::unique_ptr<BStringItem>> items;
    for (int i = 0; i < 30; ++i) {
        items.push_back(std::make_unique<BStringItem>("row"));
        list->AddItem(items.back().get());
    }
    auto* scroll = new BScrollView("scroll", list, B_FOLLOW_NONE, 0, false, true);
    window->AddChild(scroll);
    window->Show();
    gui_thread::ProcessEvents();

    window->Lock();
    BScrollBar* bar = scroll->ScrollBar(B_VERTICAL);
    auto* widget = static_cast<QScrollBar*>(bar->Widget());
    ASSERT_NE(widget, nullptr);
    float min, max;
    bar->GetRange(&min, &max);
    EXPECT_GT(max, 100);
    EXPECT_EQ(widget->maximum(), int(max));
    EXPECT_EQ(widget->orientation(), Qt::Vertical);
    window->Unlock();

    widget->setValue(30);
    gui_thread::ProcessEvents();
    window->Lock();
    EXPECT_EQ(list->Bounds().top, 30);
    EXPECT_EQ(bar->Value(), 30);
    list->ScrollTo(BPoint(0, 45));
    window->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_EQ(widget->value(), 45);

    window->Lock();
    list->Select(29);
    list->ScrollToSelection();
    EXPECT_EQ(list->Bounds().bottom, list->ItemFrame(29).bottom);
    EXPECT_EQ(bar->Value(), max);
    window->Quit();
}

}  // namespace
