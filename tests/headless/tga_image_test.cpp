// TGA images are read whole and exactly; anything damaged is refused.
#include <gtest/gtest.h>

#include <vector>

#include "ui/tga_image.h"

namespace {

// A 2 x 2 image: rows of (B, G, R) pixels in file order.
std::vector<uint8> Tga(bool topDown, uint8 type = 2, uint8 bpp = 24) {
    std::vector<uint8> bytes(18, 0);
    bytes[2] = type;
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = bpp;
    bytes[17] = topDown ? 0x20 : 0;
    for (uint8 v : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) bytes.push_back(v);
    return bytes;
}

TEST(TgaImage, ReadsPixelsAsRgbInTopDownOrder) {
    TgaImage image;
    std::vector<uint8> top = Tga(true);
    ASSERT_TRUE(ParseTga(top.data(), top.size(), &image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.rgb, (std::vector<uint8>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));

    // Bottom-left origin: the first stored row is the bottom one.
    std::vector<uint8> bottom = Tga(false);
    ASSERT_TRUE(ParseTga(bottom.data(), bottom.size(), &image));
    EXPECT_EQ(image.rgb, (std::vector<uint8>{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));

    // An image ID is skipped and trailing bytes are ignored.
    std::vector<uint8> withId = Tga(true);
    withId[0] = 3;
    withId.insert(withId.begin() + 18, {'a', 'b', 'c'});
    withId.insert(withId.end(), {0xee, 0xee});
    ASSERT_TRUE(ParseTga(withId.data(), withId.size(), &image));
    EXPECT_EQ(image.rgb[0], 3);
    EXPECT_EQ(image.rgb[11], 10);
}

TEST(TgaImage, RefusesDamagedImages) {
    TgaImage image;
    image.width = 77;
    const std::vector<uint8> good = Tga(true);
    EXPECT_FALSE(ParseTga(good.data(), 17, &image));               // short header
    EXPECT_FALSE(ParseTga(good.data(), good.size() - 1, &image));  // a pixel byte short
    EXPECT_FALSE(ParseTga(nullptr, 100, &image));
    std::vector<uint8> rle = Tga(true, 10);
    EXPECT_FALSE(ParseTga(rle.data(), rle.size(), &image));
    std::vector<uint8> deep = Tga(true, 2, 32);
    EXPECT_FALSE(ParseTga(deep.data(), deep.size(), &image));
    std::vector<uint8> lying = Tga(true);
    lying[13] = 0x10;  // claims 4098 pixels wide
    EXPECT_FALSE(ParseTga(lying.data(), lying.size(), &image));
    std::vector<uint8> empty = Tga(true);
    empty[14] = 0;
    EXPECT_FALSE(ParseTga(empty.data(), empty.size(), &image));
    std::vector<uint8> huge = Tga(true);
    huge[12] = huge[13] = huge[14] = huge[15] = 0xff;
    EXPECT_FALSE(ParseTga(huge.data(), huge.size(), &image));
    std::vector<uint8> mapped = Tga(true);
    mapped[1] = 1;
    EXPECT_FALSE(ParseTga(mapped.data(), mapped.size(), &image));
    EXPECT_EQ(image.width, 77);  // untouched
}

}  // namespace
