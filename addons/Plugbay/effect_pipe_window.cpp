#include "addons/Plugbay/effect_pipe_window.h"

#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

#include "addons/Plugbay/effect_drag_list_view.h"
#include "addons/Plugbay/effect_item.h"
#include "addons/Plugbay/effect_list_view.h"
#include "addons/Plugbay/effect_pipe.h"
#include "addons/Plugbay/effect_roster.h"
#include "platform/interface/check_box.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/string_item.h"
#include "platform/storage/image_path.h"
#include "platform/storage/resources.h"

namespace {

// Its address lies in the add-on's image, wherever the image was loaded from.
const char kAnchor = 0;

constexpr type_code kLayoutType = four_cc("ARCV");
constexpr const char* kLayout = "EffectPipeWindow";

// Read once, on the first window, and kept for the image's life.
BResources* winresource = nullptr;

}  // namespace

EffectPipeWindow* CreateEffectPipeWindow(EffectPipe* pipe) {
    if (winresource == nullptr) {
        BPath path;
        auto resources = std::make_unique<BResources>();
        if (get_image_path(&kAnchor, &path) != B_OK || resources->SetTo(path.Path()) != B_OK ||
            !resources->HasResource(kLayoutType, kLayout))
            return nullptr;
        winresource = resources.release();
    }
    return new EffectPipeWindow(pipe, winresource);
}

EffectPipeWindow::EffectPipeWindow(EffectPipe* pipe, BResources* resources)
    : IEWindow(kLayout, resources), fPipe(pipe) {
    Lock();
    fBypassAll = static_cast<BCheckBox*>(FindView("chkBypassAll"));
    fPipeList = new EffectListView(ListFrame("View1"), this);
    fAvailable = new EffectDragListView(ListFrame("View2"));
    AddList("View1", fPipeList);
    AddList("View2", fAvailable);
    for (int32 i = 0; i < CountChildren(); i++) ForwardDrops(ChildAt(i));
    Rescan1();
    Rescan2();
    Show();
    Unlock();
}

EffectPipeWindow::~EffectPipeWindow() {
    if (fPipe != nullptr) fPipe->window = nullptr;
}

BRect EffectPipeWindow::ListFrame(const char* host) const {
    BRect frame = FindView(host)->Bounds();
    return BRect(frame.left + 2, frame.top + 2, frame.right - 16, frame.bottom - 2);
}

void EffectPipeWindow::AddList(const char* host, BView* list) {
    FindView(host)->AddChild(new BScrollView("scrollview", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
                                             false, true, B_FANCY_BORDER));
}

// Views keep what they do not handle to themselves; a drop on any of them is the window's.
void EffectPipeWindow::ForwardDrops(BView* view) {
    view->SetNextHandler(this);
    for (int32 i = 0; i < view->CountChildren(); i++) ForwardDrops(view->ChildAt(i));
}

void EffectPipeWindow::Rescan1() {
    Lock();
    fPipeList->MakeEmpty();
    fItems.clear();
    const int32 count = fPipe != nullptr ? int32(fPipe->num_effects) : 0;
    for (int32 i = 0; i < count; i++) {
        fItems.push_back(std::make_unique<EffectItem>(fPipe->effects[i]));
        fPipeList->AddItem(fItems.back().get());
    }
    if (fPipe != nullptr) fBypassAll->SetValue(fPipe->bypassall ? B_CONTROL_ON : B_CONTROL_OFF);
    Unlock();
}

void EffectPipeWindow::Rescan2() {
    Lock();
    fAvailable->MakeEmpty();
    fNames.clear();
    // By name, whatever order the folders listed in; drops carry the name, not the place.
    std::vector<std::string> names;
    for (int32 i = 0; i < effect_roster.count; i++) names.emplace_back(effect_roster.GetName(i));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    for (const std::string& name : names) {
        fNames.push_back(std::make_unique<BStringItem>(name.c_str()));
        fAvailable->AddItem(fNames.back().get());
    }
    Unlock();
}

// The pipe refills the list itself, before the effect goes.
void EffectPipeWindow::RemoveEffect(int32 index) {
    if (fPipe != nullptr) fPipe->RemoveEffect(index);
}

void EffectPipeWindow::Forget() {
    Lock();
    fPipe = nullptr;
    Rescan1();
    Unlock();
}

void EffectPipeWindow::Drop(BMessage* message) {
    const char* name = nullptr;
    if (fPipe != nullptr && message->FindString("EffectTypeName", &name) == B_OK)
        fPipe->CreateEffect(name);
    Rescan1();
}

void EffectPipeWindow::MessageReceived(BMessage* message) {
    switch (message->what) {
        case kDelete:
            if (fPipeList->CurrentSelection() >= 0) RemoveEffect(fPipeList->CurrentSelection());
            break;
        case kUp:
        case kDown:
            break;
        case kBypassAll:
            if (fPipe != nullptr) fPipe->bypassall = fBypassAll->Value() == B_CONTROL_ON;
            break;
        case EffectDragListView::kDragged:
            Drop(message);
            break;
        default:
            IEWindow::MessageReceived(message);
    }
}
