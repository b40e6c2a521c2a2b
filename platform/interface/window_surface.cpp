#include "platform/interface/window_surface.h"

#include "platform/interface/window.h"
#include "platform/interface/window_canvas.h"

QImage& WindowSurface::Image() {
    const BRect bounds = fWindow->Bounds();
    const int width = std::max(1, int(bounds.Width()) + 1);
    const int height = std::max(1, int(bounds.Height()) + 1);
    if (fImage.width() != width || fImage.height() != height) {
        QImage resized(width, height, QImage::Format_RGB32);
        resized.fill(Qt::white);
        fImage = resized;
    }
    return fImage;
}

void WindowSurface::Damaged(BRect rect) {
    if (WindowCanvas* canvas = static_cast<WindowCanvas*>(fWindow->Canvas()))
        canvas->ShowArea(rect);
}

BPoint WindowSurface::ScreenOrigin() const {
    return fWindow->Frame().LeftTop();
}
