#include "platform/storage/program_resources.h"

#include "platform/storage/image_path.h"

namespace {

// Its address lies in libvelloran, whichever program has loaded it.
const char kAnchor = 0;

}  // namespace

BResources* program_resources() {
    // Never destroyed, so code that runs at exit may still use it.
    static BResources* resources = [] {
        auto loaded = new BResources;
        BPath path;
        if (get_image_path(&kAnchor, &path) == B_OK) loaded->SetTo(path.Path());
        return loaded;
    }();
    return resources;
}
