// The widget kit's images: pattern and mute buttons, the position bar and the knob strip.
#pragma once

#include <QImage>
#include <string>

QImage PatternButton(bool pressed);
QImage MuteButton(bool lit);
QImage PosBar();
QImage PosMark();
// The Gridloom editor's grid cell images, w x h.
QImage TrackerBox(int w, int h);

// The knob strip as a C++ source of its RGB bytes, for the widget kit to compile in.
bool WriteKnob(const std::string& path);
