#include "addons/Gridloom/addon_resources.h"

#include <memory>

#include "platform/storage/image_path.h"
#include "platform/storage/path.h"
#include "platform/storage/resources.h"

namespace {

// Its address lies in the add-on's image, wherever the image was loaded from.
const char kAnchor = 0;

BResources* gResources = nullptr;

}  // namespace

BResources* AddonResources() {
    if (gResources != nullptr) return gResources;
    BPath path;
    auto opened = std::make_unique<BResources>();
    if (get_image_path(&kAnchor, &path) != B_OK || opened->SetTo(path.Path()) != B_OK)
        return nullptr;
    gResources = opened.release();
    return gResources;
}
