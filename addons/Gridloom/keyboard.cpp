#include "addons/Gridloom/keyboard.h"

#include <cmath>
#include <cstdio>

#include "engine/notes.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/string_view.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kWhite = {255, 255, 255, 255};
constexpr rgb_color kBlack = {0, 0, 0, 255};
constexpr rgb_color kLit = {192, 192, 192, 255};
constexpr rgb_color kOutline = {128, 128, 128, 255};
constexpr int32 kOctaveRows = 12;
constexpr int32 kOctaveHeight = kOctaveRows * Keyboard::kRowHeight;
// Where the white keys of an octave start and end, from its top (note E) down to F.
constexpr int32 kWhiteTop[] = {0, 11, 25, 35, 46, 60, 74, 84};
// The row of each white key within its octave, and the rows of the black keys.
constexpr int32 kWhiteRow[] = {0, 2, 4, 5, 7, 9, 11};
constexpr int32 kBlackRow[] = {1, 3, 6, 8, 10};

}  // namespace

Keyboard::Keyboard(BRect frame)
    : BView(frame, "Keyboard", B_FOLLOW_NONE, B_WILL_DRAW),
      fBitmap(std::make_unique<BBitmap>(Bounds(), B_RGB32, true)),
      fPainter(new BView(Bounds(), "view", B_FOLLOW_NONE, 0)) {
    SetViewColor(B_TRANSPARENT_COLOR);
    fBitmap->AddChild(fPainter);
    UpdateBitmap(0);
}

// The painter is the bitmap's child and goes with it.
Keyboard::~Keyboard() = default;

int32 Keyboard::Highlighted() const {
    return fHighlighted;
}

void Keyboard::UpdateBitmap(int) {
    fBitmap->Lock();
    PaintWhiteKeys(fPainter);
    PaintBlackKeys(fPainter);
    fPainter->SetHighColor(kOutline);
    fPainter->StrokeRect(fBitmap->Bounds());
    fBitmap->Unlock();
}

rgb_color Keyboard::KeyColor(int32 note, rgb_color plain) const {
    return note == fHighlighted ? kLit : plain;
}

void Keyboard::PaintWhiteKeys(BView* view) {
    const int32 height = int32(fBitmap->Bounds().Height()) + 1;
    for (int32 octave = 0; octave * kOctaveHeight < height; octave++) {
        const float top = float(octave * kOctaveHeight);
        for (int32 k = 0; k < 7; k++) {
            const BRect key(1, top + float(kWhiteTop[k]), 24, top + float(kWhiteTop[k + 1]));
            view->SetHighColor(kBlack);
            view->StrokeRect(key);
            view->SetHighColor(KeyColor(NoteAtRow(octave * kOctaveRows + kWhiteRow[k]), kWhite));
            view->FillRect(key.InsetByCopy(1, 1));
        }
    }
}

void Keyboard::PaintBlackKeys(BView* view) {
    const int32 rows = (int32(fBitmap->Bounds().Height()) + 1) / kRowHeight;
    for (int32 row = 0; row <= rows; row++) {
        for (int32 black : kBlackRow) {
            if (row % kOctaveRows != black) continue;
            const float top = float(row * kRowHeight);
            view->SetHighColor(KeyColor(NoteAtRow(row), kBlack));
            view->FillRect(BRect(2, top + 1, 13, top + 7));
        }
    }
}

void Keyboard::Draw(BRect) {
    DrawBitmap(fBitmap.get(), BPoint(0, 0));
}

void Keyboard::MouseMoved(BPoint where, uint32, const BMessage*) {
    const int32 note = NoteAtRow(int32(std::trunc(where.y / float(kRowHeight))));
    if (note == fHighlighted) return;
    fHighlighted = note;
    ShowName();
    UpdateBitmap(0);
    Invalidate();
}

void Keyboard::ShowName() {
    auto* label = Window() ? dynamic_cast<BStringView*>(Window()->FindView("strNote")) : nullptr;
    if (label == nullptr) return;
    char text[32];
    std::snprintf(text, sizeof text, "Note: %s", NoteToString(fHighlighted));
    label->SetText(text);
}

void Keyboard::MouseDown(BPoint) {}

void Keyboard::MouseUp(BPoint) {}
