// A button drawn from pictures: the off one at rest, the on one while pressed (and, for a
// two-state button, while its value is on).
#pragma once

#include <memory>

#include "platform/interface/control.h"

class BPicture;

enum : uint32 { B_ONE_STATE_BUTTON, B_TWO_STATE_BUTTON };

class BPictureButton : public BControl {
  public:
    // Copies the pictures and takes the message.
    BPictureButton(BRect frame, const char* name, const BPicture* off, const BPicture* on,
                   BMessage* message, uint32 behavior = B_ONE_STATE_BUTTON,
                   uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                   uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    explicit BPictureButton(BMessage* archive);
    ~BPictureButton() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Adds the pictures as "_e_on", "_e_off", "_d_on", "_d_off" (those that are set) and
    // "_behavior".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Each copies the picture; null clears it.
    void SetEnabledOn(const BPicture* picture);
    void SetEnabledOff(const BPicture* picture);
    // Shown while disabled; without them the enabled pictures are.
    void SetDisabledOn(const BPicture* picture);
    void SetDisabledOff(const BPicture* picture);
    const BPicture* EnabledOn() const { return fPictures[kEnabledOn].get(); }
    const BPicture* EnabledOff() const { return fPictures[kEnabledOff].get(); }
    const BPicture* DisabledOn() const { return fPictures[kDisabledOn].get(); }
    const BPicture* DisabledOff() const { return fPictures[kDisabledOff].get(); }
    void SetBehavior(uint32 behavior);
    uint32 Behavior() const { return fBehavior; }

    void Draw(BRect updateRect) override;
    // A one-state button sends its message when released over itself; a two-state button
    // also toggles its value first.
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    // Space and Enter act as a click.
    void KeyDown(const char* bytes, int32 numBytes) override;

  private:
    enum { kEnabledOn, kEnabledOff, kDisabledOn, kDisabledOff, kPictureCount };
    void SetPicture(int index, const BPicture* picture);
    const BPicture* Showing() const;
    void Clicked();

    std::unique_ptr<BPicture> fPictures[kPictureCount];
    uint32 fBehavior = B_ONE_STATE_BUTTON;
    bool fPressed = false;
    bool fInside = false;
};
