#include "tools/artgen/transport_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "tools/artgen/art_kit.h"

namespace {

const QColor kInk(58, 61, 68);
const QColor kGreen(120, 236, 110);
const QColor kRed(255, 72, 56);

// Off: a light raised key. Lit: a dark pressed key, so the glowing symbol reads as a lamp.
void DrawKey(QPainter& p, int w, int h, bool lit) {
    QLinearGradient face(0, 0, 0, h);
    face.setColorAt(0, lit ? QColor(64, 67, 74) : QColor(244, 244, 245));
    face.setColorAt(1, lit ? QColor(92, 95, 102) : QColor(200, 201, 204));
    p.fillRect(0, 0, w, h, face);
    p.setPen(lit ? QColor(40, 42, 47) : QColor(255, 255, 255));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(kOutline);
    p.drawRect(0, 0, w - 1, h - 1);
    // Clipped corners read as rounded on the panel.
    p.setPen(kPanel);
    for (const QPoint& c : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        p.drawPoint(c);
}

// A lamp's halo behind a lit symbol.
void DrawGlow(QPainter& p, QPointF centre, QColor colour) {
    QRadialGradient glow(centre, 10);
    colour.setAlpha(110);
    glow.setColorAt(0, colour);
    colour.setAlpha(0);
    glow.setColorAt(1, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, 10, 10);
}

void DrawPlay(QPainter& p, QPointF c, bool lit) {
    QPainterPath triangle;
    triangle.moveTo(c.x() - 3.5, c.y() - 6);
    triangle.lineTo(c.x() + 7, c.y());
    triangle.lineTo(c.x() - 3.5, c.y() + 6);
    triangle.closeSubpath();
    p.setPen(QPen(lit ? QColor(40, 110, 40) : QColor(30, 32, 36), 1, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(lit ? kGreen : kInk);
    p.drawPath(triangle);
}

void DrawRecord(QPainter& p, QPointF c, bool lit) {
    QRadialGradient dot(c - QPointF(1.5, 1.5), 6);
    dot.setColorAt(0, lit ? QColor(255, 190, 170) : QColor(196, 120, 116));
    dot.setColorAt(0.5, lit ? kRed : QColor(150, 70, 66));
    dot.setColorAt(1, lit ? QColor(190, 30, 20) : QColor(112, 52, 50));
    p.setPen(QPen(lit ? QColor(120, 20, 14) : QColor(84, 40, 38), 1));
    p.setBrush(dot);
    p.drawEllipse(c, 5, 5);
}

// Two arrows chasing each other round a rounded rectangle.
void DrawLoop(QPainter& p, QPointF c, bool lit) {
    const QColor ink = lit ? kAmber : kInk;
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath top;
    top.moveTo(c.x() - 6.5, c.y() + 1);
    top.lineTo(c.x() - 6.5, c.y() - 1.5);
    top.quadTo(c.x() - 6.5, c.y() - 4.5, c.x() - 3.5, c.y() - 4.5);
    top.lineTo(c.x() + 3, c.y() - 4.5);
    p.drawPath(top);
    p.drawPath(top * QTransform().translate(c.x(), c.y()).rotate(180).translate(-c.x(), -c.y()));
    auto head = [&](QPointF tip, double dir) {
        QPainterPath arrow;
        arrow.moveTo(tip);
        arrow.lineTo(tip.x() - dir * 4, tip.y() - 3.5);
        arrow.lineTo(tip.x() - dir * 4, tip.y() + 3.5);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(arrow);
    };
    head(QPointF(c.x() + 7, c.y() - 4.5), 1);
    head(QPointF(c.x() - 7, c.y() + 4.5), -1);
}

void DrawSolo(QPainter& p, QPointF c, bool lit) {
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(lit ? kAmber : kInk);
    p.drawText(QRectF(c.x() - 8, c.y() - 9, 16, 18), Qt::AlignCenter, "S");
}

// A page with a folded corner and lines of text.
void DrawDetails(QPainter& p, QPointF c, bool lit) {
    const QColor ink = lit ? kAmber : kInk;
    QPainterPath page;
    page.moveTo(c.x() - 5, c.y() - 7);
    page.lineTo(c.x() + 2, c.y() - 7);
    page.lineTo(c.x() + 5, c.y() - 4);
    page.lineTo(c.x() + 5, c.y() + 7);
    page.lineTo(c.x() - 5, c.y() + 7);
    page.closeSubpath();
    p.setPen(QPen(ink, 1));
    p.setBrush(lit ? QColor(80, 62, 40) : QColor(250, 250, 250));
    p.drawPath(page);
    p.drawLine(QPointF(c.x() + 2, c.y() - 7), QPointF(c.x() + 2, c.y() - 4));
    p.drawLine(QPointF(c.x() + 2, c.y() - 4), QPointF(c.x() + 5, c.y() - 4));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int row = 0; row < 4; ++row) {
        const int y = int(c.y()) - 3 + 2 * row;
        p.drawLine(int(c.x()) - 3, y, int(c.x()) + (row == 3 ? 0 : 2), y);
    }
}

QColor LampColour(TransportSymbol symbol) {
    switch (symbol) {
        case TransportSymbol::kPlay:
            return kGreen;
        case TransportSymbol::kRecord:
            return kRed;
        default:
            return kAmber;
    }
}

}  // namespace

QImage TransportButton(TransportSymbol symbol, bool lit) {
    const int w = symbol == TransportSymbol::kPlay ? 39 : 25;
    const int h = 23;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    DrawKey(p, w, h, lit);
    // On the middle pixel's centre, so one-pixel lines fall on whole pixels. A pressed key's
    // symbol sits a pixel lower and to the right.
    const QPointF c(w / 2 + (lit ? 1.5 : 0.5), h / 2 + (lit ? 1.5 : 0.5));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(2, 2, w - 3, h - 3);
    if (lit) DrawGlow(p, c, LampColour(symbol));
    switch (symbol) {
        case TransportSymbol::kPlay:
            DrawPlay(p, c, lit);
            break;
        case TransportSymbol::kRecord:
            DrawRecord(p, c, lit);
            break;
        case TransportSymbol::kLoop:
            DrawLoop(p, c, lit);
            break;
        case TransportSymbol::kSolo:
            DrawSolo(p, c, lit);
            break;
        case TransportSymbol::kDetails:
            DrawDetails(p, c, lit);
            break;
    }
    p.end();
    return image;
}
