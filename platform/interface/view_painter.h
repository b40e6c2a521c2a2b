// Turns a view's drawing calls into pixels of its surface, following the drawing mode.
#pragma once

#include <functional>

#include "platform/interface/interface_defs.h"

class BView;
class QImage;
class QPainter;
class QRect;

class ViewPainter {
  public:
    // The view's window or bitmap is locked by the caller.
    explicit ViewPainter(const BView* view);

    // Draws a shape given in view coordinates, whose pixels lie inside bound. In the painter
    // passed to draw, pixel (x, y) of the view is the square from (x, y) to (x + 1, y + 1);
    // it holds the pattern's brush and a pen of the view's size.
    void Shape(BRect bound, const pattern& p, const std::function<void(QPainter&)>& draw,
               bool antialias = false) const;
    // Fills whole pixels, given in view coordinates: most drawing is rectangles and straight
    // lines, and an opaque solid fill is cheaper written directly than through a QPainter.
    void FillPixels(const QRect& pixels, const pattern& p) const;
    // Draws image pixels of source (inclusive, image coordinates) scaled into destination.
    void Image(const QImage& image, BRect source, BRect destination) const;
    void Invert(BRect rect) const;

  private:
    bool Prepare(BRect bound, BRect* device) const;
    // Modes where a shape's pixels simply take its brush's colour.
    bool Direct() const;
    rgb_color High() const;
    bool WritesDirectly(const pattern& p) const;
    void Composite(QImage& scratch, BRect device, bool perPixelSource) const;

    const BView* fView;
    QImage* fTarget = nullptr;
    BRect fClip;
    BPoint fOffset;
};
