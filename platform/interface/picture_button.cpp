#include "platform/interface/picture_button.h"

#include "platform/interface/picture.h"

REGISTER_ARCHIVABLE(BPictureButton)

namespace {

constexpr const char* kFieldNames[] = {"_e_on", "_e_off", "_d_on", "_d_off"};

uint32 BehaviorFrom(uint32 behavior) {
    return behavior == B_TWO_STATE_BUTTON ? B_TWO_STATE_BUTTON : B_ONE_STATE_BUTTON;
}

}  // namespace

BPictureButton::BPictureButton(BRect frame, const char* name, const BPicture* off,
                               const BPicture* on, BMessage* message, uint32 behavior,
                               uint32 resizingMode, uint32 flags)
    : BControl(frame, name, nullptr, message, resizingMode, flags),
      fBehavior(BehaviorFrom(behavior)) {
    SetPicture(kEnabledOff, off);
    SetPicture(kEnabledOn, on);
}

BPictureButton::BPictureButton(BMessage* archive) : BControl(archive) {
    for (int i = 0; i < kPictureCount; ++i) {
        BMessage pictureArchive;
        if (archive->FindMessage(kFieldNames[i], &pictureArchive) == B_OK)
            fPictures[i] = std::make_unique<BPicture>(&pictureArchive);
    }
    int32 behavior = B_ONE_STATE_BUTTON;
    archive->FindInt32("_behavior", &behavior);
    fBehavior = BehaviorFrom(uint32(behavior));
}

BPictureButton::~BPictureButton() = default;

BArchivable* BPictureButton::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BPictureButton") ? new BPictureButton(archive)
                                                             : nullptr;
}

status_t BPictureButton::Archive(BMessage* archive, bool deep) const {
    BControl::Archive(archive, deep);
    archive_class_name(archive, "BPictureButton");
    for (int i = 0; i < kPictureCount; ++i) {
        BMessage pictureArchive;
        if (fPictures[i] && fPictures[i]->Archive(&pictureArchive) == B_OK)
            archive->AddMessage(kFieldNames[i], &pictureArchive);
    }
    archive->AddInt32("_behavior", int32(fBehavior));
    return B_OK;
}

void BPictureButton::SetPicture(int index, const BPicture* picture) {
    fPictures[index] = picture ? std::make_unique<BPicture>(*picture) : nullptr;
    Invalidate();
}

void BPictureButton::SetEnabledOn(const BPicture* picture) {
    SetPicture(kEnabledOn, picture);
}

void BPictureButton::SetEnabledOff(const BPicture* picture) {
    SetPicture(kEnabledOff, picture);
}

void BPictureButton::SetDisabledOn(const BPicture* picture) {
    SetPicture(kDisabledOn, picture);
}

void BPictureButton::SetDisabledOff(const BPicture* picture) {
    SetPicture(kDisabledOff, picture);
}

void BPictureButton::SetBehavior(uint32 behavior) {
    fBehavior = BehaviorFrom(behavior);
    Invalidate();
}

const BPicture* BPictureButton::Showing() const {
    const bool on =
        (fPressed && fInside) || (fBehavior == B_TWO_STATE_BUTTON && Value() != B_CONTROL_OFF);
    const int enabled = on ? kEnabledOn : kEnabledOff;
    const int disabled = on ? kDisabledOn : kDisabledOff;
    return !IsEnabled() && fPictures[disabled] ? fPictures[disabled].get()
                                               : fPictures[enabled].get();
}

void BPictureButton::Draw(BRect) {
    if (const BPicture* picture = Showing()) picture->Draw(this, Bounds().LeftTop());
}

void BPictureButton::MouseDown(BPoint) {
    if (!IsEnabled()) return;
    fPressed = fInside = true;
    Invalidate();
}

void BPictureButton::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fPressed || Bounds().Contains(where) == fInside) return;
    fInside = !fInside;
    Invalidate();
}

void BPictureButton::MouseUp(BPoint where) {
    if (!fPressed) return;
    fPressed = false;
    Invalidate();
    if (Bounds().Contains(where)) Clicked();
}

void BPictureButton::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER) && IsEnabled())
        Clicked();
    else
        BControl::KeyDown(bytes, numBytes);
}

void BPictureButton::Clicked() {
    if (fBehavior == B_TWO_STATE_BUTTON)
        SetValue(Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
    Invoke();
}
