#include "app/pattern_container.h"

#include <algorithm>

#include "app/x_scroll_bar.h"
#include "app/y_scroll_bar1.h"
#include "engine/song.h"
#include "platform/interface/font.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"
#include "platform/interface/window.h"
#include "ui/bitmap_string_button.h"

namespace {

constexpr rgb_color kBackground = {71, 80, 86, 255};
constexpr rgb_color kButtonColumn = {216, 216, 216, 255};
constexpr const char* kButtonsName = "scrollview1";
constexpr const char* kLanesName = "scrollview2";
constexpr const char* kLaneName = "PatternView";

BPopUpMenu* MakePopUp() {
    auto* menu = new BPopUpMenu("Popup menu", true, false);
    menu->AddItem(new BMenuItem("Copy", new BMessage('COPY')));
    menu->AddItem(new BMenuItem("Paste", new BMessage('PSTE')));
    menu->AddSeparatorItem();
    menu->AddItem(new BMenuItem("Remove Machine", new BMessage(79)));
    return menu;
}

}  // namespace

PatternContainer::PatternContainer(BMessage* archive) : BView(archive), fPopUp(MakePopUp()) {
    const float w = float(int32(Frame().Width() + 1));
    const float h = float(int32(Frame().Height() + 1));
    fXBar = new XScrollBar(BRect(0, h - 14, w - 13, h), this);
    fXBar->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    AddChild(fXBar);
    fYBar = new YScrollBar1(BRect(w - 14, 0, w, h - 14), this);
    fYBar->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    AddChild(fYBar);
    fLaneArea = new BView(BRect(86, 0, w - 15, h - 15), "Container", B_FOLLOW_ALL, B_WILL_DRAW);
    fLaneArea->SetViewColor(kBackground);
    AddChild(fLaneArea);
    SetFlags(Flags() | B_WILL_DRAW | B_FRAME_EVENTS);
    Update(1);
}

PatternContainer::~PatternContainer() {
    // The lane views belong to their machines.
    DropLanes();
    delete fPopUp;
}

BView* PatternContainer::ButtonColumn() const {
    return FindView(kButtonsName);
}

BView* PatternContainer::LaneColumn() const {
    return fLaneArea->FindView(kLanesName);
}

void PatternContainer::DropLanes() {
    if (BView* buttons = ButtonColumn()) {
        buttons->RemoveSelf();
        delete buttons;
    }
    BView* lanes = LaneColumn();
    if (lanes == nullptr) return;
    while (BView* lane = lanes->FindView(kLaneName)) lane->RemoveSelf();
    lanes->RemoveSelf();
    delete lanes;
}

void PatternContainer::Update(int32 selected) {
    DropLanes();
    BView* bar = FindView("barview");
    auto* buttons =
        new BView(BRect(0, 0, bar->Bounds().Width(), 0), kButtonsName, B_FOLLOW_NONE, B_WILL_DRAW);
    buttons->SetViewColor(kButtonColumn);
    bar->AddChild(buttons);
    auto* lanes = new BView(BRect(0, 0, kLaneWidth, 0), kLanesName, B_FOLLOW_NONE, B_WILL_DRAW);
    lanes->SetViewColor(kBackground);
    fLaneArea->AddChild(lanes);
    float y = 0;
    for (int32 i = 0; i < song->num_machines; i++) {
        Machine* machine = song->machines[i];
        if (machine == nullptr || machine->view == nullptr) continue;
        AddLane(i, y, i == selected);
        y += float(machine->view_height);
    }
    fTotalHeight = int32(y);
    FitVerticalBar();
    ScrollLanes();
}

void PatternContainer::AddLane(int32 id, float y, bool pressed) {
    Machine* machine = song->machines[id];
    const auto height = float(machine->view_height);
    BView* buttons = ButtonColumn();
    auto* select = new BMessage('PBTN');
    select->AddInt32("patternnr", id);
    auto* name = new BitmapStringButton(BPoint(0, y), BitmapStringButton::kPattern, select,
                                        &fNameButtons, fPopUp);
    name->SetText(machine->GetName());
    buttons->AddChild(name);
    buttons->ResizeBy(0, height);
    if (pressed) {
        name->SetValue(1);
        fNameButtons.SetPressed(fNameButtons.IndexOf(name));
    }
    auto* toggle = new BMessage('MBTN');
    toggle->AddInt32("patternnr", id);
    auto* mute =
        new BitmapStringButton(BPoint(name->Frame().Width(), y), BitmapStringButton::kMute, toggle);
    toggle->AddPointer("buttonobject", mute);
    mute->SetValue(machine->mute != 0 ? 1 : 0);
    buttons->AddChild(mute);

    BView* lanes = LaneColumn();
    BView* lane = machine->view;
    lane->SetName(kLaneName);
    lane->MoveTo(0, y);
    lane->ResizeTo(kLaneWidth, height);
    lanes->AddChild(lane);
    lanes->ResizeBy(0, height);
}

void PatternContainer::FitVerticalBar() {
    const auto visible = float(int32(Bounds().Height() - 13));
    fYBar->SetRange(0, std::max(0.0f, float(fTotalHeight) - visible));
    fYBar->SetProportion(fTotalHeight > 0 ? std::min(1.0f, visible / float(fTotalHeight)) : 1.0f);
}

void PatternContainer::FrameResized(float, float) {
    FitVerticalBar();
}

void PatternContainer::ScrollLanes() {
    const float x = -XScrollBar::kUnit * fXBar->Value();
    const float y = -fYBar->Value();
    if (BView* buttons = ButtonColumn()) buttons->MoveTo(0, y);
    if (BView* lanes = LaneColumn()) lanes->MoveTo(x, y);
    if (Window() == nullptr) return;
    if (BView* ruler = Window()->FindView("posbar")) ruler->MoveTo(86 + x, 0);
}
