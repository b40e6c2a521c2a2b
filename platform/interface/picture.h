// A drawing kept as the image it makes: a B_RGBA32 bitmap, drawn with its alpha.
#pragma once

#include <memory>

#include "platform/interface/archivable.h"
#include "platform/interface/bitmap.h"

class BView;

// Any thread; a picture is not shared between threads while it changes.
class BPicture : public BArchivable {
  public:
    // Empty: draws nothing.
    BPicture() = default;
    // Copies the bitmap's pixels.
    explicit BPicture(const BBitmap& bitmap);
    BPicture(const BPicture& other);
    explicit BPicture(BMessage* archive);
    BPicture& operator=(const BPicture&) = delete;
    ~BPicture() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_width" and "_height" (pixels) and "_bits": B_RAW_TYPE, the B_RGBA32 pixels row
    // after row with no padding, each pixel as bytes blue, green, red, alpha.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Null when empty. Its bounds start at (0, 0).
    const BBitmap* Bitmap() const { return fBitmap.get(); }
    // Draws the image with its top left corner at where, blending by its alpha.
    void Draw(BView* view, BPoint where) const;

  private:
    std::unique_ptr<BBitmap> fBitmap;
};
