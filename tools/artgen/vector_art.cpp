#include "tools/artgen/vector_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

namespace {

QBrush FillBrush(const VectorShape& shape) {
    if (!shape.fill_top.isValid()) return Qt::NoBrush;
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, shape.fill_top);
    gradient.setColorAt(1, shape.fill_bottom);
    return gradient;
}

QPen StrokePen(const VectorShape& shape) {
    if (!shape.stroke.isValid()) return Qt::NoPen;
    return QPen(shape.stroke, shape.stroke_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string PathData(const QPainterPath& path) {
    std::string d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo())
            d += "M";
        else if (e.isLineTo())
            d += "L";
        else if (e.isCurveTo())
            d += "C";
        d += Number(e.x) + " " + Number(e.y) + " ";
    }
    d.pop_back();
    return d;
}

std::string Colour(const QColor& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red(), colour.green(), colour.blue());
    return text;
}

std::string Opacity(const char* attribute, const QColor& colour) {
    if (colour.alpha() == 255) return "";
    return std::string(" ") + attribute + "=\"" + Number(colour.alphaF()) + "\"";
}

bool IsFlat(const VectorShape& shape) {
    return shape.fill_top == shape.fill_bottom;
}

std::string FillValue(const VectorShape& shape, int id) {
    if (!shape.fill_top.isValid()) return "none";
    return IsFlat(shape) ? Colour(shape.fill_top) : "url(#g" + std::to_string(id) + ")";
}

std::string GradientDef(const VectorShape& shape, int id) {
    auto stop = [](const char* offset, const QColor& c) {
        return std::string("<stop offset=\"") + offset + "\" stop-color=\"" + Colour(c) + "\"" +
               Opacity("stop-opacity", c) + "/>";
    };
    return "<linearGradient id=\"g" + std::to_string(id) +
           "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">" + stop("0", shape.fill_top) +
           stop("1", shape.fill_bottom) + "</linearGradient>\n";
}

std::string ShapeElement(const VectorShape& shape, int id) {
    std::string element = "<path d=\"" + PathData(shape.path) + "\"";
    element += " fill=\"" + FillValue(shape, id) + "\"";
    if (IsFlat(shape)) element += Opacity("fill-opacity", shape.fill_top);
    if (shape.stroke.isValid())
        element += " stroke=\"" + Colour(shape.stroke) + "\"" +
                   Opacity("stroke-opacity", shape.stroke) + " stroke-width=\"" +
                   Number(shape.stroke_width) +
                   "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    return element + "/>\n";
}

}  // namespace

QImage RenderPicture(const VectorPicture& picture, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kVectorUnits, size / kVectorUnits);
    for (const VectorShape& shape : picture) {
        p.setBrush(FillBrush(shape));
        p.setPen(StrokePen(shape));
        p.drawPath(shape.path);
    }
    p.end();
    return image;
}

std::string PictureSvg(const VectorPicture& picture) {
    const std::string units = Number(kVectorUnits);
    std::string defs, body;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i].fill_top.isValid() && !IsFlat(picture[i]))
            defs += GradientDef(picture[i], int(i));
        body += ShapeElement(picture[i], int(i));
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           units + "\" height=\"" + units + "\" viewBox=\"0 0 " + units + " " + units +
           "\">\n<defs>\n" + defs + "</defs>\n" + body + "</svg>\n";
}
