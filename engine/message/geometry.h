// Points and inclusive rectangles in float coordinates; pixel centres lie on integers.
#pragma once

struct BPoint {
    float x = 0;
    float y = 0;

    constexpr BPoint() = default;
    constexpr BPoint(float px, float py) : x(px), y(py) {}
    constexpr bool operator==(const BPoint&) const = default;
};

struct BRect {
    float left = 0;
    float top = 0;
    float right = -1;
    float bottom = -1;

    constexpr BRect() = default;
    constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
    constexpr float Width() const { return right - left; }
    constexpr float Height() const { return bottom - top; }
    constexpr bool IsValid() const { return left <= right && top <= bottom; }
    constexpr bool operator==(const BRect&) const = default;
};

struct rgb_color {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    unsigned char alpha = 255;
    constexpr bool operator==(const rgb_color&) const = default;
};
