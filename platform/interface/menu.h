// A list of menu items. A view so that a menu bar can sit in a window; menus that are not
// in a bar are never attached and only turn into Qt menus while they are shown.
//
// Threads: the thread that holds the window of the menu (or the only one using a menu that
// is not shown).
#pragma once

#include <functional>
#include <vector>

#include "platform/app/messenger.h"
#include "platform/interface/view.h"

class BMenuItem;
class QMenu;
class QWidget;

enum menu_layout : int32 { B_ITEMS_IN_ROW = 0, B_ITEMS_IN_COLUMN, B_ITEMS_IN_MATRIX };

class BMenu : public BView {
  public:
    explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
    explicit BMenu(BMessage* archive);
    // Deletes the items.
    ~BMenu() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Fields: those of a view, "_layout", "_radio", "_label_from_marked", "_disabled" and the
    // items' archives in "_items".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // The menu takes the items; false (and the item stays the caller's) for a bad index or an
    // item already in a menu.
    bool AddItem(BMenuItem* item);
    bool AddItem(BMenuItem* item, int32 index);
    // Adds an item that opens the submenu.
    bool AddItem(BMenu* submenu);
    bool AddItem(BMenu* submenu, int32 index);
    bool AddSeparatorItem();
    // The item is the caller's again.
    BMenuItem* RemoveItem(int32 index);
    bool RemoveItem(BMenuItem* item);
    // Deletes the item that opens the submenu; the submenu is the caller's.
    bool RemoveItem(BMenu* submenu);
    bool RemoveItems(int32 index, int32 count, bool deleteItems = false);

    int32 CountItems() const { return int32(fItems.size()); }
    BMenuItem* ItemAt(int32 index) const;
    BMenu* SubmenuAt(int32 index) const;
    int32 IndexOf(const BMenuItem* item) const;
    int32 IndexOf(const BMenu* submenu) const;
    // Depth first, through submenus.
    BMenuItem* FindItem(const char* label) const;
    BMenuItem* FindItem(uint32 command) const;
    // In this menu only.
    BMenuItem* FindMarked() const;
    int32 FindMarkedIndex() const;

    // Radio mode: marking an item unmarks the others and invoking an item marks it.
    virtual void SetRadioMode(bool on);
    bool IsRadioMode() const { return fRadio; }
    // The item that opens this menu shows the marked item's label; implies radio mode.
    virtual void SetLabelFromMarked(bool on);
    bool IsLabelFromMarked() const { return fLabelFromMarked; }
    virtual void SetEnabled(bool enabled);
    // Disabled by itself or by a disabled menu above it.
    bool IsEnabled() const;
    menu_layout Layout() const { return fLayout; }

    status_t SetTargetForItems(BHandler* handler);
    status_t SetTargetForItems(const BMessenger& messenger);

    BMenuItem* Superitem() const { return fSuperitem; }
    BMenu* Supermenu() const;

    // The kit: an enabled item whose shortcut is the key (lower case) with exactly these
    // modifiers (command included), through submenus.
    BMenuItem* FindShortcut(uint32 key, uint32 modifiers) const;
    // The kit: the window the items of this menu send to by default (the top menu's).
    BWindow* MenuWindow() const;
    // The kit: the menu's item through a path of indices from here.
    BMenuItem* ItemAtPath(const std::vector<int32>& path) const;
    // The kit: fills a Qt menu with actions mirroring the items; triggering one runs
    // triggered with the item's path from this menu.
    // target is a QMenu or a QMenuBar.
    void FillQtMenu(QWidget* target, const std::function<void(std::vector<int32>)>& triggered,
                    const std::vector<int32>& prefix = {}) const;
    // The kit, the GUI thread: shows the items as a Qt menu at the screen point and waits in
    // a nested event loop; the chosen item, or null.
    BMenuItem* ExecQMenu(BPoint screenWhere);
    // The kit, the GUI thread: the Qt menu ExecQMenu shows, while it does (for tests).
    static QMenu* OpenQMenu();
    // The kit: called whenever an item of this menu or below changes what it shows.
    void SetChangeHook(std::function<void()> hook) { fChangeHook = std::move(hook); }
    void ItemChanged();
    // The kit: the view that shows this menu although the menu is not attached (a menu
    // field); its window is the items' default target.
    void SetOwnerView(BView* owner) { fOwner = owner; }

  protected:
    // The kit: the mark moved to item (null when it was unmarked).
    virtual void MarkChanged(BMenuItem* item);

  private:
    friend class BMenuItem;
    friend class BMenuBar;

    std::vector<BMenuItem*> fItems;
    BMenuItem* fSuperitem = nullptr;
    menu_layout fLayout;
    bool fRadio = false;
    bool fLabelFromMarked = false;
    bool fEnabled = true;
    std::function<void()> fChangeHook;
    BView* fOwner = nullptr;
};
