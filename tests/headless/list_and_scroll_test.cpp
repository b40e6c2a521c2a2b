// Lists and scroll views work out selection, geometry and archives with no Qt application.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <vector>

#include "platform/interface/list_view.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/string_item.h"

namespace {

class CountingList : public BListView {
  public:
    explicit CountingList(list_view_type type) : BListView(BRect(0, 0, 99, 49), "list", type) {}
    void SelectionChanged() override { ++changes; }
    int changes = 0;
};

struct Items {
    explicit Items(BListView* list, int count) {
        for (int i = 0; i < count; ++i) {
            items.push_back(std::make_unique<BStringItem>("item"));
            list->AddItem(items.back().get());
        }
    }
    std::vector<std::unique_ptr<BStringItem>> items;
};

TEST(HeadlessList, SelectionFollowsTheListTypeAndSurvivesRemoval) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    CountingList single(B_SINGLE_SELECTION_LIST);
    Items singleItems(&single, 4);
    single.Select(1);
    single.Select(2, true);
    EXPECT_EQ(single.CurrentSelection(0), 2);
    EXPECT_EQ(single.CurrentSelection(1), -1);

    CountingList multi(B_MULTIPLE_SELECTION_LIST);
    Items items(&multi, 5);
    multi.Select(1);
    multi.Select(3, true);
    EXPECT_EQ(multi.CurrentSelection(0), 1);
    EXPECT_EQ(multi.CurrentSelection(1), 3);
    multi.Select(1, true);
    EXPECT_EQ(multi.changes, 2) << "selecting what is selected changes nothing";
    multi.Deselect(1);
    EXPECT_FALSE(multi.IsItemSelected(1));
    multi.Select(0, 2, true);
    EXPECT_EQ(multi.CurrentSelection(3), 3);

    // Removing an item before the selection moves it up; removing a selected one drops it.
    EXPECT_EQ(multi.RemoveItem(int32(0)), items.items[0].get());
    EXPECT_EQ(multi.CurrentSelection(0), 0);
    EXPECT_EQ(multi.CurrentSelection(2), 2);
    const int before = multi.changes;
    BListItem* selected = multi.ItemAt(0);
    EXPECT_TRUE(multi.RemoveItem(selected));
    EXPECT_FALSE(selected->IsSelected());
    EXPECT_EQ(multi.changes, before + 1);
    EXPECT_EQ(multi.CurrentSelection(0), 0);
    EXPECT_EQ(multi.CountItems(), 3);
    multi.DeselectAll();
    EXPECT_EQ(multi.CurrentSelection(), -1);
}

TEST(HeadlessList, PointsFindTheItemWhoseFrameHoldsThem) {
    BListView list(BRect(0, 0, 99, 49), "list");
    Items items(&list, 3);
    items.items[1]->SetHeight(30);
    for (int32 i = 0; i < 3; ++i) {
        const BRect frame = list.ItemFrame(i);
        EXPECT_EQ(list.IndexOf(frame.LeftTop()), i);
        EXPECT_EQ(list.IndexOf(BPoint(50, frame.bottom)), i);
        if (i > 0) {
            EXPECT_EQ(frame.top, list.ItemFrame(i - 1).bottom + 1);
        }
    }
    EXPECT_EQ(list.ItemFrame(1).Height(), 30);
    EXPECT_EQ(list.IndexOf(BPoint(5, list.ItemFrame(2).bottom + 1)), -1);
    EXPECT_EQ(list.IndexOf(BPoint(5, -1)), -1);
    float width = 0, height = 0;
    list.GetPreferredSize(&width, &height);
    EXPECT_EQ(height, list.ItemFrame(2).bottom);
    EXPECT_EQ(list.IndexOf(items.items[2].get()), 2);
    list.MakeEmpty();
    EXPECT_EQ(list.CountItems(), 0);
}

TEST(HeadlessList, ScrollViewsFitTheirBarsAndScrollBothWays) {
    auto* list = new BListView(BRect(10, 10, 109, 59), "list");
    auto scroll =
        std::make_unique<BScrollView>("scroll", list, B_FOLLOW_ALL, 0, false, true, B_FANCY_BORDER);
    EXPECT_EQ(scroll->Frame(), BRect(8, 8, 111 + B_V_SCROLL_BAR_WIDTH, 61));
    EXPECT_EQ(list->Parent(), scroll.get());
    EXPECT_EQ(list->Frame().LeftTop(), BPoint(2, 2));
    BScrollBar* bar = scroll->ScrollBar(B_VERTICAL);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(list->ScrollBar(B_VERTICAL), bar);
    EXPECT_EQ(scroll->ScrollBar(B_HORIZONTAL), nullptr);

    Items items(list, 10);
    float min = -1, max = -1;
    bar->GetRange(&min, &max);
    const float content = list->ItemFrame(9).bottom + 1;
    EXPECT_EQ(max, content - 50);
    EXPECT_FLOAT_EQ(bar->Proportion(), 50 / content);

    bar->SetValue(20);
    EXPECT_EQ(list->Bounds().top, 20);
    list->ScrollTo(BPoint(0, 35));
    EXPECT_EQ(bar->Value(), 35);
    bar->SetValue(max + 100);
    EXPECT_EQ(bar->Value(), max);
    EXPECT_EQ(list->Bounds().top, max);
    list->MakeEmpty();
    EXPECT_EQ(bar->Value(), 0) << "an empty list has nothing to scroll";
    EXPECT_EQ(list->Bounds().top, 0);

    // Deleting either side unlinks the other.
    delete bar;
    EXPECT_EQ(list->ScrollBar(B_VERTICAL), nullptr);
    auto* loose = new BScrollBar(BRect(0, 0, 13, 99), "loose", list, 0, 10, B_VERTICAL);
    scroll.reset();
    EXPECT_EQ(loose->Target(), nullptr);
    delete loose;
}

TEST(HeadlessList, ListsBarsAndScrollViewsRebuildFromArchives) {
    BListView list(BRect(0, 0, 99, 49), "list", B_MULTIPLE_SELECTION_LIST);
    list.SetSelectionMessage(new BMessage('sele'));
    list.SetInvocationMessage(new BMessage('invk'));
    BMessage archive;
    ASSERT_EQ(list.Archive(&archive), B_OK);
    std::unique_ptr<BArchivable> object(instantiate_object(&archive));
    auto* rebuilt = dynamic_cast<BListView*>(object.get());
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->ListType(), B_MULTIPLE_SELECTION_LIST);
    EXPECT_EQ(rebuilt->SelectionMessage()->what, uint32('sele'));
    EXPECT_EQ(rebuilt->InvocationMessage()->what, uint32('invk'));

    auto* target = new BView(BRect(0, 0, 99, 99), "target", B_FOLLOW_ALL, 0);
    BScrollView scroll("scroll", target, B_FOLLOW_ALL, 0, true, true, B_PLAIN_BORDER);
    BScrollBar* bar = scroll.ScrollBar(B_HORIZONTAL);
    bar->SetRange(0, 300);
    bar->SetSteps(5, 50);
    bar->SetProportion(0.25f);
    bar->SetValue(120);
    BMessage scrollArchive;
    ASSERT_EQ(scroll.Archive(&scrollArchive), B_OK);
    std::unique_ptr<BArchivable> again(instantiate_object(&scrollArchive));
    auto* rebuiltScroll = dynamic_cast<BScrollView*>(again.get());
    ASSERT_NE(rebuiltScroll, nullptr);
    EXPECT_EQ(rebuiltScroll->Border(), B_PLAIN_BORDER);
    ASSERT_NE(rebuiltScroll->Target(), nullptr);
    EXPECT_STREQ(rebuiltScroll->Target()->Name(), "target");
    BScrollBar* rebuiltBar = rebuiltScroll->ScrollBar(B_HORIZONTAL);
    ASSERT_NE(rebuiltBar, nullptr);
    EXPECT_EQ(rebuiltBar->Target(), rebuiltScroll->Target());
    EXPECT_EQ(rebuiltScroll->Target()->ScrollBar(B_HORIZONTAL), rebuiltBar);
    float min, max, small, big;
    rebuiltBar->GetRange(&min, &max);
    rebuiltBar->GetSteps(&small, &big);
    EXPECT_EQ(BRect(min, max, small, big), BRect(0, 300, 5, 50));
    EXPECT_EQ(rebuiltBar->Value(), 120);
    EXPECT_EQ(rebuiltBar->Orientation(), B_HORIZONTAL);
    EXPECT_FLOAT_EQ(rebuiltBar->Proportion(), 0.25f);

    BStringItem item("hello", 2);
    item.Select();
    BMessage itemArchive;
    item.Archive(&itemArchive);
    std::unique_ptr<BArchivable> third(instantiate_object(&itemArchive));
    auto* rebuiltItem = dynamic_cast<BStringItem*>(third.get());
    ASSERT_NE(rebuiltItem, nullptr);
    EXPECT_STREQ(rebuiltItem->Text(), "hello");
    EXPECT_EQ(rebuiltItem->OutlineLevel(), 2u);
    EXPECT_TRUE(rebuiltItem->IsSelected());
}

}  // namespace
