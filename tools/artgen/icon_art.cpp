#include "tools/artgen/icon_art.h"

#include <QDir>
#include <QTransform>
#include <cstdio>

namespace {

const QColor kCableCore(255, 168, 40);
const QColor kCableSheath(70, 44, 12);
const QColor kSlateTop(92, 98, 110);
const QColor kSlateBottom(46, 50, 58);
const QColor kEdge(26, 28, 33);

VectorShape Filled(const QPainterPath& path, QColor top, QColor bottom, QColor edge = {},
                   double edge_width = 0) {
    return {path, top, bottom, edge, edge_width};
}

VectorShape Stroked(const QPainterPath& path, QColor colour, double width) {
    return {path, {}, {}, colour, width};
}

QPainterPath RoundRect(double x, double y, double w, double h, double radius) {
    QPainterPath path;
    path.addRoundedRect(x, y, w, h, radius, radius);
    return path;
}

QPainterPath Circle(double x, double y, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(x, y), r, r);
    return path;
}

QPainterPath Cable(QPointF from, QPointF to) {
    QPainterPath path(from);
    const double bend = (to.y() - from.y()) * 0.6;
    path.cubicTo(from + QPointF(0, bend), to - QPointF(0, bend), to);
    return path;
}

// A sheathed cable: dark under, amber over, so it reads on light and dark desktops alike.
void AddCable(VectorPicture& picture, const QPainterPath& path) {
    picture.push_back(Stroked(path, kCableSheath, 22));
    picture.push_back(Stroked(path, kCableCore, 11));
}

// A dark module with a knob and a lit lamp.
void AddModule(VectorPicture& picture, double x, double y) {
    picture.push_back(Filled(RoundRect(x, y, 100, 84, 18), kSlateTop, kSlateBottom, kEdge, 6));
    picture.push_back(
        Filled(Circle(x + 34, y + 44, 17), QColor(226, 229, 234), QColor(132, 137, 146), kEdge, 4));
    picture.push_back(Filled(Circle(x + 74, y + 30, 8), QColor(255, 226, 150), kCableCore,
                             QColor(120, 64, 10), 3));
}

// Two beamed eighth notes on the amber module.
void AddNotes(VectorPicture& picture) {
    const QColor ink(40, 28, 14);
    QPainterPath notes;
    for (const QPointF head : {QPointF(104, 214), QPointF(152, 206)}) {
        QPainterPath oval;
        oval.addEllipse(QPointF(0, 0), 16, 11);
        notes.addPath(QTransform().translate(head.x(), head.y()).rotate(-22).map(oval));
        notes.addRect(head.x() + 8, head.y() - 52, 9, 50);
    }
    QPainterPath beam;
    beam.moveTo(112, 158);
    beam.lineTo(169, 148);
    beam.lineTo(169, 166);
    beam.lineTo(112, 176);
    beam.closeSubpath();
    notes.addPath(beam);
    notes.setFillRule(Qt::WindingFill);
    picture.push_back(Filled(notes.simplified(), ink, ink));
}

VectorPicture Transformed(const VectorPicture& picture, const QTransform& transform) {
    VectorPicture out;
    for (VectorShape shape : picture) {
        shape.path = transform.map(shape.path);
        shape.stroke_width *= transform.m11();
        out.push_back(shape);
    }
    return out;
}

bool WriteText(const QString& path, const std::string& text) {
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "w");
    if (!file) return false;
    std::fputs(text.c_str(), file);
    return std::fclose(file) == 0;
}

// One icon's PNG files for each size and its SVG, under DIR/hicolor/.../CONTEXT/NAME.
bool WriteIcon(const QString& dir, const char* context, const char* name,
               const VectorPicture& picture, const std::vector<int>& sizes) {
    for (int size : sizes) {
        const QString folder = QString("%1/hicolor/%2x%2/%3").arg(dir).arg(size).arg(context);
        if (!QDir().mkpath(folder) ||
            !RenderPicture(picture, size).save(folder + "/" + name + ".png", "PNG"))
            return false;
    }
    const QString scalable = QString("%1/hicolor/scalable/%2").arg(dir, context);
    return QDir().mkpath(scalable) &&
           WriteText(scalable + "/" + name + ".svg", PictureSvg(picture));
}

}  // namespace

VectorPicture ProgramIcon() {
    VectorPicture picture;
    QPainterPath across(QPointF(100, 62));
    across.lineTo(156, 62);
    AddCable(picture, across);
    AddCable(picture, Cable(QPointF(64, 96), QPointF(100, 150)));
    AddCable(picture, Cable(QPointF(192, 96), QPointF(156, 150)));
    AddModule(picture, 14, 20);
    AddModule(picture, 142, 20);
    picture.push_back(Filled(RoundRect(66, 140, 124, 100, 20), QColor(255, 204, 96),
                             QColor(236, 136, 20), QColor(110, 58, 8), 6));
    AddNotes(picture);
    return picture;
}

VectorPicture SongFileIcon() {
    QPainterPath page;
    page.moveTo(44, 10);
    page.lineTo(168, 10);
    page.lineTo(220, 62);
    page.lineTo(220, 246);
    page.lineTo(44, 246);
    page.closeSubpath();
    QPainterPath fold;
    fold.moveTo(168, 10);
    fold.lineTo(168, 62);
    fold.lineTo(220, 62);
    fold.closeSubpath();
    const QColor edge(96, 100, 108);
    VectorPicture picture = {Filled(page, QColor(255, 255, 255), QColor(226, 228, 233), edge, 6),
                             Filled(fold, QColor(238, 239, 242), QColor(200, 203, 210), edge, 6)};
    const double scale = 0.62;
    for (const VectorShape& shape :
         Transformed(ProgramIcon(), QTransform(scale, 0, 0, scale, 53, 74)))
        picture.push_back(shape);
    return picture;
}

bool WriteIcons(const std::string& dir, const std::vector<int>& sizes) {
    const QString root = QString::fromStdString(dir);
    return WriteIcon(root, "apps", "velloran", ProgramIcon(), sizes) &&
           WriteIcon(root, "mimetypes", "audio-VelloranFile", SongFileIcon(), sizes);
}
