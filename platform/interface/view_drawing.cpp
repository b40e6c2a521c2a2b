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

QPointF Q(BPoint p) { return QPointF(p.x, p.y); }

BRect BoundOf(const BPoint* points, int32 count) {
    BRect r(points[0], points[0]);
    for (int32 i = 1; i < count; ++i) r = r | BRect(points[i], points[i]);
    return r;
}

// The rectangle whose pixels a fill covers, in a painter whose pixel centres are integers.
QRectF FillArea(BRect r) { return QRectF(r.left - 0.5, r.top - 0.5, r.Width() + 1, r.Height() + 1); }

}  // namespace

void BView::StrokeLine(BPoint end, const pattern& p) { StrokeLine(fPen, end, p); }

void BView::StrokeLine(BPoint start, BPoint end, const pattern& p) {
    const BPoint points[] = {start, end};
    ViewPainter(this).Shape(BoundOf(points, 2), p, [&](QPainter& painter) {
        if (start == end)
            painter.drawPoint(Q(start));
        else
            painter.drawLine(Q(start), Q(end));
    });
    fPen = end;
}

void BView::StrokeRect(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        if (rect.Width() == 0 || rect.Height() == 0)
            painter.drawLine(Q(rect.LeftTop()), Q(rect.RightBottom()));
        else
            painter.drawRect(QRectF(rect.left, rect.top, rect.Width(), rect.Height()));
    });
}

void BView::FillRect(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.fillRect(FillArea(rect), painter.brush());
    });
}

void BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect.left, rect.top, rect.Width(), rect.Height()),
                                xRadius, yRadius);
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
    QPolygonF polygon;
    for (int32 i = 0; i < count; ++i) polygon << Q(points[i]);
    ViewPainter(this).Shape(BoundOf(points, count), p, [&](QPainter& painter) {
        if (count == 1)
            painter.drawPoint(polygon[0]);
        else if (closed)
            painter.drawPolygon(polygon);
        else
            painter.drawPolyline(polygon);
    });
}

// The outline belongs to the shape: pixels on its edges are filled too.
void BView::FillPolygon(const BPoint* points, int32 count, const pattern& p) {
    if (!points || count <= 0) return;
    QPolygonF polygon;
    for (int32 i = 0; i < count; ++i) polygon << Q(points[i]);
    ViewPainter(this).Shape(BoundOf(points, count), p, [&](QPainter& painter) {
        painter.setPen(QPen(painter.brush(), 0));
        painter.drawPolygon(polygon);
    });
}

void BView::StrokeEllipse(BRect rect, const pattern& p) {
    if (!rect.IsValid()) return;
    ViewPainter(this).Shape(rect, p, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(rect.left, rect.top, rect.Width(), rect.Height()));
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
        painter.drawArc(QRectF(rect.left, rect.top, rect.Width(), rect.Height()),
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

void BView::InvertRect(BRect rect) { ViewPainter(this).Invert(rect); }

void BView::DrawString(const char* text) { DrawString(text, fPen); }

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
            painter.drawText(QPointF(where.x - 0.5, where.y + 0.5), string);
        },
        true);
    fPen = BPoint(where.x + width, where.y);
}

void BView::DrawChar(char c, BPoint where) { DrawString(&c, 1, where); }

void BView::DrawBitmap(const BBitmap* bitmap) { DrawBitmap(bitmap, fPen); }

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
