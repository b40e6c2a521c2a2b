// Built once BControl is in the kit; drop this guard then.
#include "ui/round_slider.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/bitmap.h"
#include "platform/interface/window.h"
#include "ui/knob_bitmap_data.h"

namespace {

constexpr const char* kClassName = "RoundSlider";

}  // namespace

const BBitmap* RoundSlider::Strip() {
    // Made once and kept for the program's life; the pixels are constant.
    static const BBitmap* strip = [] {
        auto* bitmap =
            new BBitmap(BRect(0, 0, kKnobSize * kKnobFrames - 1, kKnobSize - 1), B_RGB32);
        bitmap->ImportBits(bitmap_data, int32(sizeof bitmap_data), kKnobSize * kKnobFrames * 3, 0,
                           B_RGB24_BIG);
        return bitmap;
    }();
    return strip;
}

RoundSlider::RoundSlider(BRect frame, BMessage* message, uint32 resizingMode)
    : BControl(frame, kClassName, "label", message, resizingMode, B_WILL_DRAW | B_NAVIGABLE) {
    Init();
}

RoundSlider::RoundSlider(BMessage* archive) : BControl(archive) {
    Init();
    float value = 0;
    if (archive->FindFloat("_value", &value) == B_OK) SetValue(value);
}

void RoundSlider::Init() {
    SetViewColor(B_TRANSPARENT_COLOR);
}

BArchivable* RoundSlider::Instantiate(BMessage* archive) {
    if (!validate_instantiation(archive, kClassName)) return nullptr;
    return new RoundSlider(archive);
}

status_t RoundSlider::Archive(BMessage* archive, bool deep) const {
    status_t status = BControl::Archive(archive, deep);
    if (status == B_OK) status = archive_class_name(archive, kClassName);
    if (status == B_OK) status = archive->AddFloat("_value", fValue);
    return status;
}

void RoundSlider::SetValue(float value) {
    if (!(value >= 0)) value = 0;  // NaN too
    fValue = std::min(value, 1.0f);
    fPercentage = int32(std::trunc(fValue * 100));
    Invalidate(BRect(0, 0, kKnobSize, kKnobSize));
}

int32 RoundSlider::KnobFrame() const {
    return std::min(int32(std::trunc(fValue * kKnobFrames)), kKnobFrames - 1);
}

void RoundSlider::Draw(BRect) {
    SetDrawingMode(B_OP_COPY);
    DrawBitmap(Strip(), BPoint(float(-kKnobSize * KnobFrame()), 0));
}

void RoundSlider::MouseDown(BPoint where) {
    fLastY = where.y;
    fTracking = true;
    Invalidate();
}

void RoundSlider::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fTracking) return;
    uint32 buttons = 0;
    BPoint ignored;
    GetMouse(&ignored, &buttons, false);
    if (!(buttons & B_PRIMARY_MOUSE_BUTTON)) {
        fTracking = false;
        return;
    }
    fPercentage = std::clamp(fPercentage + int32(std::lround(fLastY - where.y)), 0, 100);
    fValue = float(fPercentage) / 100;
    if (where.y != fLastY) {
        Invalidate();
        if (Window()) {
            BMessage changed(kRoundSliderChanged);
            Window()->MessageReceived(&changed);
        }
    }
    fLastY = where.y;
}

void RoundSlider::MouseUp(BPoint) {
    fTracking = false;
}

REGISTER_ARCHIVABLE(RoundSlider)

