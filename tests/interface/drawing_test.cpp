// Drawing lands on exact pixels: pixel centres are integers and rectangles hold both edges.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "platform/interface/bitmap.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kWhite = {255, 255, 255, 255};
constexpr rgb_color kRed = {255, 0, 0, 255};

class Canvas : public BView {
  public:
    std::function<void(BView*)> paint;
    Canvas() : BView(BRect(10, 10, 59, 49), "canvas", B_FOLLOW_NONE, B_WILL_DRAW) {
        SetViewColor(kWhite);
    }
    void Draw(BRect) override {
        if (paint) paint(this);
    }
};

class DrawingTest : public testing::Test {
  protected:
    DrawingTest() : window(new BWindow(BRect(0, 0, 99, 99), "drawing", B_TITLED_WINDOW, 0)) {
        window->AddChild(canvas);
    }
    ~DrawingTest() override {
        window->Lock();
        window->Quit();
    }
    // Colour of a pixel in the canvas's coordinates.
    rgb_color At(int x, int y) {
        const QRgb p = image.pixel(x + 10, y + 10);
        return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255};
    }
    int CountInk(BRect area) {
        int count = 0;
        for (int y = int(area.top); y <= int(area.bottom); ++y)
            for (int x = int(area.left); x <= int(area.right); ++x) count += !(At(x, y) == kWhite);
        return count;
    }
    void Render(std::function<void(BView*)> paint) {
        window->Lock();
        canvas->paint = std::move(paint);
        canvas->Invalidate();
        image = window->Snapshot();
        window->Unlock();
    }

    BWindow* window;
    Canvas* canvas = new Canvas;
    QImage image;
};

TEST_F(DrawingTest, LinesLightBothEndsAndRectanglesHoldBothEdges) {
    Render([](BView* v) {
        v->SetHighColor(kRed);
        v->StrokeLine(BPoint(0, 0), BPoint(10, 0));
        v->FillRect(BRect(2, 4, 4, 6));
        v->StrokeRect(BRect(20, 4, 25, 8));
        v->StrokeLine(BPoint(30, 30), BPoint(30, 30));
        v->StrokeLine(BPoint(0, 20), BPoint(10, 30));
        v->StrokeLine(BPoint(40, 39), BPoint(42, 29));
    });
    EXPECT_EQ(CountInk(BRect(0, 0, 49, 0)), 11);
    EXPECT_EQ(At(10, 0), kRed);
    EXPECT_EQ(At(11, 0), kWhite);
    EXPECT_EQ(CountInk(BRect(0, 2, 15, 10)), 9);
    EXPECT_EQ(At(2, 4), kRed);
    EXPECT_EQ(At(4, 6), kRed);
    EXPECT_EQ(CountInk(BRect(18, 2, 28, 10)), 2 * 6 + 2 * 3);
    EXPECT_EQ(At(25, 8), kRed);
    EXPECT_EQ(At(22, 6), kWhite);
    EXPECT_EQ(CountInk(BRect(28, 28, 32, 32)), 1);
    EXPECT_EQ(CountInk(BRect(0, 20, 15, 35)), 11);
    EXPECT_EQ(At(10, 30), kRed);
    EXPECT_EQ(CountInk(BRect(38, 27, 45, 39)), 11);
    EXPECT_EQ(At(40, 39), kRed);
    EXPECT_EQ(At(42, 29), kRed);
    // Nothing outside the view: its frame clips.
    EXPECT_EQ(image.pixel(9, 10), qRgb(216, 216, 216));
}

TEST_F(DrawingTest, TrianglesFillTheirEdges) {
    Render([](BView* v) {
        v->SetHighColor(kRed);
        v->FillTriangle(BPoint(0, 0), BPoint(10, 0), BPoint(0, 10));
    });
    // Pixels with x + y <= 10 in the quadrant: 66 of them.
    EXPECT_EQ(CountInk(BRect(0, 0, 20, 20)), 66);
    EXPECT_EQ(At(10, 0), kRed);
    EXPECT_EQ(At(5, 5), kRed);
    EXPECT_EQ(At(6, 5), kWhite);
}

TEST_F(DrawingTest, StringsSitOnTheirBaseline) {
    Render([](BView* v) {
        v->SetHighColor(0, 0, 0);
        v->DrawString("H", BPoint(5, 20));
    });
    int lowest = -1, highest = 100;
    for (int y = 0; y < 40; ++y)
        if (CountInk(BRect(0, y, 49, y)) > 0) lowest = y, highest = std::min(highest, y);
    EXPECT_EQ(lowest, 20);
    EXPECT_GT(lowest - highest, 5);
}

TEST_F(DrawingTest, DrawingModesCombineSourceAndDestination) {
    Render([](BView* v) {
        v->SetHighColor(200, 100, 0);
        v->FillRect(BRect(0, 0, 9, 9));
        v->SetDrawingMode(B_OP_BLEND);
        v->SetHighColor(0, 100, 200);
        v->FillRect(BRect(0, 0, 4, 9));
        v->SetDrawingMode(B_OP_ALPHA);
        v->SetHighColor(0, 0, 255, 64);
        v->FillRect(BRect(20, 0, 29, 9));
        v->SetDrawingMode(B_OP_INVERT);
        v->FillRect(BRect(5, 0, 9, 0));
        v->SetDrawingMode(B_OP_ADD);
        v->SetHighColor(100, 200, 100);
        v->FillRect(BRect(5, 5, 9, 9));
    });
    EXPECT_EQ(At(0, 0), (rgb_color{100, 100, 100, 255}));
    EXPECT_EQ(At(7, 0), (rgb_color{55, 155, 255, 255}));
    EXPECT_EQ(At(7, 7), (rgb_color{255, 255, 100, 255}));
    // A quarter of blue over white.
    EXPECT_EQ(At(25, 5), (rgb_color{191, 191, 255, 255}));
}

TEST_F(DrawingTest, BitmapsDrawOverAndCopy) {
    BBitmap bitmap(BRect(0, 0, 3, 3), B_RGBA32);
    uint8 pixels[16 * 4] = {};
    for (int i = 0; i < 16; ++i) {
        pixels[i * 4 + 1] = 255;              // green
        pixels[i * 4 + 3] = i % 2 ? 0 : 255;  // every other pixel transparent
    }
    bitmap.ImportBits(pixels, sizeof pixels, 16, 0, B_RGBA32);
    Render([&](BView* v) {
        v->DrawBitmap(&bitmap, BPoint(0, 0));
        v->SetDrawingMode(B_OP_OVER);
        v->DrawBitmap(&bitmap, BPoint(10, 0));
    });
    EXPECT_EQ(At(0, 0), (rgb_color{0, 255, 0, 255}));
    EXPECT_EQ(At(1, 0), (rgb_color{0, 255, 0, 255}));
    EXPECT_EQ(At(10, 0), (rgb_color{0, 255, 0, 255}));
    EXPECT_EQ(At(11, 0), kWhite);
    EXPECT_EQ(At(4, 0), kWhite);
}

TEST(BitmapViews, DrawIntoTheBitmap) {
    BBitmap bitmap(BRect(0, 0, 19, 9), B_RGB32, true);
    auto* view = new BView(bitmap.Bounds(), "offscreen", B_FOLLOW_NONE, 0);
    bitmap.AddChild(view);
    bitmap.Lock();
    view->SetHighColor(1, 2, 3);
    view->FillRect(BRect(5, 5, 6, 6));
    bitmap.Unlock();
    EXPECT_EQ(bitmap.PixelAt(5, 5), (rgb_color{1, 2, 3, 255}));
    EXPECT_EQ(bitmap.PixelAt(7, 5), (rgb_color{0, 0, 0, 255}));
    EXPECT_EQ(bitmap.FindView("offscreen"), view);
}

}  // namespace
