#include "platform/interface/picture.h"

#include <algorithm>
#include <vector>

#include "platform/interface/view.h"

REGISTER_ARCHIVABLE(BPicture)

namespace {

constexpr int32 kBytesPerPixel = 4;

std::unique_ptr<BBitmap> CopyOf(const void* bits, int32 length, int32 bytesPerRow, int32 width,
                                int32 height, color_space space) {
    if (width <= 0 || height <= 0) return nullptr;
    auto copy =
        std::make_unique<BBitmap>(BRect(0, 0, float(width - 1), float(height - 1)), B_RGBA32);
    if (!copy->IsValid() || copy->ImportBits(bits, length, bytesPerRow, 0, space) != B_OK)
        return nullptr;
    return copy;
}

std::unique_ptr<BBitmap> CopyOf(const BBitmap& bitmap) {
    const BRect bounds = bitmap.Bounds();
    if (!bitmap.IsValid()) return nullptr;
    return CopyOf(bitmap.Bits(), bitmap.BitsLength(), bitmap.BytesPerRow(),
                  int32(bounds.Width()) + 1, int32(bounds.Height()) + 1, bitmap.ColorSpace());
}

}  // namespace

BPicture::BPicture(const BBitmap& bitmap) : fBitmap(CopyOf(bitmap)) {}

BPicture::BPicture(const BPicture& other)
    : BArchivable(), fBitmap(other.fBitmap ? CopyOf(*other.fBitmap) : nullptr) {}

BPicture::BPicture(BMessage* archive) : BArchivable(archive) {
    int32 width = 0, height = 0;
    archive->FindInt32("_width", &width);
    archive->FindInt32("_height", &height);
    const void* bits = nullptr;
    ssize_t size = 0;
    if (archive->FindData("_bits", B_RAW_TYPE, &bits, &size) != B_OK) return;
    // A short or oversized block is refused rather than read past its end.
    if (width <= 0 || height <= 0 || size != ssize_t(width) * height * kBytesPerPixel) return;
    fBitmap = CopyOf(bits, int32(size), width * kBytesPerPixel, width, height, B_RGBA32);
}

BPicture::~BPicture() = default;

BArchivable* BPicture::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BPicture") ? new BPicture(archive) : nullptr;
}

status_t BPicture::Archive(BMessage* archive, bool deep) const {
    BArchivable::Archive(archive, deep);
    archive_class_name(archive, "BPicture");
    if (!fBitmap) return B_OK;
    const BRect bounds = fBitmap->Bounds();
    const int32 width = int32(bounds.Width()) + 1, height = int32(bounds.Height()) + 1;
    const int32 rowLength = width * kBytesPerPixel;
    std::vector<uint8> packed(size_t(rowLength) * size_t(height));
    const auto* rows = static_cast<const uint8*>(fBitmap->Bits());
    for (int32 y = 0; y < height; ++y)
        std::copy_n(rows + ptrdiff_t(y) * fBitmap->BytesPerRow(), rowLength,
                    packed.begin() + ptrdiff_t(y) * rowLength);
    archive->AddInt32("_width", width);
    archive->AddInt32("_height", height);
    return archive->AddData("_bits", B_RAW_TYPE, packed.data(), ssize_t(packed.size()));
}

void BPicture::Draw(BView* view, BPoint where) const {
    if (!fBitmap) return;
    const drawing_mode mode = view->DrawingMode();
    view->SetDrawingMode(B_OP_ALPHA);
    view->DrawBitmap(fBitmap.get(), where);
    view->SetDrawingMode(mode);
}
