#include "tools/artgen/art_kit.h"

#include <algorithm>
#include <cstdio>

QImage Canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Anti-aliased edges against the clear colour would leave a fringe of blends the OVER mode
// cannot skip.
QImage Harden(const QImage& art) {
    QImage out(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QRgb p = art.pixel(x, y);
            if (qAlpha(p) < 110) {
                out.setPixel(x, y, kClear.rgb());
            } else {
                // Blend partly covered edges over the outline colour, not the clear one.
                const int a = qAlpha(p);
                auto ch = [a](int c, int under) { return (c * 255 + under * (255 - a)) / 255; };
                const QRgb u = qUnpremultiply(p);
                out.setPixel(x, y,
                             qRgb(std::min(255, ch(qRed(u) * a / 255, kOutline.red())),
                                  std::min(255, ch(qGreen(u) * a / 255, kOutline.green())),
                                  std::min(255, ch(qBlue(u) * a / 255, kOutline.blue()))));
            }
        }
    return out;
}

bool WriteTga(const QImage& image, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    unsigned char header[18] = {};
    header[2] = 2;
    header[12] = uchar(image.width() & 0xff);
    header[13] = uchar(image.width() >> 8);
    header[14] = uchar(image.height() & 0xff);
    header[15] = uchar(image.height() >> 8);
    header[16] = 24;
    header[17] = 0x20;
    std::fwrite(header, 1, sizeof header, file);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const unsigned char bgr[3] = {uchar(qBlue(p)), uchar(qGreen(p)), uchar(qRed(p))};
            std::fwrite(bgr, 1, 3, file);
        }
    return std::fclose(file) == 0;
}
