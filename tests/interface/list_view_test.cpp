// List views draw, select and invoke from the window's input, and drag their items.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <memory>
#include <vector>

#include "platform/app/gui_thread.h"
#include "platform/interface/list_view.h"
#include "platform/interface/string_item.h"
#include "platform/interface/window.h"
#include "platform/interface/window_canvas.h"

namespace {

struct Sent {
    uint32 what;
    int32 index;
};

class RecordingWindow : public BWindow {
  public:
    RecordingWindow() : BWindow(BRect(100, 100, 299, 199), "lists", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what < 0x10000) return BWindow::MessageReceived(message);
        int32 index = -1;
        message->FindInt32("index", &index);
        sent.push_back({message->what, index});
    }
    std::vector<Sent> sent;
};

// Starts dragging the pressed item's index.
class DraggingList : public BListView {
  public:
    DraggingList() : BListView(BRect(10, 10, 109, 89), "list") {}
    bool InitiateDrag(BPoint, int32 index, bool) override {
        BMessage drag('drag');
        drag.AddInt32("index", index);
        DragMessage(&drag, ItemFrame(index));
        return true;
    }
};

class DropTarget : public BView {
  public:
    DropTarget() : BView(BRect(120, 10, 189, 89), "drop", B_FOLLOW_NONE, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what != 'drag') return BView::MessageReceived(message);
        dropped = message->WasDropped();
        dropPoint = message->DropPoint();
        message->FindInt32("index", &index);
    }
    bool dropped = false;
    BPoint dropPoint;
    int32 index = -1;
};

class ListViewTest : public testing::Test {
  protected:
    ListViewTest() {
        for (const char* text : {"one", "two", "three"}) {
            items.push_back(std::make_unique<BStringItem>(text));
            list->AddItem(items.back().get());
        }
        list->SetSelectionMessage(new BMessage('sele'));
        list->SetInvocationMessage(new BMessage('invk'));
        window->AddChild(list);
        window->AddChild(target);
        window->Show();
        gui_thread::ProcessEvents();
        window->Lock();
    }
    ~ListViewTest() override {
        BView::SetDragRunner(nullptr);
        window->Quit();
    }
    // The middle of an item in window coordinates.
    BPoint Middle(int32 index) {
        const BRect frame = list->ItemFrame(index);
        return list->ConvertToWindow(BPoint(40, (frame.top + frame.bottom) / 2));
    }
    void Settle() {
        window->Unlock();
        gui_thread::ProcessEvents();
        window->Lock();
    }

    std::vector<std::unique_ptr<BStringItem>> items;
    RecordingWindow* window = new RecordingWindow;
    DraggingList* list = new DraggingList;
    DropTarget* target = new DropTarget;
};

TEST_F(ListViewTest, SelectedItemsDrawOnTheHighlight) {
    list->Select(1);
    const QImage image = window->Snapshot();
    const BPoint selected = list->ConvertToWindow(list->ItemFrame(1).RightBottom()) - BPoint(2, 0);
    const BPoint plain = list->ConvertToWindow(list->ItemFrame(0).RightBottom()) - BPoint(2, 0);
    const QRgb highlight = image.pixel(int(selected.x), int(selected.y));
    EXPECT_NE(highlight, image.pixel(int(plain.x), int(plain.y)));
    EXPECT_EQ(image.pixel(int(plain.x), int(plain.y)), qRgb(255, 255, 255));
    // Text is drawn over the highlight.
    const BRect row = list->ConvertToWindow(list->ItemFrame(1));
    int ink = 0;
    for (int y = int(row.top); y <= int(row.bottom); ++y)
        for (int x = int(row.left); x < int(row.left) + 30; ++x)
            ink += image.pixel(x, y) != highlight;
    EXPECT_GT(ink, 5);
}

TEST_F(ListViewTest, ClicksSelectAndDoubleClicksInvoke) {
    window->DeliverMouseDown(Middle(2), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseUp(Middle(2));
    EXPECT_EQ(list->CurrentSelection(), 2);
    window->DeliverMouseDown(Middle(2), B_PRIMARY_MOUSE_BUTTON, 2);
    window->DeliverMouseUp(Middle(2));
    window->DeliverKeyDown("\x1e", 0);
    Settle();
    EXPECT_EQ(list->CurrentSelection(), 1) << "the up arrow moves the selection";
    ASSERT_EQ(window->sent.size(), 3u);
    EXPECT_EQ(window->sent[0].what, uint32('sele'));
    EXPECT_EQ(window->sent[0].index, 2);
    EXPECT_EQ(window->sent[1].what, uint32('invk'));
    EXPECT_EQ(window->sent[1].index, 2);
    EXPECT_EQ(window->sent[2].what, uint32('sele'));
    EXPECT_EQ(window->sent[2].index, 1);
}

TEST_F(ListViewTest, PressAndMoveDragsTheMessageToTheViewItIsDroppedOn) {
    QByteArray dragged;
    BView::SetDragRunner([&](QDrag* drag) { dragged = drag->mimeData()->data(kMessageMimeType); });
    window->DeliverMouseDown(Middle(0), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseMoved(Middle(0) + BPoint(1, 1), B_PRIMARY_MOUSE_BUTTON);
    Settle();
    EXPECT_TRUE(dragged.isEmpty()) << "a small move is still a click";
    window->DeliverMouseMoved(Middle(0) + BPoint(0, 8), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_TRUE(dragged.isEmpty()) << "the drag starts after the hook returns";
    Settle();
    BMessage message;
    ASSERT_EQ(message.Unflatten(dragged.constData(), dragged.size()), B_OK);
    EXPECT_EQ(message.what, uint32('drag'));
    EXPECT_EQ(message.FindInt32("index", &target->index), B_OK);
    EXPECT_EQ(target->index, 0);
    target->index = -1;

    // The window's widget takes the drop and hands it to the view under it. Qt drops only
    // where a drag entered first.
    QMimeData data;
    data.setData(kMessageMimeType, dragged);
    const BPoint where = target->ConvertToWindow(BPoint(10, 10));
    QDropEvent drop(QPointF(where.x, where.y), Qt::CopyAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QWidget* canvas = window->Canvas();
    window->Unlock();
    QDragEnterEvent enter(drop.position().toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QCoreApplication::sendEvent(canvas, &drop);
    gui_thread::ProcessEvents();
    window->Lock();
    EXPECT_TRUE(target->dropped);
    EXPECT_EQ(target->index, 0);
    EXPECT_EQ(target->dropPoint, where + window->Frame().LeftTop());
}

}  // namespace
