#include "platform/interface/bitmap.h"

#include <QImage>
#include <algorithm>
#include <cstring>

#include "platform/interface/drawing_surface.h"
#include "platform/interface/view.h"

class BBitmap::Surface : public DrawingSurface {
  public:
    explicit Surface(QImage& image) : fImage(image) {}
    QImage& Image() override { return fImage; }
    void Damaged(BRect) override {}
    BPoint ScreenOrigin() const override { return BPoint(); }

  private:
    QImage& fImage;
};

namespace {

QImage::Format FormatOf(color_space space) {
    return space == B_RGBA32 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

QRgb ReadPixel(const uint8* p, color_space space) {
    switch (space) {
        case B_RGB24:
            return qRgb(p[2], p[1], p[0]);
        case B_RGB24_BIG:
            return qRgb(p[0], p[1], p[2]);
        case B_RGBA32:
            return qRgba(p[2], p[1], p[0], p[3]);
        case B_GRAY8:
            return qRgb(p[0], p[0], p[0]);
        default:
            return qRgb(p[2], p[1], p[0]);
    }
}

int32 BytesPerPixel(color_space space) {
    switch (space) {
        case B_RGB24:
        case B_RGB24_BIG:
            return 3;
        case B_GRAY8:
            return 1;
        case B_RGB32:
        case B_RGBA32:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool acceptsViews, bool)
    : fBounds(bounds), fSpace(space == B_RGBA32 ? B_RGBA32 : B_RGB32), fLock("bitmap") {
    const float w = bounds.Width() + 1, h = bounds.Height() + 1;
    if (bounds.IsValid() && w <= 32768 && h <= 32768) {
        fImage = std::make_unique<QImage>(int(w), int(h), FormatOf(fSpace));
        if (fImage->isNull()) fImage.reset();
    }
    if (!fImage)
        fImage = std::make_unique<QImage>();
    else
        fImage->fill(fSpace == B_RGBA32 ? Qt::transparent : Qt::black);
    if (acceptsViews) fSurface = std::make_unique<Surface>(*fImage);
}

BBitmap::~BBitmap() {
    while (!fViews.empty()) {
        BView* view = fViews.back();
        RemoveChild(view);
        delete view;
    }
}

bool BBitmap::IsValid() const {
    return !fImage->isNull();
}
void* BBitmap::Bits() {
    return IsValid() ? fImage->bits() : nullptr;
}
const void* BBitmap::Bits() const {
    return IsValid() ? fImage->constBits() : nullptr;
}
int32 BBitmap::BitsLength() const {
    return int32(fImage->sizeInBytes());
}
int32 BBitmap::BytesPerRow() const {
    return int32(fImage->bytesPerLine());
}
const QImage& BBitmap::Image() const {
    return *fImage;
}

status_t BBitmap::ImportBits(const void* data, int32 length, int32 bytesPerRow, int32 offset,
                             color_space space) {
    const int32 pixelBytes = BytesPerPixel(space);
    if (!IsValid() || !data || length < 0 || offset < 0 || pixelBytes == 0) return B_BAD_VALUE;
    const int width = fImage->width();
    if (bytesPerRow <= 0) bytesPerRow = width * pixelBytes;
    if (bytesPerRow < pixelBytes) return B_BAD_VALUE;
    const auto* bytes = static_cast<const uint8*>(data);
    int64 pixel = offset / 4;
    const int64 total = int64(width) * fImage->height();
    for (int64 row = 0; int64(row) * bytesPerRow < length && pixel < total; ++row) {
        const int32 rowBytes = int32(std::min<int64>(bytesPerRow, length - row * bytesPerRow));
        for (int32 i = 0; i + pixelBytes <= rowBytes && i / pixelBytes < width && pixel < total;
             i += pixelBytes, ++pixel) {
            fImage->setPixel(int(pixel % width), int(pixel / width),
                             ReadPixel(bytes + row * bytesPerRow + i, space));
        }
    }
    return B_OK;
}

void BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space) {
    ImportBits(data, length, 0, offset, space);
}

rgb_color BBitmap::PixelAt(int32 x, int32 y) const {
    if (!IsValid() || !fImage->valid(x, y)) return {};
    const QRgb p = fImage->pixel(x, y);
    return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), uchar(qAlpha(p))};
}

void BBitmap::AddChild(BView* view) {
    if (!fSurface || !view || view->Parent() || view->Window()) return;
    fViews.push_back(view);
    view->Attach(nullptr, fSurface.get());
}

bool BBitmap::RemoveChild(BView* view) {
    auto found = std::find(fViews.begin(), fViews.end(), view);
    if (found == fViews.end()) return false;
    fViews.erase(found);
    view->Detach();
    return true;
}

int32 BBitmap::CountChildren() const {
    return int32(fViews.size());
}

BView* BBitmap::ChildAt(int32 index) const {
    return index >= 0 && index < CountChildren() ? fViews[index] : nullptr;
}

BView* BBitmap::FindView(const char* name) const {
    for (BView* view : fViews)
        if (BView* found = view->FindView(name)) return found;
    return nullptr;
}
