// Pictures made of filled and stroked paths, drawn as pixels at any size or written as SVG text
// from the same shapes, so the two never drift apart.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <string>
#include <vector>

struct VectorShape {
    QPainterPath path;
    // Filled top to bottom from one colour to the other; an invalid colour: not filled.
    QColor fill_top;
    QColor fill_bottom;
    // Stroked with round ends and joins; an invalid colour: not stroked.
    QColor stroke;
    double stroke_width = 0;
};

// Shapes drawn in order on a square of this many units a side.
constexpr double kVectorUnits = 256;
using VectorPicture = std::vector<VectorShape>;

// Anti-aliased on a transparent square of size pixels.
QImage RenderPicture(const VectorPicture& picture, int size);

// A standalone SVG document of the same picture.
std::string PictureSvg(const VectorPicture& picture);
