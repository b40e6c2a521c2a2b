// An entry of a menu: a label with a message it sends, a shortcut, a mark, or a submenu.
//
// Plain objects, built and archived with no display. Threads: the thread that holds the
// window of the menu (or the only one using a menu that is not shown).
#pragma once

#include <string>

#include "platform/app/messenger.h"
#include "platform/interface/archivable.h"
#include "platform/interface/interface_defs.h"

class BMenu;

class BMenuItem : public BArchivable {
  public:
    // Takes the message. The shortcut is a character typed with command and the modifiers.
    BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
    // Takes the submenu; the label is the submenu's name.
    explicit BMenuItem(BMenu* submenu, BMessage* message = nullptr);
    explicit BMenuItem(BMessage* archive);
    // Deletes the message and the submenu.
    ~BMenuItem() override;
    BMenuItem(const BMenuItem&) = delete;
    BMenuItem& operator=(const BMenuItem&) = delete;

    static BArchivable* Instantiate(BMessage* archive);
    // Fields: "_label", "_msg", "_shortcut", "_mods", "_marked", "_disabled", "_submenu".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    virtual void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    // An item is disabled by itself or by a disabled menu above it.
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // In a radio-mode menu marking one item unmarks the others.
    virtual void SetMarked(bool marked);
    bool IsMarked() const { return fMarked; }
    virtual void SetShortcut(char shortcut, uint32 modifiers);
    char Shortcut(uint32* modifiers = nullptr) const;

    BMenu* Submenu() const { return fSubmenu; }
    BMenu* Menu() const { return fMenu; }
    BMessage* Message() const { return fMessage; }
    // Takes the message.
    void SetMessage(BMessage* message);
    uint32 Command() const { return fMessage ? fMessage->what : 0; }

    // Without a target the message goes to the window that holds the menu, else to be_app.
    status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
    status_t SetTarget(const BMessenger& messenger);
    BMessenger Messenger() const;
    BHandler* Target(BLooper** looper = nullptr) const;

    // Posts a copy of the message (or of the given one) with "index" and "when". Marks the
    // item when its menu is in radio mode.
    virtual status_t Invoke(BMessage* message = nullptr);

    virtual bool IsSeparator() const { return false; }

  private:
    friend class BMenu;
    void Changed();

    std::string fLabel;
    BMessage* fMessage = nullptr;
    BMenu* fSubmenu = nullptr;
    BMenu* fMenu = nullptr;
    char fShortcut = 0;
    uint32 fModifiers = 0;
    bool fMarked = false;
    bool fDisabled = false;
    BMessenger fTarget;
    const BHandler* fTargetHandler = nullptr;
};

// A line between groups of items; never invoked.
class BSeparatorItem : public BMenuItem {
  public:
    BSeparatorItem();
    explicit BSeparatorItem(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    status_t Archive(BMessage* archive, bool deep = true) const override;

    void SetEnabled(bool) override {}
    status_t Invoke(BMessage*) override { return B_NOT_ALLOWED; }
    bool IsSeparator() const override { return true; }
};
