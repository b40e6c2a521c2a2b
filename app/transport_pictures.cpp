#include "app/transport_pictures.h"

#include <memory>
#include <string>

#include "platform/interface/bitmap.h"
#include "platform/interface/picture.h"
#include "platform/interface/picture_button.h"
#include "ui/resource_to_bitmap.h"

namespace {

struct Face {
    const char* button;
    const char* image;
};

constexpr Face kFaces[] = {{"btnPlay", "Play"},
                           {"btnRec", "Rec"},
                           {"btnLoop", "Loop"},
                           {"btnSolo", "Solo"},
                           {"btnSongDetails", "Details"}};

std::unique_ptr<BPicture> Picture(const std::string& name) {
    BBitmap* bitmap = nullptr;
    int32 width = 0;
    int32 height = 0;
    if (!ResourceToBitmap(name.c_str(), &bitmap, &width, &height)) return nullptr;
    std::unique_ptr<BBitmap> owned(bitmap);
    return std::make_unique<BPicture>(*owned);
}

}  // namespace

void DressTransportButtons(BView* root) {
    for (const Face& face : kFaces) {
        auto* button = dynamic_cast<BPictureButton*>(root->FindView(face.button));
        auto off = Picture(std::string(face.image) + "Off");
        auto on = Picture(std::string(face.image) + "On");
        if (button == nullptr || !off || !on) continue;
        button->SetEnabledOff(off.get());
        button->SetEnabledOn(on.get());
    }
}
