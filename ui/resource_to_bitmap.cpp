#include "ui/resource_to_bitmap.h"

#include <memory>

#include "platform/interface/bitmap.h"
#include "platform/storage/program_resources.h"
#include "ui/tga_image.h"

int32 ResourceToBitmap(const char* name, BBitmap** bitmap, int32* width, int32* height,
                       BResources* resources) {
    if (bitmap) *bitmap = nullptr;
    if (!name || !bitmap) return 0;
    if (!resources) resources = program_resources();
    if (resources->InitCheck() != B_OK) return 0;
    size_t size = 0;
    const void* data = resources->LoadResource(B_RAW_TYPE, name, &size);
    TgaImage image;
    if (!data || !ParseTga(data, size, &image)) return 0;
    auto made = std::make_unique<BBitmap>(
        BRect(0, 0, float(image.width - 1), float(image.height - 1)), B_RGB32);
    if (!made->IsValid() || made->ImportBits(image.rgb.data(), int32(image.rgb.size()),
                                             image.width * 3, 0, B_RGB24_BIG) != B_OK)
        return 0;
    *bitmap = made.release();
    if (width) *width = image.width;
    if (height) *height = image.height;
    return 1;
}
