// A window's image: what its views drew, shown by its canvas widget.
#pragma once

#include <QImage>

#include "platform/interface/drawing_surface.h"

class BWindow;

class WindowSurface : public DrawingSurface {
  public:
    explicit WindowSurface(BWindow* window) : fWindow(window) {}
    // Under the window's lock.
    QImage& Image() override;
    void Damaged(BRect rect) override;
    BPoint ScreenOrigin() const override;

  private:
    BWindow* fWindow;
    QImage fImage;
};
