#include "tools/rescomp/tga_check.h"

#include "message/byte_order.h"

namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8 kTrueColour = 2;
constexpr uint8 kBitsPerPixel = 24;
// Alpha bits and the reserved interleave bits; only the origin bits may be set.
constexpr uint8 kForbiddenDescriptorBits = 0xcf;

}  // namespace

std::string CheckTga(const std::vector<uint8>& bytes) {
    if (bytes.size() < kHeaderSize) return "is too short for a TGA header";
    const uint8* h = bytes.data();
    if (h[1] != 0) return "has a colour map";
    if (h[2] != kTrueColour) return "is not an uncompressed true-colour TGA image";
    for (size_t i = 3; i < 8; i++) {
        if (h[i] != 0) return "describes a colour map it does not have";
    }
    size_t width = ReadLE16(h + 12);
    size_t height = ReadLE16(h + 14);
    if (width == 0 || height == 0) return "has no pixels";
    if (h[16] != kBitsPerPixel) return "does not have 24 bits per pixel";
    if (h[17] & kForbiddenDescriptorBits) return "has alpha or interleave bits set";
    // Anything after the pixels is the optional TGA 2.0 extension area and footer.
    if (bytes.size() < kHeaderSize + h[0] + width * height * 3) return "is cut short";
    return "";
}
