// A menu that opens where it is asked to, on its own or from a menu field.
#pragma once

#include "platform/interface/menu.h"

class BPopUpMenu : public BMenu {
  public:
    explicit BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
                        menu_layout layout = B_ITEMS_IN_COLUMN);
    explicit BPopUpMenu(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Any thread but one the GUI thread waits for. Opens the menu at the screen point and
    // waits for the user; the chosen item, invoked first when deliversMessage is true, or
    // null (nothing chosen, or no GUI). openAnyway and async are taken for compatibility:
    // the menu always opens and Go always waits.
    BMenuItem* Go(BPoint screenWhere, bool deliversMessage = false, bool openAnyway = false,
                  bool async = false);
};
