// Points and inclusive rectangles in float coordinates; pixel centres lie on integers.
#pragma once

#include <algorithm>

struct BPoint {
    float x = 0;
    float y = 0;

    constexpr BPoint() = default;
    constexpr BPoint(float px, float py) : x(px), y(py) {}
    constexpr bool operator==(const BPoint&) const = default;
    constexpr BPoint operator+(BPoint o) const { return {x + o.x, y + o.y}; }
    constexpr BPoint operator-(BPoint o) const { return {x - o.x, y - o.y}; }
    constexpr BPoint& operator+=(BPoint o) { return *this = *this + o; }
    constexpr BPoint& operator-=(BPoint o) { return *this = *this - o; }
};

// A rectangle holds both its edges: (0,0)-(10,10) covers 11 x 11 pixels.
struct BRect {
    float left = 0;
    float top = 0;
    float right = -1;
    float bottom = -1;

    constexpr BRect() = default;
    constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
    constexpr BRect(BPoint leftTop, BPoint rightBottom)
        : BRect(leftTop.x, leftTop.y, rightBottom.x, rightBottom.y) {}
    constexpr float Width() const { return right - left; }
    constexpr float Height() const { return bottom - top; }
    constexpr bool IsValid() const { return left <= right && top <= bottom; }
    constexpr bool operator==(const BRect&) const = default;

    constexpr BPoint LeftTop() const { return {left, top}; }
    constexpr BPoint RightBottom() const { return {right, bottom}; }
    constexpr BPoint LeftBottom() const { return {left, bottom}; }
    constexpr BPoint RightTop() const { return {right, top}; }
    constexpr bool Contains(BPoint p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    constexpr bool Contains(const BRect& r) const {
        return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
    }
    constexpr bool Intersects(const BRect& r) const {
        return IsValid() && r.IsValid() && r.left <= right && r.right >= left && r.top <= bottom &&
               r.bottom >= top;
    }
    constexpr BRect OffsetByCopy(float dx, float dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr BRect OffsetByCopy(BPoint d) const { return OffsetByCopy(d.x, d.y); }
    constexpr BRect& OffsetBy(float dx, float dy) { return *this = OffsetByCopy(dx, dy); }
    constexpr BRect& OffsetBy(BPoint d) { return OffsetBy(d.x, d.y); }
    constexpr BRect& OffsetTo(float x, float y) { return OffsetBy(x - left, y - top); }
    constexpr BRect& OffsetTo(BPoint p) { return OffsetTo(p.x, p.y); }
    constexpr BRect InsetByCopy(float dx, float dy) const {
        return {left + dx, top + dy, right - dx, bottom - dy};
    }
    constexpr BRect& InsetBy(float dx, float dy) { return *this = InsetByCopy(dx, dy); }
    // Intersection; invalid when the two do not meet.
    constexpr BRect operator&(const BRect& r) const {
        return {std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
                std::min(bottom, r.bottom)};
    }
    // The smallest rectangle holding both; an invalid side is ignored.
    constexpr BRect operator|(const BRect& r) const {
        if (!IsValid()) return r;
        if (!r.IsValid()) return *this;
        return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
                std::max(bottom, r.bottom)};
    }
};

struct rgb_color {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    unsigned char alpha = 255;
    constexpr bool operator==(const rgb_color&) const = default;
};
