#include "ui/tga_image.h"

namespace {

constexpr size_t kHeaderSize = 18;

uint32 Le16(const uint8* p) {
    return uint32(p[0]) | uint32(p[1]) << 8;
}

}  // namespace

bool ParseTga(const void* data, size_t size, TgaImage* out) {
    if (!data || !out || size < kHeaderSize) return false;
    const auto* bytes = static_cast<const uint8*>(data);
    const size_t idLength = bytes[0];
    const uint8 colorMapType = bytes[1];
    const uint8 imageType = bytes[2];
    const uint32 width = Le16(bytes + 12);
    const uint32 height = Le16(bytes + 14);
    const uint8 bpp = bytes[16];
    const bool topDown = bytes[17] & 0x20;
    if (imageType != 2 || bpp != 24 || colorMapType != 0) return false;
    if (width == 0 || height == 0 || width > kTgaMaxSide || height > kTgaMaxSide) return false;
    const size_t start = kHeaderSize + idLength;
    const size_t length = size_t(width) * height * 3;
    if (size < start || size - start < length) return false;

    TgaImage image;
    image.width = int32(width);
    image.height = int32(height);
    image.rgb.resize(length);
    const size_t row = size_t(width) * 3;
    for (uint32 y = 0; y < height; ++y) {
        const uint8* from = bytes + start + size_t(topDown ? y : height - 1 - y) * row;
        uint8* to = image.rgb.data() + size_t(y) * row;
        for (size_t x = 0; x < row; x += 3) {
            to[x] = from[x + 2];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x];
        }
    }
    *out = std::move(image);
    return true;
}
