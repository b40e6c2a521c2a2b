// The colour picker: a spectrum with a row of presets; the colour under the pointer is
// previewed at the right, a click takes it, and leaving, Escape, a click outside or the loss of
// focus cancel it.
#pragma once

#include <memory>

#include "platform/interface/view.h"

class BBitmap;

class ColorPickerView : public BView {
  public:
    static constexpr float kWidth = 208;
    static constexpr float kHeight = 80;
    // The preview strip along the right edge.
    static constexpr int32 kStrip = 16;
    // Each preset takes this many pixels of the bottom rows.
    static constexpr int32 kPresetWidth = 16;
    static constexpr int32 kPresetRows = 16;
    static constexpr int32 kPresetCount = 12;

    // The GUI thread. start is previewed until the pointer picks another.
    ColorPickerView(BRect frame, rgb_color start);
    ~ColorPickerView() override;

    void Draw(BRect update) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void WindowActivated(bool active) override;

    rgb_color Picked() const { return fPicked; }
    bool Cancelled() const { return fCancel; }

  private:
    void FillSpectrum();
    void FillPresets();
    void SetPixel(int32 x, int32 y, rgb_color color);
    // Previews the bitmap's pixel under where; false outside the bitmap.
    bool Preview(BPoint where);
    BRect StripFrame() const;
    void Close(bool cancelled);

    int32 fWb;
    int32 fHb;
    std::unique_ptr<BBitmap> fBitmap;
    rgb_color fPicked;
    // Until a click chooses, however the window goes.
    bool fCancel = true;
    bool fClosing = false;
};

// The GUI thread. Opens the picker with its top left corner at where (screen coordinates),
// starting from *color, and returns once it has closed, running a nested event loop meanwhile:
// true with the chosen colour (alpha 255) in *color, false when cancelled (*color untouched).
bool RunColorPicker(BPoint where, rgb_color* color);
