// The main window's transport buttons as the program's resources hold them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/interface/bitmap.h"
#include "ui/resource_to_bitmap.h"

namespace {

struct TransportImage {
    std::unique_ptr<BBitmap> bitmap;
    int32 width = 0, height = 0;
};

TransportImage Load(const std::string& name) {
    BBitmap* bitmap = nullptr;
    TransportImage image;
    EXPECT_EQ(ResourceToBitmap(name.c_str(), &bitmap, &image.width, &image.height), 1) << name;
    image.bitmap.reset(bitmap);
    return image;
}

// A lamp colour: bright and strongly coloured.
bool Glows(rgb_color c) {
    const int high = std::max({c.red, c.green, c.blue});
    const int low = std::min({c.red, c.green, c.blue});
    return high > 200 && high - low > 120;
}

// Whether the channel picked outshines both others, as in a red or green lamp but not amber.
bool Outshines(rgb_color c, uint8 rgb_color::*channel) {
    for (uint8 rgb_color::*other : {&rgb_color::red, &rgb_color::green, &rgb_color::blue})
        if (other != channel && c.*channel - c.*other <= 100) return false;
    return true;
}

// Pixels that glow; given a channel, only those it outshines in.
int CountGlowing(const TransportImage& image, uint8 rgb_color::*channel = nullptr) {
    int glowing = 0;
    for (int32 y = 0; y < image.height; ++y)
        for (int32 x = 0; x < image.width; ++x) {
            const rgb_color c = image.bitmap->PixelAt(x, y);
            glowing += Glows(c) && (!channel || Outshines(c, channel));
        }
    return glowing;
}

const char* const kButtons[] = {"Play", "Rec", "Loop", "Solo", "Details"};

TEST(TransportImagesTest, EachStateLoadsAtItsButtonsSize) {
    for (const std::string button : kButtons)
        for (const char* state : {"Off", "On"}) {
            const TransportImage image = Load(button + state);
            ASSERT_NE(image.bitmap, nullptr);
            EXPECT_EQ(image.width, button == "Play" ? 39 : 25) << button << state;
            EXPECT_EQ(image.height, 23) << button << state;
            EXPECT_EQ(image.bitmap->ColorSpace(), B_RGB32);
        }
}

// Drawn with copy or over alike: no pixel is the colour the over mode skips, the frame is
// dark against the panel and the corners take the panel's grey.
TEST(TransportImagesTest, OpaqueWithAFrameOnThePanel) {
    for (const std::string button : kButtons)
        for (const char* state : {"Off", "On"}) {
            const TransportImage image = Load(button + state);
            ASSERT_NE(image.bitmap, nullptr);
            const int32 right = image.width - 1, bottom = image.height - 1;
            for (int32 y = 0; y <= bottom; ++y)
                for (int32 x = 0; x <= right; ++x) {
                    const rgb_color c = image.bitmap->PixelAt(x, y);
                    EXPECT_FALSE(c.red == 119 && c.green == 116 && c.blue == 119);
                    const bool corner = (x == 0 || x == right) && (y == 0 || y == bottom);
                    const bool edge = x == 0 || x == right || y == 0 || y == bottom;
                    if (corner) {
                        EXPECT_TRUE(c.red == 216 && c.green == 216 && c.blue == 216)
                            << button << state;
                    } else if (edge) {
                        EXPECT_LT(c.red + c.green + c.blue, 3 * 100) << button << state;
                    }
                }
        }
}

// Lit buttons show a lamp; unlit ones none, so the two states never read alike.
TEST(TransportImagesTest, OnlyTheLitStateGlows) {
    for (const std::string button : kButtons) {
        EXPECT_EQ(CountGlowing(Load(button + "Off")), 0) << button;
        EXPECT_GT(CountGlowing(Load(button + "On")), 20) << button;
    }
    // Record lights red, play green.
    EXPECT_GT(CountGlowing(Load("RecOn"), &rgb_color::red), 20);
    EXPECT_GT(CountGlowing(Load("PlayOn"), &rgb_color::green), 20);
}

}  // namespace
