#include "platform/interface/scroll_bar.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BScrollBar)

namespace {

uint32 ResizingModeFor(orientation direction) {
    return direction == B_HORIZONTAL ? B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM
                                     : B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT;
}

}  // namespace

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
                       orientation direction)
    : BView(frame, name, ResizingModeFor(direction), B_WILL_DRAW | B_FRAME_EVENTS),
      fMin(min),
      fMax(std::max(min, max)),
      fValue(min),
      fOrientation(direction) {
    SetTarget(target);
}

BScrollBar::BScrollBar(BMessage* archive) : BView(archive), fMin(0), fMax(0) {
    archive->FindFloat("_range", 0, &fMin);
    archive->FindFloat("_range", 1, &fMax);
    fMax = std::max(fMin, fMax);
    archive->FindFloat("_steps", 0, &fSmallStep);
    archive->FindFloat("_steps", 1, &fBigStep);
    archive->FindFloat("_val", &fValue);
    fValue = std::clamp(fValue, fMin, fMax);
    int32 direction = B_VERTICAL;
    archive->FindInt32("_orient", &direction);
    fOrientation = direction == B_HORIZONTAL ? B_HORIZONTAL : B_VERTICAL;
    archive->FindFloat("_prop", &fProportion);
}

BScrollBar::~BScrollBar() {
    SetTarget(nullptr);
}

BArchivable* BScrollBar::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BScrollBar") ? new BScrollBar(archive) : nullptr;
}

status_t BScrollBar::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BScrollBar");
    archive->AddFloat("_range", fMin);
    archive->AddFloat("_range", fMax);
    archive->AddFloat("_steps", fSmallStep);
    archive->AddFloat("_steps", fBigStep);
    archive->AddFloat("_val", fValue);
    archive->AddInt32("_orient", fOrientation);
    archive->AddFloat("_prop", fProportion);
    return B_OK;
}

void BScrollBar::SetValue(float value) {
    value = std::clamp(value, fMin, fMax);
    if (value == fValue) return;
    fValue = value;
    WidgetStateChanged();
    ValueChanged(value);
}

void BScrollBar::SetRange(float min, float max) {
    fMin = min;
    fMax = std::max(min, max);
    WidgetStateChanged();
    SetValue(fValue);
}

void BScrollBar::GetRange(float* min, float* max) const {
    if (min) *min = fMin;
    if (max) *max = fMax;
}

void BScrollBar::SetSteps(float smallStep, float bigStep) {
    fSmallStep = smallStep;
    fBigStep = bigStep;
    WidgetStateChanged();
}

void BScrollBar::GetSteps(float* smallStep, float* bigStep) const {
    if (smallStep) *smallStep = fSmallStep;
    if (bigStep) *bigStep = fBigStep;
}

void BScrollBar::SetProportion(float proportion) {
    fProportion = std::clamp(proportion, 0.0f, 1.0f);
    WidgetStateChanged();
}

void BScrollBar::SetTarget(BView* target) {
    if (fTarget) fTarget->fScrollBars[fOrientation] = nullptr;
    fTarget = target;
    if (!target) return;
    // A view knows one bar per direction: the bar it had loses it.
    BScrollBar*& slot = target->fScrollBars[fOrientation];
    if (slot && slot != this) slot->fTarget = nullptr;
    slot = this;
}

void BScrollBar::ValueChanged(float newValue) {
    if (!fTarget) return;
    const BPoint origin = fTarget->Bounds().LeftTop();
    fTarget->ScrollTo(fOrientation == B_HORIZONTAL ? BPoint(newValue, origin.y)
                                                   : BPoint(origin.x, newValue));
}

void BScrollBar::TargetScrolled(BPoint origin) {
    const float value = std::clamp(fOrientation == B_HORIZONTAL ? origin.x : origin.y, fMin, fMax);
    if (value == fValue) return;
    fValue = value;
    WidgetStateChanged();
}

void BScrollBar::FitToTarget() {
    if (!fTarget) return;
    float width = 0, height = 0;
    fTarget->GetPreferredSize(&width, &height);
    const BRect bounds = fTarget->Bounds();
    const bool horizontal = fOrientation == B_HORIZONTAL;
    const float content = (horizontal ? width : height) + 1;
    const float visible = (horizontal ? bounds.Width() : bounds.Height()) + 1;
    SetProportion(content > 0 ? visible / content : 1);
    SetSteps(fSmallStep, std::max(visible - fSmallStep, fSmallStep));
    SetRange(0, std::max(0.0f, content - visible));
}

QWidget* BScrollBar::CreateWidget(QWidget* parent) {
    auto* bar =
        new QScrollBar(fOrientation == B_HORIZONTAL ? Qt::Horizontal : Qt::Vertical, parent);
    const int32 token = Window()->Token();
    // SyncWidget blocks the signal, so it reports only what the user did.
    QObject::connect(bar, &QScrollBar::valueChanged, bar, [this, token](int value) {
        WhenLocked(token, [this, value] { SetValue(float(value)); });
    });
    return bar;
}

void BScrollBar::SyncWidget() {
    auto* bar = static_cast<QScrollBar*>(Widget());
    const QSignalBlocker blocker(bar);
    bar->setRange(int(std::lround(fMin)), int(std::lround(fMax)));
    bar->setSingleStep(std::max(1, int(std::lround(fSmallStep))));
    // Qt sizes the thumb by the page step against the range.
    bar->setPageStep(std::max(1, int(std::lround(fBigStep))));
    bar->setValue(int(std::lround(fValue)));
}
