// A scroll bar: a QScrollBar whose value is how far its target is scrolled.
#pragma once

#include "platform/interface/view.h"

constexpr float B_V_SCROLL_BAR_WIDTH = 14;
constexpr float B_H_SCROLL_BAR_HEIGHT = 14;

// The thread that holds the window.
class BScrollBar : public BView {
  public:
    BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
               orientation direction);
    explicit BScrollBar(BMessage* archive);
    ~BScrollBar() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_range", "_steps", "_val", "_orient" and "_prop"; the target is not archived.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Clamped to the range; a change calls ValueChanged.
    void SetValue(float value);
    float Value() const { return fValue; }
    void SetRange(float min, float max);
    void GetRange(float* min, float* max) const;
    void SetSteps(float smallStep, float bigStep);
    void GetSteps(float* smallStep, float* bigStep) const;
    // How much of the content is visible, 0 to 1.
    void SetProportion(float proportion);
    float Proportion() const { return fProportion; }
    // The target's ScrollBar(Orientation()) becomes this bar; null unlinks.
    void SetTarget(BView* target);
    BView* Target() const { return fTarget; }
    orientation Orientation() const { return fOrientation; }

    // Scrolls the target so that its bounds start at the value along the bar.
    virtual void ValueChanged(float newValue);

    // The kit: the target scrolled itself; follows it without scrolling it back.
    void TargetScrolled(BPoint origin);
    // Range and proportion from the target's preferred size against its bounds; the big
    // step is a page.
    void FitToTarget();

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    BView* fTarget = nullptr;
    float fMin, fMax;
    float fValue = 0;
    float fSmallStep = 1, fBigStep = 10;
    float fProportion = 0;
    orientation fOrientation;
};
