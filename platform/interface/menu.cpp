#include "platform/interface/menu.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cctype>

#include "platform/interface/menu_item.h"

REGISTER_ARCHIVABLE(BMenu)

namespace {

QMenu* gOpenQMenu = nullptr;

QString QtLabel(const char* label) {
    // Qt takes "&" as a mnemonic marker.
    return QString::fromUtf8(label).replace('&', "&&");
}

QKeySequence ShortcutSequence(char shortcut, uint32 modifiers) {
    Qt::KeyboardModifiers mods = Qt::ControlModifier;
    if (modifiers & (B_SHIFT_KEY | B_OPTION_KEY)) mods |= Qt::ShiftModifier;
    if (modifiers & B_CONTROL_KEY) mods |= Qt::MetaModifier;
    const int key = std::toupper(uint8(shortcut));
    return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

// Command+option is typed as Ctrl+Shift, so the two match each other.
uint32 Normalized(uint32 modifiers) {
    uint32 result = modifiers & B_COMMAND_KEY;
    if (modifiers & (B_SHIFT_KEY | B_OPTION_KEY)) result |= B_SHIFT_KEY;
    return result;
}

template <typename Target>
void Fill(Target* target, const BMenu* menu,
          const std::function<void(std::vector<int32>)>& triggered,
          const std::vector<int32>& prefix) {
    for (int32 i = 0; i < menu->CountItems(); ++i) {
        BMenuItem* item = menu->ItemAt(i);
        std::vector<int32> path = prefix;
        path.push_back(i);
        if (item->IsSeparator()) {
            target->addSeparator();
        } else if (BMenu* submenu = item->Submenu()) {
            QMenu* qmenu = target->addMenu(QtLabel(item->Label()));
            qmenu->setEnabled(item->IsEnabled());
            submenu->FillQtMenu(qmenu, triggered, path);
        } else {
            QAction* action = target->addAction(QtLabel(item->Label()));
            action->setEnabled(item->IsEnabled());
            action->setCheckable(item->IsMarked());
            action->setChecked(item->IsMarked());
            uint32 mods = 0;
            if (char shortcut = item->Shortcut(&mods))
                action->setShortcut(ShortcutSequence(shortcut, mods));
            QObject::connect(action, &QAction::triggered, action,
                             [triggered, path] { triggered(path); });
        }
    }
}

}  // namespace

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW), fLayout(layout) {}

BMenu::BMenu(BMessage* archive) : BView(archive) {
    int32 layout = B_ITEMS_IN_COLUMN;
    archive->FindInt32("_layout", &layout);
    fLayout = layout >= B_ITEMS_IN_ROW && layout <= B_ITEMS_IN_MATRIX ? menu_layout(layout)
                                                                      : B_ITEMS_IN_COLUMN;
    archive->FindBool("_radio", &fRadio);
    archive->FindBool("_label_from_marked", &fLabelFromMarked);
    bool disabled = false;
    archive->FindBool("_disabled", &disabled);
    fEnabled = !disabled;
    BMessage itemArchive;
    for (int32 i = 0; archive->FindMessage("_items", i, &itemArchive) == B_OK; ++i) {
        // Hand-written layouts may leave out the class of plain items.
        std::string className;
        BArchivable* object = itemArchive.FindString("class", &className) == B_OK
                                  ? instantiate_object(&itemArchive)
                                  : new BMenuItem(&itemArchive);
        auto* item = dynamic_cast<BMenuItem*>(object);
        if (!item || !AddItem(item)) delete object;
    }
}

BMenu::~BMenu() {
    if (fSuperitem) fSuperitem->fSubmenu = nullptr;
    for (BMenuItem* item : fItems) {
        item->fMenu = nullptr;
        delete item;
    }
}

BArchivable* BMenu::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BMenu") ? new BMenu(archive) : nullptr;
}

status_t BMenu::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BMenu");
    archive->AddInt32("_layout", fLayout);
    if (fRadio) archive->AddBool("_radio", true);
    if (fLabelFromMarked) archive->AddBool("_label_from_marked", true);
    if (!fEnabled) archive->AddBool("_disabled", true);
    if (!deep) return B_OK;
    for (BMenuItem* item : fItems) {
        BMessage itemArchive;
        if (item->Archive(&itemArchive, true) == B_OK) archive->AddMessage("_items", &itemArchive);
    }
    return B_OK;
}

bool BMenu::AddItem(BMenuItem* item) {
    return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index) {
    if (!item || item->fMenu || index < 0 || index > CountItems()) return false;
    // A menu may not hold itself, directly or through its submenus.
    for (const BMenu* m = this; m; m = m->Supermenu())
        if (item->fSubmenu == m) return false;
    fItems.insert(fItems.begin() + index, item);
    item->fMenu = this;
    if (item->IsMarked()) MarkChanged(item);
    ItemChanged();
    return true;
}

bool BMenu::AddItem(BMenu* submenu) {
    return AddItem(submenu, CountItems());
}

bool BMenu::AddItem(BMenu* submenu, int32 index) {
    if (!submenu || submenu->fSuperitem) return false;
    auto* item = new BMenuItem(submenu);
    if (AddItem(item, index)) return true;
    item->fSubmenu = nullptr;
    submenu->fSuperitem = nullptr;
    delete item;
    return false;
}

bool BMenu::AddSeparatorItem() {
    return AddItem(new BSeparatorItem);
}

BMenuItem* BMenu::RemoveItem(int32 index) {
    BMenuItem* item = ItemAt(index);
    if (!item) return nullptr;
    fItems.erase(fItems.begin() + index);
    item->fMenu = nullptr;
    ItemChanged();
    return item;
}

bool BMenu::RemoveItem(BMenuItem* item) {
    return RemoveItem(IndexOf(item)) != nullptr;
}

bool BMenu::RemoveItem(BMenu* submenu) {
    BMenuItem* item = RemoveItem(IndexOf(submenu));
    if (!item) return false;
    item->fSubmenu = nullptr;
    submenu->fSuperitem = nullptr;
    delete item;
    return true;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems) {
    if (index < 0 || count < 0 || index + count > CountItems()) return false;
    for (int32 i = 0; i < count; ++i) {
        BMenuItem* item = RemoveItem(index);
        if (deleteItems) delete item;
    }
    return true;
}

BMenuItem* BMenu::ItemAt(int32 index) const {
    return index >= 0 && index < CountItems() ? fItems[index] : nullptr;
}

BMenu* BMenu::SubmenuAt(int32 index) const {
    BMenuItem* item = ItemAt(index);
    return item ? item->Submenu() : nullptr;
}

int32 BMenu::IndexOf(const BMenuItem* item) const {
    auto found = std::find(fItems.begin(), fItems.end(), item);
    return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

int32 BMenu::IndexOf(const BMenu* submenu) const {
    for (int32 i = 0; i < CountItems(); ++i)
        if (submenu && fItems[i]->Submenu() == submenu) return i;
    return -1;
}

BMenuItem* BMenu::FindItem(const char* label) const {
    if (!label) return nullptr;
    for (BMenuItem* item : fItems) {
        if (!item->IsSeparator() && item->fLabel == label) return item;
        if (item->Submenu())
            if (BMenuItem* found = item->Submenu()->FindItem(label)) return found;
    }
    return nullptr;
}

BMenuItem* BMenu::FindItem(uint32 command) const {
    for (BMenuItem* item : fItems) {
        if (item->Message() && item->Command() == command) return item;
        if (item->Submenu())
            if (BMenuItem* found = item->Submenu()->FindItem(command)) return found;
    }
    return nullptr;
}

BMenuItem* BMenu::FindMarked() const {
    return ItemAt(FindMarkedIndex());
}

int32 BMenu::FindMarkedIndex() const {
    for (int32 i = 0; i < CountItems(); ++i)
        if (fItems[i]->IsMarked()) return i;
    return -1;
}

void BMenu::SetRadioMode(bool on) {
    fRadio = on;
    if (!on) fLabelFromMarked = false;
}

void BMenu::SetLabelFromMarked(bool on) {
    fLabelFromMarked = on;
    if (!on) return;
    fRadio = true;
    MarkChanged(FindMarked());
}

void BMenu::SetEnabled(bool enabled) {
    if (fEnabled == enabled) return;
    fEnabled = enabled;
    ItemChanged();
}

bool BMenu::IsEnabled() const {
    const BMenu* super = Supermenu();
    return fEnabled && (!super || super->IsEnabled());
}

status_t BMenu::SetTargetForItems(BHandler* handler) {
    status_t result = B_OK;
    for (BMenuItem* item : fItems)
        if (status_t r = item->SetTarget(handler); r != B_OK) result = r;
    return result;
}

status_t BMenu::SetTargetForItems(const BMessenger& messenger) {
    for (BMenuItem* item : fItems) item->SetTarget(messenger);
    return B_OK;
}

BMenu* BMenu::Supermenu() const {
    return fSuperitem ? fSuperitem->Menu() : nullptr;
}

BMenuItem* BMenu::FindShortcut(uint32 key, uint32 modifiers) const {
    if (!IsEnabled()) return nullptr;
    for (BMenuItem* item : fItems) {
        if (item->Submenu()) {
            if (BMenuItem* found = item->Submenu()->FindShortcut(key, modifiers)) return found;
            continue;
        }
        uint32 mods = 0;
        const char shortcut = item->Shortcut(&mods);
        if (!shortcut || uint32(std::tolower(uint8(shortcut))) != key) continue;
        if (Normalized(mods | B_COMMAND_KEY) == Normalized(modifiers) && item->IsEnabled())
            return item;
    }
    return nullptr;
}

BWindow* BMenu::MenuWindow() const {
    const BMenu* top = this;
    while (top->Supermenu()) top = top->Supermenu();
    if (top->Window()) return top->Window();
    return top->fOwner ? top->fOwner->Window() : nullptr;
}

BMenuItem* BMenu::ItemAtPath(const std::vector<int32>& path) const {
    const BMenu* menu = this;
    BMenuItem* item = nullptr;
    for (int32 index : path) {
        if (!menu) return nullptr;
        item = menu->ItemAt(index);
        if (!item) return nullptr;
        menu = item->Submenu();
    }
    return item;
}

void BMenu::FillQtMenu(QWidget* target, const std::function<void(std::vector<int32>)>& triggered,
                       const std::vector<int32>& prefix) const {
    if (auto* bar = qobject_cast<QMenuBar*>(target))
        Fill(bar, this, triggered, prefix);
    else if (auto* menu = qobject_cast<QMenu*>(target))
        Fill(menu, this, triggered, prefix);
}

BMenuItem* BMenu::ExecQMenu(BPoint screenWhere) {
    QMenu qmenu;
    std::vector<int32> chosen;
    bool picked = false;
    FillQtMenu(&qmenu,
               [&](std::vector<int32> path) {
                   chosen = std::move(path);
                   picked = true;
                   qmenu.close();
               },
               {});
    QMenu* previous = gOpenQMenu;
    gOpenQMenu = &qmenu;
    qmenu.exec(QPoint(int(screenWhere.x), int(screenWhere.y)));
    gOpenQMenu = previous;
    return picked ? ItemAtPath(chosen) : nullptr;
}

QMenu* BMenu::OpenQMenu() {
    return gOpenQMenu;
}

void BMenu::ItemChanged() {
    WidgetStateChanged();
    if (fChangeHook) fChangeHook();
    if (BMenu* super = Supermenu()) super->ItemChanged();
}

void BMenu::MarkChanged(BMenuItem* item) {
    if (item && fRadio)
        for (BMenuItem* other : fItems)
            if (other != item && other->fMarked) {
                other->fMarked = false;
                ItemChanged();
            }
    if (fLabelFromMarked && fSuperitem) fSuperitem->SetLabel(item ? item->Label() : Name());
}
