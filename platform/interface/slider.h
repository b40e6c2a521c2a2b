// A value between limits set with a QSlider. The message is sent when the user lets go of
// the thumb or steps it with the keyboard; the modification message while the thumb moves.
#pragma once

#include <memory>
#include <string>

#include "platform/interface/control.h"

// The same values as Qt's tick positions.
enum hash_mark_location : int32 {
    B_HASH_MARKS_NONE = 0,
    B_HASH_MARKS_TOP = 1,
    B_HASH_MARKS_LEFT = 1,
    B_HASH_MARKS_BOTTOM = 2,
    B_HASH_MARKS_RIGHT = 2,
    B_HASH_MARKS_BOTH = 3,
};
enum thumb_style : int32 { B_BLOCK_THUMB, B_TRIANGLE_THUMB };

class BSlider : public BControl {
  public:
    // Takes the message. The thumb's look is the style's.
    BSlider(BRect frame, const char* name, const char* label, BMessage* message, int32 minValue,
            int32 maxValue, thumb_style thumbType = B_BLOCK_THUMB,
            uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
            uint32 flags = B_NAVIGABLE | B_WILL_DRAW | B_FRAME_EVENTS);
    explicit BSlider(BMessage* archive);
    ~BSlider() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_min", "_max", "_mod_msg" (when set), "_orient", "_hashl", "_hashc", "_minlbl"
    // and "_maxlbl".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Clamped into the limits.
    void SetValue(int32 value) override;
    void SetLimits(int32 minimum, int32 maximum);
    void GetLimits(int32* minimum, int32* maximum) const;
    // Takes the message; sent while the user drags the thumb. Null clears it.
    virtual void SetModificationMessage(BMessage* message);
    BMessage* ModificationMessage() const { return fModMessage.get(); }
    void SetOrientation(orientation direction);
    orientation Orientation() const { return fOrientation; }
    void SetHashMarks(hash_mark_location where);
    hash_mark_location HashMarks() const { return fHashMarks; }
    // Marks at both limits and count - 2 between them.
    void SetHashMarkCount(int32 count);
    int32 HashMarkCount() const { return fHashMarkCount; }
    // Shown at the ends: left and right, or bottom and top when vertical.
    void SetLimitLabels(const char* minLabel, const char* maxLabel);
    const char* MinLimitLabel() const { return fMinLabel.c_str(); }
    const char* MaxLimitLabel() const { return fMaxLabel.c_str(); }

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    void UserMoved(int32 value, BMessage* message);

    int32 fMin;
    int32 fMax;
    std::unique_ptr<BMessage> fModMessage;
    orientation fOrientation = B_HORIZONTAL;
    hash_mark_location fHashMarks = B_HASH_MARKS_NONE;
    int32 fHashMarkCount = 0;
    std::string fMinLabel;
    std::string fMaxLabel;
};
