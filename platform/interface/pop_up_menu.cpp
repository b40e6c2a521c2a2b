#include "platform/interface/pop_up_menu.h"

#include "platform/app/gui_thread.h"
#include "platform/interface/menu_item.h"

REGISTER_ARCHIVABLE(BPopUpMenu)

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(name, layout) {
    SetRadioMode(radioMode);
    if (labelFromMarked) SetLabelFromMarked(true);
}

BPopUpMenu::BPopUpMenu(BMessage* archive) : BMenu(archive) {}

BArchivable* BPopUpMenu::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BPopUpMenu") ? new BPopUpMenu(archive) : nullptr;
}

status_t BPopUpMenu::Archive(BMessage* archive, bool deep) const {
    BMenu::Archive(archive, deep);
    return archive_class_name(archive, "BPopUpMenu");
}

BMenuItem* BPopUpMenu::Go(BPoint screenWhere, bool deliversMessage, bool, bool) {
    if (!gui_thread::Started()) return nullptr;
    BMenuItem* chosen = nullptr;
    gui_thread::RunAndWait([&] { chosen = ExecQMenu(screenWhere); });
    if (chosen && deliversMessage) chosen->Invoke();
    return chosen;
}
