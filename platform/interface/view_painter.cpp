#include "platform/interface/view_painter.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/interface/drawing_surface.h"
#include "platform/interface/view.h"

namespace {

QColor Opaque(rgb_color c) {
    return QColor(c.red, c.green, c.blue);
}

QBrush PatternBrush(const pattern& p, rgb_color high, rgb_color low) {
    if (p == B_SOLID_HIGH) return QBrush(Opaque(high));
    if (p == B_SOLID_LOW) return QBrush(Opaque(low));
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (p.data[y] & (0x80 >> x) ? Opaque(high) : Opaque(low)).rgb());
    return QBrush(tile);
}

int Channel(int s, int d, int alpha, drawing_mode mode) {
    switch (mode) {
        case B_OP_INVERT:
            return 255 - d;
        case B_OP_ADD:
            return std::min(255, s + d);
        case B_OP_SUBTRACT:
            return std::max(0, d - s);
        case B_OP_BLEND:
            return (s + d + 1) / 2;
        case B_OP_MIN:
            return std::min(s, d);
        case B_OP_MAX:
            return std::max(s, d);
        case B_OP_ALPHA:
            return (s * alpha + d * (255 - alpha) + 127) / 255;
        default:
            return s;
    }
}

QRect ToQRect(BRect r) {
    return QRect(int(r.left), int(r.top), int(r.Width()) + 1, int(r.Height()) + 1);
}

}  // namespace

ViewPainter::ViewPainter(const BView* view) : fView(view) {
    DrawingSurface* surface = view->Surface();
    if (!surface) return;
    fTarget = &surface->Image();
    fOffset = view->SurfaceOffset();
    fClip = view->fInUpdate ? view->fUpdateClip : view->VisibleRect();
    fClip = fClip & BRect(0, 0, fTarget->width() - 1, fTarget->height() - 1);
}

bool ViewPainter::Prepare(BRect bound, BRect* device) const {
    if (!fTarget || !fClip.IsValid() || !bound.IsValid()) return false;
    const float pad = std::ceil(fView->PenSize() / 2) + 1;
    BRect r = bound.OffsetByCopy(fOffset).InsetByCopy(-pad, -pad);
    r = BRect(std::floor(r.left), std::floor(r.top), std::ceil(r.right), std::ceil(r.bottom));
    *device = r & fClip;
    return device->IsValid();
}

bool ViewPainter::Direct() const {
    const drawing_mode mode = fView->DrawingMode();
    return mode == B_OP_COPY || mode == B_OP_OVER || mode == B_OP_ERASE ||
           (mode == B_OP_ALPHA && High().alpha == 255);
}

rgb_color ViewPainter::High() const {
    return fView->DrawingMode() == B_OP_ERASE ? fView->LowColor() : fView->HighColor();
}

bool ViewPainter::WritesDirectly(const pattern& p) const {
    if (!fTarget || !(p == B_SOLID_HIGH || p == B_SOLID_LOW) || !Direct()) return false;
    const QImage::Format format = fTarget->format();
    return (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
            format == QImage::Format_ARGB32_Premultiplied) &&
           fOffset.x == std::floor(fOffset.x) && fOffset.y == std::floor(fOffset.y);
}

void ViewPainter::FillPixels(const QRect& pixels, const pattern& p) const {
    const BRect bound(pixels.left(), pixels.top(), pixels.right(), pixels.bottom());
    if (!WritesDirectly(p))
        return Shape(bound, p,
                     [&](QPainter& painter) { painter.fillRect(pixels, painter.brush()); });
    BRect device;
    if (!Prepare(bound, &device)) return;
    const QRect area = pixels.translated(int(fOffset.x), int(fOffset.y)) & ToQRect(device);
    const QRgb color = Opaque(p == B_SOLID_HIGH ? High() : fView->LowColor()).rgb();
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(fTarget->scanLine(y)) + area.left(), area.width(),
                    color);
}

void ViewPainter::Shape(BRect bound, const pattern& p, const std::function<void(QPainter&)>& draw,
                        bool antialias) const {
    BRect device;
    if (!Prepare(bound, &device)) return;
    const rgb_color high = High();
    const QBrush brush = PatternBrush(p, high, fView->LowColor());
    const bool direct = Direct();

    QImage scratch;
    QPainter painter;
    if (direct) {
        painter.begin(fTarget);
        painter.setClipRect(ToQRect(device));
        painter.translate(fOffset.x, fOffset.y);
    } else {
        scratch = QImage(ToQRect(device).size(), QImage::Format_ARGB32_Premultiplied);
        scratch.fill(Qt::transparent);
        painter.begin(&scratch);
        painter.translate(fOffset.x - device.left, fOffset.y - device.top);
    }
    painter.setRenderHint(QPainter::Antialiasing, antialias);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(brush);
    // A one-pixel pen is cosmetic: it lights exactly the pixels a line passes through.
    const float penSize = fView->PenSize() <= 1 ? 0 : fView->PenSize();
    painter.setPen(QPen(brush, penSize, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    draw(painter);
    painter.end();
    if (!direct) Composite(scratch, device, false);
}

void ViewPainter::Image(const QImage& image, BRect source, BRect destination) const {
    BRect device;
    if (!Prepare(destination, &device)) return;
    const QRectF from(source.left, source.top, source.Width() + 1, source.Height() + 1);
    const QRectF to(destination.left, destination.top, destination.Width() + 1,
                    destination.Height() + 1);
    QPainter painter;
    if (fView->DrawingMode() == B_OP_COPY) {
        painter.begin(fTarget);
        painter.setClipRect(ToQRect(device));
        painter.translate(fOffset.x, fOffset.y);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        // Copy ignores the bitmap's alpha.
        QImage opaque = image;
        if (opaque.format() == QImage::Format_ARGB32)
            opaque.reinterpretAsFormat(QImage::Format_RGB32);
        painter.drawImage(to, opaque, from);
        return;
    }
    QImage scratch(ToQRect(device).size(), QImage::Format_ARGB32);
    scratch.fill(Qt::transparent);
    painter.begin(&scratch);
    painter.translate(fOffset.x - device.left, fOffset.y - device.top);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(to, image, from);
    painter.end();
    Composite(scratch, device, true);
}

void ViewPainter::Invert(BRect rect) const {
    BRect device;
    if (!Prepare(rect, &device)) return;
    const BRect exact = rect.OffsetByCopy(fOffset) & device;
    if (!exact.IsValid()) return;
    QPainter painter(fTarget);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(ToQRect(exact), Qt::black);
}

// Shapes: the scratch alpha is the shape's coverage. Images: every pixel is covered and the
// scratch alpha is the image's own.
void ViewPainter::Composite(QImage& scratch, BRect device, bool perPixelSource) const {
    const drawing_mode mode = fView->DrawingMode();
    source_alpha sourceAlpha;
    alpha_function function;
    fView->GetBlendingMode(&sourceAlpha, &function);
    const int constantAlpha = fView->HighColor().alpha;
    const int left = int(device.left), top = int(device.top);
    for (int y = 0; y < scratch.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        QRgb* to = reinterpret_cast<QRgb*>(fTarget->scanLine(top + y)) + left;
        for (int x = 0; x < scratch.width(); ++x) {
            const QRgb s = perPixelSource ? from[x] : qUnpremultiply(from[x]);
            const int a = qAlpha(from[x]);
            int coverage = perPixelSource ? 255 : a;
            int alpha = perPixelSource && sourceAlpha == B_PIXEL_ALPHA ? a : constantAlpha;
            if (perPixelSource && mode == B_OP_OVER && (a == 0 || (s & 0xffffff) == 0x777477))
                coverage = 0;
            if (coverage == 0) continue;
            const QRgb d = to[x];
            const int r = Channel(qRed(s), qRed(d), alpha, mode);
            const int g = Channel(qGreen(s), qGreen(d), alpha, mode);
            const int b = Channel(qBlue(s), qBlue(d), alpha, mode);
            auto mix = [coverage](int dst, int res) {
                return dst + ((res - dst) * coverage + (res > dst ? 127 : -127)) / 255;
            };
            to[x] = qRgb(mix(qRed(d), r), mix(qGreen(d), g), mix(qBlue(d), b));
        }
    }
}
