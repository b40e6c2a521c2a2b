// The pattern window's 14 x 14 swatch of the machine's colour; a click asks the window for the
// colour picker with 'colr' and the click's screen point as "where".
#pragma once

#include "platform/interface/view.h"

class ColorView : public BView {
  public:
    static constexpr uint32 kPick = 'colr';

    explicit ColorView(BRect frame);

    // The window's thread, with the window locked.
    void SetColor(rgb_color color);
    void MouseDown(BPoint where) override;
};
