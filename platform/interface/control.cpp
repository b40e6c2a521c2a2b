#include "platform/interface/control.h"

#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BControl)

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags),
      BInvoker(message, nullptr),
      fLabel(label ? label : "") {}

BControl::BControl(BMessage* archive) : BView(archive) {
    archive->FindString("_label", &fLabel);
    BMessage message;
    if (archive->FindMessage("_msg", &message) == B_OK) SetMessage(new BMessage(message));
    archive->FindInt32("_val", &fValue);
    bool disabled = false;
    archive->FindBool("_disabled", &disabled);
    fEnabled = !disabled;
}

BArchivable* BControl::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BControl") ? new BControl(archive) : nullptr;
}

status_t BControl::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BControl");
    archive->AddString("_label", fLabel);
    if (Message()) archive->AddMessage("_msg", Message());
    archive->AddInt32("_val", fValue);
    if (!fEnabled) archive->AddBool("_disabled", true);
    return B_OK;
}

void BControl::AttachedToWindow() {
    if (!Messenger().IsValid()) SetTarget(Window());
}

void BControl::SetLabel(const char* label) {
    fLabel = label ? label : "";
    Invalidate();
    WidgetStateChanged();
}

void BControl::SetValue(int32 value) {
    if (value == fValue) return;
    fValue = value;
    Invalidate();
    WidgetStateChanged();
}

void BControl::SetEnabled(bool enabled) {
    if (enabled == fEnabled) return;
    fEnabled = enabled;
    Invalidate();
    WidgetStateChanged();
}

status_t BControl::Invoke(BMessage* message) {
    return SendCopy(
        message, static_cast<const BView*>(this), [](BMessage* copy, const void* source) {
            copy->AddInt32(
                "be:value",
                static_cast<const BControl*>(static_cast<const BView*>(source))->Value());
        });
}
