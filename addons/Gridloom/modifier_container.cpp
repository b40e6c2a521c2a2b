#include "addons/Gridloom/modifier_container.h"

#include <algorithm>
#include <memory>

#include "addons/Gridloom/modifier_view.h"
#include "addons/Gridloom/tracker_globals.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "engine/modifiers.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "ui/ie_window.h"

namespace {

constexpr const char* kLayout = "ModifierContainer";
constexpr float kBarsLeft = 85;
constexpr float kScrollBar = 14;
constexpr int32 kMaxModifiers = 128;

}  // namespace

ModifierContainer::ModifierContainer(BResources* resources)
    : ModifierContainer(std::unique_ptr<BMessage>(FindWindowResource(kLayout, resources)).get()) {}

ModifierContainer::ModifierContainer(BMessage* layout) : BView(layout) {
    if (auto* field = dynamic_cast<BMenuField*>(FindView("ModifierMenu"))) fMenu = field->Menu();
    const float w = Bounds().Width();
    const float h = Bounds().Height();
    auto* bar = new gridloom::XScrollBar(BRect(0, h - kScrollBar, w - 13, h));
    bar->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    fView = new ModifierView(BRect(kBarsLeft, 0, w - 15, h - 15));
    AddChild(fView);
    AddChild(bar);
}

ModifierContainer::~ModifierContainer() = default;

void ModifierContainer::Update() {
    if (currpat == nullptr) return;
    Redraw();
    if (fMenu == nullptr) return;
    fMenu->RemoveItems(0, fMenu->CountItems(), true);
    FillMenu();
}

void ModifierContainer::FillMenu() {
    ModifierInfoList* list = ModifierView::ShownList();
    if (list == nullptr || list->info == nullptr) return;
    const int32 count = std::min(list->count, kMaxModifiers);
    for (int32 i = 0; i < count; i++)
        fMenu->AddItem(new BMenuItem(list->info[i].name, new BMessage(kFirstModifier + i)));
    if (currmodifiernr < 0 || currmodifiernr >= count) currmodifiernr = 0;
    if (BMenuItem* shown = fMenu->ItemAt(currmodifiernr)) shown->SetMarked(true);
    fMenu->SetTargetForItems(this);
}

void ModifierContainer::Redraw() {
    fView->Invalidate();
}

void ModifierContainer::RedrawSpecific(int column) {
    fView->RedrawSpecific(column);
}

void ModifierContainer::MessageReceived(BMessage* message) {
    const uint32 what = message->what;
    if (what < kFirstModifier || what >= kFirstModifier + kMaxModifiers)
        return BView::MessageReceived(message);
    currmodifiernr = int32(what - kFirstModifier);
    Redraw();
}
