#include "tools/artgen/widget_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

#include "tools/artgen/art_kit.h"

// A tab with rounded top corners; pressed sits lower, darker and carries an amber lip.
QImage PatternButton(bool pressed) {
    QImage image = Canvas(70, 17);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(0.5, 0.5, 69, 16), 3.5, 3.5);
    QLinearGradient fill(0, 0, 0, 17);
    if (pressed) {
        fill.setColorAt(0, QColor(128, 131, 138));
        fill.setColorAt(0.35, QColor(156, 158, 163));
        fill.setColorAt(1, QColor(166, 168, 172));
    } else {
        fill.setColorAt(0, QColor(236, 237, 239));
        fill.setColorAt(0.5, QColor(210, 211, 214));
        fill.setColorAt(1, QColor(186, 188, 193));
    }
    p.setPen(QPen(kOutline, 1));
    p.setBrush(fill);
    p.drawPath(tab);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (pressed) {
        // Inset: shadow along the top and left inside the outline.
        p.setPen(QColor(104, 107, 114));
        p.drawLine(3, 1, 66, 1);
        p.drawLine(1, 3, 1, 13);
        p.setPen(kAmber);
        p.drawLine(3, 15, 66, 15);
        p.setPen(QColor(200, 130, 40));
        p.drawLine(2, 14, 67, 14);
    } else {
        p.setPen(QColor(252, 252, 253));
        p.drawLine(3, 1, 66, 1);
        p.drawLine(1, 3, 1, 13);
        p.setPen(QColor(160, 163, 169));
        p.drawLine(3, 15, 66, 15);
        p.drawLine(68, 3, 68, 13);
    }
    p.end();
    return Harden(image);
}

// A square key with an LED: dark when off, glowing amber when lit.
QImage MuteButton(bool lit) {
    QImage image = Canvas(17, 17);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 17);
    fill.setColorAt(0, lit ? QColor(132, 135, 141) : QColor(234, 235, 237));
    fill.setColorAt(1, lit ? QColor(164, 166, 170) : QColor(184, 186, 191));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 16, 16), 3, 3);
    if (lit) {
        QRadialGradient glow(8.5, 8.5, 7);
        glow.setColorAt(0, QColor(255, 190, 80, 200));
        glow.setColorAt(1, QColor(255, 150, 30, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(8.5, 8.5), 7, 7);
    }
    QRadialGradient led(7.5, 7.2, 4.5);
    led.setColorAt(0, lit ? QColor(255, 236, 170) : QColor(130, 100, 70));
    led.setColorAt(0.6, lit ? kAmber : kAmberDim);
    led.setColorAt(1, lit ? QColor(210, 110, 20) : QColor(60, 46, 34));
    p.setPen(QPen(lit ? QColor(120, 70, 20) : QColor(44, 40, 38), 1));
    p.setBrush(led);
    p.drawEllipse(QPointF(8.5, 8.5), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, lit ? 190 : 70));
    p.drawEllipse(QPointF(7.3, 7.1), 1.2, 1.0);
    p.end();
    return Harden(image);
}

// One tile of the bar along the top of a pattern: a groove with a beat tick at its left.
QImage PosBar() {
    QImage image(16, 12, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 12);
    fill.setColorAt(0, QColor(70, 73, 80));
    fill.setColorAt(1, QColor(96, 100, 107));
    p.fillRect(0, 0, 16, 12, fill);
    p.setPen(QColor(42, 44, 49));
    p.drawLine(0, 0, 15, 0);
    p.setPen(QColor(140, 143, 150));
    p.drawLine(0, 11, 15, 11);
    p.setPen(QColor(150, 153, 160));
    p.drawLine(0, 5, 0, 10);
    p.setPen(QColor(116, 119, 126));
    p.drawLine(8, 8, 8, 10);
    p.end();
    return image;
}

// The play position marker: an amber triangle pointing down.
QImage PosMark() {
    QImage image = Canvas(10, 5);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 5; ++row) {
        p.fillRect(row, row, 10 - 2 * row, 1, row == 0 ? QColor(255, 200, 110) : kAmber);
    }
    p.setPen(QColor(170, 96, 20));
    p.drawPoint(4, 4);
    p.drawPoint(5, 4);
    p.end();
    return Harden(image);
}

// A raised note box in the tracker's default colour; the pattern editor sizes its grid cells by
// it (a cell is one pixel wider and higher).
QImage TrackerBox(int w, int h) {
    const QColor base(20, 119, 175);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(base);
    QPainter p(&image);
    p.setPen(base.lighter(125));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(base.darker(125));
    p.drawLine(1, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 1, w - 1, h - 1);
    p.end();
    return image;
}

namespace {

constexpr int kFrames = 33;
constexpr int kSize = 32;

// A dark knob on the panel grey; an amber arc of ticks lights up to the value.
QImage KnobFrame(int frame) {
    const int scale = 1;
    QImage image(kSize * scale, kSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(16, 16);
    const double fraction = frame / double(kFrames - 1);
    const double angle = -135 + 270 * fraction;  // degrees clockwise from twelve o'clock
    auto at = [&](double degrees, double radius) {
        const double r = degrees * M_PI / 180;
        return QPointF(c.x() + radius * std::sin(r), c.y() - radius * std::cos(r));
    };
    // Value ticks around the body.
    constexpr int kTicks = 11;
    for (int i = 0; i < kTicks; ++i) {
        const double t = i / double(kTicks - 1);
        const bool on = t <= fraction + 1e-6 && frame > 0;
        p.setPen(QPen(on ? QColor(240, 140, 20) : QColor(150, 152, 156), 1.6, Qt::SolidLine,
                      Qt::RoundCap));
        const double a = -135 + 270 * t;
        p.drawLine(at(a, 13.2), at(a, 15.2));
    }
    // Drop shadow, then the body with light from the top left.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(QPointF(16.6, 17.2), 11.3, 11.3);
    QLinearGradient rim(5, 5, 27, 27);
    rim.setColorAt(0, QColor(150, 154, 162));
    rim.setColorAt(1, QColor(30, 32, 36));
    p.setBrush(rim);
    p.setPen(QPen(QColor(36, 38, 42), 0.8));
    p.drawEllipse(c, 11, 11);
    QRadialGradient cap(12.5, 11.5, 13);
    cap.setColorAt(0, QColor(112, 116, 124));
    cap.setColorAt(0.7, QColor(66, 69, 75));
    cap.setColorAt(1, QColor(48, 50, 55));
    p.setPen(Qt::NoPen);
    p.setBrush(cap);
    p.drawEllipse(c, 9, 9);
    // The indicator.
    p.setPen(QPen(QColor(0, 0, 0, 110), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(angle, 3.0) + QPointF(0.4, 0.6), at(angle, 8.0) + QPointF(0.4, 0.6));
    p.setPen(QPen(QColor(255, 196, 96), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(angle, 3.0), at(angle, 8.0));
    p.end();
    return image;
}

}  // namespace

bool WriteKnob(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::fprintf(file,
                 "// Generated by tools/artgen: 33 knob frames of 32 x 32 in one 1056 x 32 RGB "
                 "image, drawn\n// on the panel grey (216, 216, 216).\n"
                 "#include \"ui/knob_bitmap_data.h\"\n\n"
                 "// clang-format off\n"
                 "extern const unsigned char bitmap_data[101376] = {\n");
    QImage strip(kSize * kFrames, kSize, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int f = 0; f < kFrames; ++f) p.drawImage(f * kSize, 0, KnobFrame(f));
    p.end();
    int column = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize * kFrames; ++x) {
            const QRgb px = strip.pixel(x, y);
            for (int v : {qRed(px), qGreen(px), qBlue(px)}) {
                std::fprintf(file, "%d,", v);
                if (++column == 24) {
                    std::fputc('\n', file);
                    column = 0;
                }
            }
        }
    std::fprintf(file, "};\n// clang-format on\n");
    return std::fclose(file) == 0;
}
