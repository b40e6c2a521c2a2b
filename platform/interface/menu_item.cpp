#include "platform/interface/menu_item.h"

#include "platform/app/application.h"
#include "platform/interface/menu.h"
#include "platform/interface/window.h"
#include "platform/kernel/os.h"

REGISTER_ARCHIVABLE(BMenuItem)
REGISTER_ARCHIVABLE(BSeparatorItem)

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : fLabel(label ? label : ""),
      fMessage(message),
      fShortcut(shortcut),
      fModifiers(shortcut ? modifiers : 0) {}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message) : fMessage(message), fSubmenu(submenu) {
    if (!submenu) return;
    fLabel = submenu->Name();
    submenu->fSuperitem = this;
}

BMenuItem::BMenuItem(BMessage* archive) : BArchivable(archive) {
    archive->FindString("_label", &fLabel);
    BMessage message;
    if (archive->FindMessage("_msg", &message) == B_OK) fMessage = new BMessage(message);
    // Layouts may write the shortcut as its character or as its code.
    int32 code = 0;
    std::string text;
    if (archive->FindInt32("_shortcut", &code) == B_OK && code > 0 && code < 128)
        fShortcut = char(code);
    else if (archive->FindString("_shortcut", &text) == B_OK && text.size() == 1)
        fShortcut = text[0];
    if (fShortcut && archive->FindInt32("_mods", &code) == B_OK) fModifiers = uint32(code);
    archive->FindBool("_marked", &fMarked);
    archive->FindBool("_disabled", &fDisabled);
    BMessage submenu;
    if (archive->FindMessage("_submenu", &submenu) == B_OK) {
        BArchivable* object = instantiate_object(&submenu);
        fSubmenu = dynamic_cast<BMenu*>(object);
        if (!fSubmenu) delete object;
        if (fSubmenu) {
            fSubmenu->fSuperitem = this;
            if (fLabel.empty()) fLabel = fSubmenu->Name();
        }
    }
}

BMenuItem::~BMenuItem() {
    if (fMenu) fMenu->RemoveItem(this);
    if (fSubmenu) fSubmenu->fSuperitem = nullptr;
    delete fSubmenu;
    delete fMessage;
}

BArchivable* BMenuItem::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BMenuItem") ? new BMenuItem(archive) : nullptr;
}

status_t BMenuItem::Archive(BMessage* archive, bool deep) const {
    BArchivable::Archive(archive, deep);
    archive_class_name(archive, "BMenuItem");
    archive->AddString("_label", fLabel);
    if (fMessage) archive->AddMessage("_msg", fMessage);
    if (fShortcut) {
        archive->AddInt32("_shortcut", int32(uint8(fShortcut)));
        archive->AddInt32("_mods", int32(fModifiers));
    }
    if (fMarked) archive->AddBool("_marked", true);
    if (fDisabled) archive->AddBool("_disabled", true);
    if (deep && fSubmenu) {
        BMessage submenu;
        if (fSubmenu->Archive(&submenu, true) == B_OK) archive->AddMessage("_submenu", &submenu);
    }
    return B_OK;
}

void BMenuItem::SetLabel(const char* label) {
    const std::string text = label ? label : "";
    if (text == fLabel) return;
    fLabel = text;
    Changed();
}

void BMenuItem::SetEnabled(bool enabled) {
    if (fSubmenu) {
        fSubmenu->SetEnabled(enabled);
        return;
    }
    if (fDisabled == !enabled) return;
    fDisabled = !enabled;
    Changed();
}

bool BMenuItem::IsEnabled() const {
    if (fSubmenu) return fSubmenu->IsEnabled();
    return !fDisabled && (!fMenu || fMenu->IsEnabled());
}

void BMenuItem::SetMarked(bool marked) {
    if (marked == fMarked) return;
    fMarked = marked;
    if (fMenu) fMenu->MarkChanged(marked ? this : nullptr);
    Changed();
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers) {
    fShortcut = shortcut;
    fModifiers = shortcut ? modifiers : 0;
    Changed();
}

char BMenuItem::Shortcut(uint32* modifiers) const {
    if (modifiers) *modifiers = fModifiers;
    return fShortcut;
}

void BMenuItem::SetMessage(BMessage* message) {
    if (message == fMessage) return;
    delete fMessage;
    fMessage = message;
}

status_t BMenuItem::SetTarget(const BHandler* handler, const BLooper* looper) {
    fTargetHandler = handler;
    status_t result = B_OK;
    fTarget = handler || looper ? BMessenger(handler, looper, &result) : BMessenger();
    // A handler not yet in a looper is looked up again when the item is invoked.
    return handler && result != B_OK ? B_OK : result;
}

status_t BMenuItem::SetTarget(const BMessenger& messenger) {
    fTargetHandler = nullptr;
    fTarget = messenger;
    return B_OK;
}

BMessenger BMenuItem::Messenger() const {
    if (fTarget.IsValid()) return fTarget;
    if (fTargetHandler) return BMessenger(fTargetHandler);
    if (BWindow* window = fMenu ? fMenu->MenuWindow() : nullptr) return BMessenger(window);
    return be_app_messenger();
}

BHandler* BMenuItem::Target(BLooper** looper) const {
    return Messenger().Target(looper);
}

status_t BMenuItem::Invoke(BMessage* message) {
    if (!IsEnabled()) return B_NOT_ALLOWED;
    if (fMenu && fMenu->IsRadioMode()) SetMarked(true);
    const BMessage* source = message ? message : fMessage;
    if (!source) return B_BAD_VALUE;
    BMessage copy(*source);
    copy.AddInt32("index", fMenu ? fMenu->IndexOf(this) : 0);
    copy.AddInt64("when", system_time());
    const BMessenger target = Messenger();
    return target.IsValid() ? target.SendMessage(&copy) : B_BAD_PORT_ID;
}

void BMenuItem::Changed() {
    if (fMenu) fMenu->ItemChanged();
}

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr) {
    BMenuItem::SetEnabled(false);
}

BSeparatorItem::BSeparatorItem(BMessage* archive) : BMenuItem(archive) {
    BMenuItem::SetEnabled(false);
}

BArchivable* BSeparatorItem::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BSeparatorItem") ? new BSeparatorItem(archive)
                                                             : nullptr;
}

status_t BSeparatorItem::Archive(BMessage* archive, bool deep) const {
    BMenuItem::Archive(archive, deep);
    archive_class_name(archive, "BSeparatorItem");
    return B_OK;
}
