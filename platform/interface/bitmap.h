// An off-screen image; with acceptsViews, views added to it draw into it.
#pragma once

#include <memory>
#include <vector>

#include "platform/interface/archivable.h"
#include "platform/interface/interface_defs.h"
#include "platform/kernel/locker.h"

class BView;
class QImage;

// The thread that holds its lock (any thread when views are not used).
class BBitmap : public BArchivable {
  public:
    // B_RGB32 and B_RGBA32 are stored as they are; other spaces are stored as B_RGB32.
    BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
            bool needsContiguous = false);
    ~BBitmap() override;
    BBitmap(const BBitmap&) = delete;
    BBitmap& operator=(const BBitmap&) = delete;

    status_t InitCheck() const { return IsValid() ? B_OK : B_BAD_VALUE; }
    bool IsValid() const;
    BRect Bounds() const { return fBounds; }
    color_space ColorSpace() const { return fSpace; }
    void* Bits();
    const void* Bits() const;
    int32 BitsLength() const;
    int32 BytesPerRow() const;
    // Copies pixels of the given space, row after row, into the bitmap from its first pixel
    // onwards (offset in bytes of the bitmap); converts B_RGB24, B_RGB24_BIG, B_RGB32,
    // B_RGBA32 and B_GRAY8.
    status_t ImportBits(const void* data, int32 length, int32 bytesPerRow, int32 offset,
                        color_space space);
    void SetBits(const void* data, int32 length, int32 offset, color_space space);
    rgb_color PixelAt(int32 x, int32 y) const;

    // Views drawing into the bitmap.
    void AddChild(BView* view);
    bool RemoveChild(BView* view);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const;
    bool Lock() { return fLock.Lock(); }
    void Unlock() { fLock.Unlock(); }
    bool IsLocked() const { return fLock.IsLocked(); }

    // The kit.
    const QImage& Image() const;

  private:
    class Surface;
    BRect fBounds;
    color_space fSpace;
    std::unique_ptr<QImage> fImage;
    std::unique_ptr<Surface> fSurface;
    std::vector<BView*> fViews;
    BLocker fLock;
};
