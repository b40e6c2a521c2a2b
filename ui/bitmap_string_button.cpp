#include "ui/bitmap_string_button.h"

#include "platform/interface/bitmap.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"
#include "platform/interface/window.h"
#include "ui/radio_list.h"
#include "ui/resource_to_bitmap.h"

namespace {

constexpr rgb_color kLowUp = {208, 208, 208, 255};
constexpr rgb_color kLowPressed = {158, 158, 158, 255};

struct KindArt {
    const char* up;
    const char* pressed;
    int32 width, height;
};
constexpr KindArt kArt[2] = {{"PatternButton1", "PatternButton2", 70, 17},
                             {"MuteButton1", "MuteButton2", 17, 17}};

// Loaded once, by the first button, and kept for the program's life.
struct SharedArt {
    BBitmap* up[2] = {};
    BBitmap* pressed[2] = {};
    int32 width[2] = {70, 17};
    int32 height[2] = {17, 17};
};

const SharedArt& Art() {
    static const SharedArt art = [] {
        SharedArt loaded;
        for (int kind = 0; kind < 2; ++kind) {
            int32 w = kArt[kind].width, h = kArt[kind].height;
            ResourceToBitmap(kArt[kind].up, &loaded.up[kind], &w, &h);
            loaded.width[kind] = w;
            loaded.height[kind] = h;
            ResourceToBitmap(kArt[kind].pressed, &loaded.pressed[kind], &w, &h);
        }
        return loaded;
    }();
    return art;
}

}  // namespace

BitmapStringButton::BitmapStringButton(BPoint where, int32 kind, BMessage* message, RadioList* list,
                                       BPopUpMenu* menu)
    : BView(BRect(where, where + BPoint(2, 2)), "BitmapStringButton", B_FOLLOW_NONE, B_WILL_DRAW),
      fKind(kind == kMute ? kMute : kPattern),
      fMessage(message),
      fList(list),
      fMenu(menu) {
    SetViewColor(B_TRANSPARENT_COLOR);
    SetLowColor(kLowUp);
    if (fList) {
        fList->SetPressed(0);
        fList->AddButton(this);
    }
    const SharedArt& art = Art();
    ResizeTo(float(art.width[fKind] - 1), float(art.height[fKind] - 1));
}

BitmapStringButton::~BitmapStringButton() {
    if (fList) fList->RemoveButton(this);
    delete fMessage;
}

void BitmapStringButton::Draw(BRect) {
    const SharedArt& art = Art();
    const BBitmap* image = fValue == 1 && art.pressed[fKind] ? art.pressed[fKind] : art.up[fKind];
    SetDrawingMode(B_OP_OVER);
    if (image) DrawBitmap(image, BPoint(0, 0));
    SetLowColor(fValue == 1 ? kLowPressed : kLowUp);
    if (!fText.empty()) DrawString(fText.c_str(), BPoint(5, 12));
}

void BitmapStringButton::MouseDown(BPoint where) {
    if (!fList) {
        fValue = fValue ? 0 : 1;
    } else {
        if (BitmapStringButton* previous = fList->ButtonAt(fList->Pressed())) {
            previous->SetValue(0);
            previous->Invalidate();
        }
        fList->SetPressed(fList->IndexOf(this));
        fValue = 1;
    }
    Invalidate();
    BWindow* window = Window();
    if (!window) return;
    if (fMessage) window->MessageReceived(fMessage);
    if (!fMenu) return;
    uint32 buttons = 0;
    BPoint ignored;
    GetMouse(&ignored, &buttons, false);
    if (const BMessage* event = window->CurrentMessage()) {
        int32 fromEvent = 0;
        if (event->FindInt32("buttons", &fromEvent) == B_OK) buttons |= uint32(fromEvent);
    }
    if (buttons & B_SECONDARY_MOUSE_BUTTON) OpenMenu(where);
}

void BitmapStringButton::OpenMenu(BPoint where) {
    BMenuItem* chosen = fMenu->Go(ConvertToScreen(where), false, true);
    if (chosen && chosen->Message() && Window()) Window()->MessageReceived(chosen->Message());
}
