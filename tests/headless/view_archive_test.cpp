// Views and windows are built, laid out, archived and rebuilt with no Qt application.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/interface/view.h"
#include "platform/interface/window.h"

namespace {

TEST(Headless, WindowsAndViewsArchiveAndRebuildWithoutAnApplication) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    auto* window = new BWindow(BRect(50, 60, 249, 159), "Mixer", B_TITLED_WINDOW, B_NOT_ZOOMABLE);
    auto* panel = new BView(BRect(0, 0, 199, 49), "panel", B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW);
    panel->SetViewColor(10, 20, 30);
    panel->SetHighColor(1, 2, 3);
    auto* inner = new BView(BRect(150, 5, 194, 44), "inner", B_FOLLOW_RIGHT, 0);
    panel->AddChild(inner);
    window->AddChild(panel);
    window->SetSizeLimits(100, 400, 50, 300);

    // Resizing modes: the panel follows both sides, the inner view the right edge.
    window->ResizeTo(299, 99);
    EXPECT_EQ(panel->Frame(), BRect(0, 0, 299, 49));
    EXPECT_EQ(inner->Frame(), BRect(250, 5, 294, 44));
    EXPECT_EQ(inner->ConvertToScreen(BPoint(0, 0)), BPoint(300, 65));

    BMessage archive;
    ASSERT_EQ(window->Archive(&archive, true), B_OK);
    window->Lock();
    window->Quit();

    auto* rebuilt = dynamic_cast<BWindow*>(instantiate_object(&archive));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_STREQ(rebuilt->Title(), "Mixer");
    EXPECT_EQ(rebuilt->Frame(), BRect(50, 60, 349, 159));
    float minW, maxW, minH, maxH;
    rebuilt->GetSizeLimits(&minW, &maxW, &minH, &maxH);
    EXPECT_EQ(minW, 100);
    EXPECT_EQ(maxH, 300);
    BView* found = rebuilt->FindView("inner");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Frame(), BRect(250, 5, 294, 44));
    EXPECT_EQ(found->ResizingMode(), uint32(B_FOLLOW_RIGHT));
    BView* foundPanel = rebuilt->FindView("panel");
    EXPECT_EQ(foundPanel->ViewColor(), (rgb_color{10, 20, 30, 255}));
    EXPECT_EQ(foundPanel->HighColor(), (rgb_color{1, 2, 3, 255}));
    EXPECT_EQ(found->Parent(), foundPanel);
    rebuilt->Lock();
    rebuilt->Quit();
}

TEST(Headless, UnknownClassesAndForeignArchivesAreRefused) {
    BMessage archive;
    archive.AddString("class", "NoSuchView");
    EXPECT_EQ(instantiate_object(&archive), nullptr);
    BMessage viewArchive;
    viewArchive.AddString("class", "BView");
    EXPECT_EQ(BWindow::Instantiate(&viewArchive), nullptr);
    // A subclass nobody registered falls back to the first class that is known.
    BMessage fallback;
    fallback.AddString("class", "PluginOnlyView");
    fallback.AddString("class", "BView");
    fallback.AddString("_name", "plain");
    BArchivable* object = instantiate_object(&fallback);
    auto* view = dynamic_cast<BView*>(object);
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->Name(), "plain");
    delete view;
}

}  // namespace
