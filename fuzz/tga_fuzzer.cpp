// Images come from resources a user may have built: any bytes must be refused or read safely.
#include <cstddef>
#include <cstdint>

#include "ui/tga_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TgaImage image;
    if (ParseTga(data, size, &image) &&
        image.rgb.size() != size_t(image.width) * size_t(image.height) * 3)
        __builtin_trap();
    return 0;
}
