// BView's drawing primitives: each hands its shape to a ViewPainter.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/interface/bitmap.h"
#include "platform/interface/view.h"
#include "platform/interface/view_painter.h"

namespace {

int Pixel(float v) {
    return int(std::floor(v + 0.5f));
}

QPointF Centre(BPoint p) {
    return QPointF(p.x + 0.5, p.y + 0.5);
}

BRect BoundOf(const BPoint* points, int32 count) {
    BRect r(points[0], points[0]);
    for (int32 i = 1; i < count; ++i) r = r | BRect(points[i], points[i]);
    return r;
}

// The pixels whose centres lie inside r, edges included.
QRectF FillArea(BRect r) {
    return QRectF(r.left, r.top, r.Width() + 1, r.Height() + 1);
}

void Span(QPainter& painter, int x0, int x1, int y) {
    painter.fillRect(QRect(x0, y, x1 - x0 + 1, 1), painter.brush());
}

// One-pixel lines light every pixel they pass through, both ends included.
void ThinLine(QPainter& painter, BPoint a, BPoint b) {
    int x0 = Pixel(a.x), y0 = Pixel(a.y);
    const int x1 = Pixel(b.x), y1 = Pixel(b.y);
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy, runStart = x0;
    for (;;) {
        const bool last = x0 == x1 && y0 == y1;
        const int e2 = 2 * error;
        const bool stepY = !last && e2 <= dx;
        if (last || stepY) {
            Span(painter, std::min(runStart, x0), std::max(runStart, x0), y0);
            if (last) return;
        }
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (stepY) {
            error += dx;
            y0 += sy;
            runStart = x0;
        }
    }
}

// The pixels of a one-pixel line that is vertical or horizontal, or an empty rectangle.
QRect StraightSpan(BPoint a, BPoint b) {
    const int x0 = Pixel(a.x), y0 = Pixel(a.y), x1 = Pixel(b.x), y1 = Pixel(b.y);
    if (x0 != x1 && y0 != y1) return QRect();
    return QRect(QPoint(std::min(x0, x1), std::min(y0, y1)),
                 QPoint(std::max(x0, x1), std::max(y0, y1)));
}

void Line(QPainter& painter, BPoint a, BPoint b, float penSize) {
    if (penSize <= 1) return ThinLine(painter, a, b);
    painter.drawLine(Centre(a), Centre(b));
}

// Fills the pixels whose centres lie inside the polygon, then its outline.
void FillPolygonSpans(QPainter& painter, const BPoint* points, int32 count) {
    const BRect bound = BoundOf(points, count);
    for (int y = int(std::ceil(bound.top)); y <= int(std::floor(bound.bottom)); ++y) {
        std::vector<float> crossings;
        for (int32 i = 0; i < count; ++i) {
            const BPoint a = points[i], b = points[(i + 1) % count];
            if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y))
                crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int x0 = int(std::ceil(crossings[i])), x1 = int(std::floor(crossings[i + 1]));
            if (x0 <= x1) Span(painter, x0, x1, y);
        }
    }
    for (int32 i = 0; i < count; ++i) ThinLine(painter, points[i], points[(i + 1) % count]);
}

}  // namespace

void BView::StrokeLine(BPoint end, const pattern& p) {
    StrokeLine(fPen, end, p);
}

void BView::StrokeLine(BPoint start, BPoint end, const pattern& p) {
    const BPoint points[] = {start, end};
    const QRect straight = fPenSize <= 1 ? StraightSpan(start, end) : QRect();
    if (!straight.isEmpty())
        ViewPainter(this).FillPixels(straight, p);
    else
        ViewPainter(this).Shape(BoundOf(points, 2), p,
                                [&](QPainter& painter) { Line(painter, start, end, fPenSize); });
    fPen = end;
}

void BView::StrokeRect(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        const BPoint corners[] = {rect.LeftTop(), rect.RightTop(), rect.RightBottom(),
                                  rect.LeftBottom()};
        for (int i = 0; i < 4; ++i) Line(painter, corners[i], corners[(i + 1) % 4], fPenSize);
    });
}

void BView::FillRect(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).FillPixels(QRect(QPoint(Pixel(rect.left), Pixel(rect.top)),
                                       QPoint(Pixel(rect.right), Pixel(rect.bottom))),
                                 p);
}

void BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(
            QRectF(rect.left + 0.5, rect.top + 0.5, rect.Width(), rect.Height()), xRadius, yRadius);
    });
}

void BView::FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(FillArea(rect), xRadius, yRadius);
    });
}

void BView::StrokeTriangle(BPoint a, BPoint b, BPoint c, const pattern& p) {
    const BPoint points[] = {a, b, c};
    StrokePolygon(points, 3, true, p);
}

void BView::FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& p) {
    const BPoint points[] = {a, b, c};
    FillPolygon(points, 3, p);
}

void BView::StrokePolygon(const BPoint* points, int32 count, bool closed, const pattern& p) {
    if (!points || count <= 0) return;
    ViewPainter(this).Shape(BoundOf(points, count), p, [&](QPainter& painter) {
        const int32 edges = closed ? count : count - 1;
        if (count == 1) Line(painter, points[0], points[0], fPenSize);
        for (int32 i = 0; i < edges; ++i)
            Line(painter, points[i], points[(i + 1) % count], fPenSize);
    });
}

// The outline belongs to the shape: pixels on its edges are filled too.
void BView::FillPolygon(const BPoint* points, int32 count, const pattern& p) {
    if (!points || count <= 0) return;
    ViewPainter(this).Shape(BoundOf(points, count), p,
                            [&](QPainter& painter) { FillPolygonSpans(painter, points, count); });
}

void BView::StrokeEllipse(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(rect.left + 0.5, rect.top + 0.5, rect.Width(), rect.Height()));
    });
}

void BView::FillEllipse(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(FillArea(rect));
    });
}

void BView::StrokeEllipse(BPoint c, float xr, float yr, const pattern& p) {
    StrokeEllipse(BRect(c.x - xr, c.y - yr, c.x + xr, c.y + yr), p);
}

void BView::FillEllipse(BPoint c, float xr, float yr, const pattern& p) {
    FillEllipse(BRect(c.x - xr, c.y - yr, c.x + xr, c.y + yr), p);
}

void BView::StrokeArc(BRect rect, float start, float arc, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.drawArc(QRectF(rect.left + 0.5, rect.top + 0.5, rect.Width(), rect.Height()),
                        int(start * 16), int(arc * 16));
    });
}

void BView::FillArc(BRect rect, float start, float arc, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.drawPie(FillArea(rect), int(start * 16), int(arc * 16));
    });
}

void BView::InvertRect(BRect rect) {
    ViewPainter(this).Invert(rect);
}

void BView::DrawString(const char* text) {
    DrawString(text, fPen);
}

void BView::DrawString(const char* text, BPoint where) {
    if (text) DrawString(text, int32(std::strlen(text)), where);
}

void BView::DrawString(const char* text, int32 length, BPoint where) {
    if (!text || length <= 0) return;
    const float width = StringWidth(text, length);
    font_height height;
    GetFontHeight(&height);
    const BRect bound(where.x, where.y - height.ascent - 1, where.x + width + 1,
                      where.y + height.descent + 1);
    const QString string = QString::fromUtf8(text, length);
    const QFont font = fFont.ToQFont();
    // The ink of a capital letter ends on the row of the baseline point.
    ViewPainter(this).Shape(
        bound, B_SOLID_HIGH,
        [&](QPainter& painter) {
            painter.setFont(font);
            painter.setPen(QPen(painter.brush().color()));
            painter.drawText(QPointF(where.x, where.y + 1), string);
        },
        true);
    fPen = BPoint(where.x + width, where.y);
}

void BView::DrawChar(char c, BPoint where) {
    DrawString(&c, 1, where);
}

void BView::DrawBitmap(const BBitmap* bitmap) {
    DrawBitmap(bitmap, fPen);
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where) {
    if (!bitmap || !bitmap->IsValid()) return;
    const BRect bounds = bitmap->Bounds();
    DrawBitmap(bitmap, bounds, bounds.OffsetByCopy(where - bounds.LeftTop()));
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination) {
    if (!bitmap || !bitmap->IsValid() || !source.IsValid() || !destination.IsValid()) return;
    ViewPainter(this).Image(bitmap->Image(), source, destination);
}

void BView::BeginLineArray(int32 count) {
    if (!fLineArray) fLineArray = new LineArray;
    fLineArray->lines.clear();
    fLineArray->lines.reserve(size_t(std::max(count, 0)));
}

void BView::AddLine(BPoint start, BPoint end, rgb_color color) {
    if (fLineArray) fLineArray->lines.push_back({start, end, color});
}

void BView::EndLineArray() {
    if (!fLineArray) return;
    const rgb_color high = fHighColor;
    for (const auto& line : fLineArray->lines) {
        fHighColor = line.color;
        StrokeLine(line.start, line.end);
    }
    fHighColor = high;
    fLineArray->lines.clear();
}
