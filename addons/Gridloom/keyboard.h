// The piano keyboard left of the note grid: lights the key under the pointer (its own or the
// note grid's) and names the note in the note area's "strNote" label.
#pragma once

#include <memory>

#include "platform/interface/view.h"

class BBitmap;

class Keyboard : public BView {
  public:
    static constexpr float kWidth = 25;

    // The window's thread. frame is 25 wide; the note area makes it 1024 high.
    explicit Keyboard(BRect frame);
    ~Keyboard() override;

    // The window's thread, with the window locked. Repaints the keys (the argument is unused).
    void UpdateBitmap(int unused);
    void Draw(BRect update) override;
    // Also fed by the note grid with the same y (the keyboard's rows are the grid's rows).
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    // The lit note, or -1.
    int32 Highlighted() const;
    // The note of a row, counted from the top as in the note grid.
    static int32 NoteAtRow(int32 row) { return kTopNote - row; }

    static constexpr int32 kTopNote = 124;
    static constexpr int32 kRowHeight = 7;

  private:
    void PaintWhiteKeys(BView* view);
    void PaintBlackKeys(BView* view);
    // The key colour: white or black, grey when the note is lit.
    rgb_color KeyColor(int32 note, rgb_color plain) const;
    void ShowName();

    std::unique_ptr<BBitmap> fBitmap;
    BView* fPainter = nullptr;
    int32 fHighlighted = -1;
};
