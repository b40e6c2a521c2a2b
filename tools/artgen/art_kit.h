// What every drawing of the image generator shares: colours, canvases and writers.
#pragma once

#include <QColor>
#include <QImage>
#include <string>

// Pixels of this colour are skipped by B_OP_OVER, so the parent shows through.
inline const QColor kClear(119, 116, 119);
inline const QColor kPanel(216, 216, 216);
inline const QColor kOutline(52, 55, 61);
inline const QColor kAmber(255, 168, 40);
inline const QColor kAmberDim(92, 66, 40);

// A transparent image to draw on with anti-aliasing.
QImage Canvas(int w, int h);

// Edge pixels either fully drawn or the clear colour, for images drawn with B_OP_OVER.
QImage Harden(const QImage& art);

// An uncompressed 24-bit TGA, top row first, as the resource compiler takes it.
bool WriteTga(const QImage& image, const std::string& path);
