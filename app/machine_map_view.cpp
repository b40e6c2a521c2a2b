#include "app/machine_map_view.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/connection_volume.h"
#include "app/playlist_window.h"
#include "app/volume_changer_view.h"
#include "engine/finite_values.h"
#include "engine/song.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"

namespace {

constexpr rgb_color kBackground = {71, 80, 86, 255};
constexpr rgb_color kSource = {255, 164, 164, 255};
constexpr rgb_color kEffect = {255, 192, 128, 255};
constexpr rgb_color kMaster = {128, 192, 255, 255};
constexpr double kPi = 3.14159265358979;
// Far past any map, and still exact in a float.
constexpr int32 kCoordinateLimit = 1 << 24;

BPopUpMenu* MakePopUp() {
    auto* menu = new BPopUpMenu("Popup menu", true, false);
    menu->AddItem(new BMenuItem("Show machine window", new BMessage(MachineMapView::kShow)));
    menu->AddItem(new BMenuItem("Mute/Unmute", new BMessage(MachineMapView::kMute)));
    menu->AddSeparatorItem();
    menu->AddItem(new BMenuItem("Delete machine", new BMessage(MachineMapView::kDelete)));
    return menu;
}

bool OnMap(const Machine& machine) {
    return machine.has_input || machine.has_output;
}

// Infinities go to the nearer bound.
float HeldTo(float value, float lo, float hi, float whenNaN) {
    return std::isnan(value) ? whenNaN : std::clamp(value, lo, hi);
}

// The place drawn and hit; what the machine stores is left as it is.
BPoint Place(const Machine& machine) {
    const float extent = Machine::kMapExtent;
    return BPoint(HeldTo(machine.position.x, -extent, extent, 0),
                  HeldTo(machine.position.y, -extent, extent, 0));
}

BPoint Centre(const Machine& machine) {
    return Place(machine) + BPoint(MachineMapView::kBoxWidth / 2, MachineMapView::kBoxHeight / 2);
}

float Volume(float stored) {
    return HeldTo(stored, 0, Machine::kMaxVolume, 0);
}

float Trunc(double value) {
    return float(ClampToInt(value, -kCoordinateLimit, kCoordinateLimit));
}

uint8 Channel(int32 value) {
    return uint8(std::clamp(value, 0, 255));
}

rgb_color Shade(rgb_color base, int32 delta) {
    return {Channel(base.red + delta), Channel(base.green + delta), Channel(base.blue + delta),
            255};
}

rgb_color Grey(int32 level) {
    return Shade({0, 0, 0, 255}, level);
}

// The arrowhead's base point on the line and the direction from b back towards a.
struct Arrow {
    BPoint mid;
    double theta;
};

Arrow ArrowOf(BPoint a, BPoint b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    Arrow arrow{BPoint(Trunc(dx * 0.5 + a.x), Trunc(a.y + dy * 0.5)), std::atan(dy / (dx + 0.001))};
    if (dx >= 0) arrow.theta += kPi;
    return arrow;
}

BPoint Along(BPoint from, double angle, double length) {
    return from + BPoint(float(length * std::cos(angle)), float(length * std::sin(angle)));
}

BRect Around(const std::array<BPoint, 3>& t) {
    return BRect(std::min({t[0].x, t[1].x, t[2].x}), std::min({t[0].y, t[1].y, t[2].y}),
                 std::max({t[0].x, t[1].x, t[2].x}), std::max({t[0].y, t[1].y, t[2].y}));
}

int32 Inputs(const Machine& machine) {
    return std::clamp(machine.num_in_machines, int32(0), Machine::kMaxConnections);
}

// The source of input j as the map shows it, or null when it has no box.
const Machine* SourceOf(const Machine& machine, int32 j) {
    const Machine* source = song->MachineAt(machine.in_machine[j]);
    return source != nullptr && OnMap(*source) ? source : nullptr;
}

void RefreshPlaylist() {
    if (playlistwindow != nullptr) playlistwindow->UpdateMachines();
}

}  // namespace

MachineMapView::MachineMapView(BRect frame)
    : BView(frame, "MachineMapView", B_FOLLOW_ALL_SIDES, B_WILL_DRAW), fPopUp(MakePopUp()) {
    SetViewColor(kBackground);
}

MachineMapView::~MachineMapView() {
    delete fPopUp;
}

std::array<BPoint, 3> MachineMapView::GetTriPoints(BPoint a, BPoint b, int32 side) {
    const Arrow arrow = ArrowOf(a, b);
    const double wing = side == 0 ? arrow.theta - 1.57 : arrow.theta + 1.57;
    return {Along(arrow.mid, arrow.theta + kPi, 10), arrow.mid, Along(arrow.mid, wing, 10)};
}

int32 MachineMapView::FindMachine(BPoint where) {
    for (int32 i = song->num_machines - 1; i >= 0; i--) {
        const Machine* machine = song->machines[i];
        if (machine == nullptr || !OnMap(*machine)) continue;
        const BPoint at = Place(*machine);
        if (BRect(at.x, at.y, at.x + kBoxWidth, at.y + kBoxHeight).Contains(where)) return i;
    }
    return -1;
}

void MachineMapView::Draw(BRect) {
    for (int32 i = 0; i < song->num_machines; i++) RenderLines(*song->machines[i]);
    for (int32 i = 0; i < song->num_machines; i++) RenderBox(*song->machines[i]);
    if (const Machine* from = song->MachineAt(fDragFrom))
        RenderLine(Centre(*from), fMousePos, from->mute, 1, 1);
}

void MachineMapView::RenderLines(const Machine& machine) {
    if (!OnMap(machine)) return;
    for (int32 j = 0; j < Inputs(machine); j++)
        if (const Machine* source = SourceOf(machine, j))
            RenderLine(Centre(*source), Centre(machine), source->mute,
                       Volume(machine.in_vol_left[j]), Volume(machine.in_vol_right[j]));
}

void MachineMapView::RenderLine(BPoint a, BPoint b, int32 muted, float left, float right) {
    const rgb_color line = Grey(muted != 0 ? 100 : 200);
    SetHighColor(line);
    StrokeLine(a, b);
    for (int32 side = 0; side < 2; side++) {
        const std::array<BPoint, 3> t = GetTriPoints(a, b, side);
        FillTriangle(t[0], t[1], t[2]);
    }
    if (left != 1.0f || right != 1.0f) RenderVolumeMark(a, b, line, left, right);
}

void MachineMapView::RenderVolumeMark(BPoint a, BPoint b, rgb_color line, float left, float right) {
    const Arrow arrow = ArrowOf(a, b);
    const BPoint mark = Along(arrow.mid, arrow.theta, 10);
    const float x = Trunc(mark.x), y = Trunc(mark.y);
    SetHighColor(line);
    StrokeRect(BRect(x - 5, y - 3, x + 4, y + 3));
    SetHighColor(Grey(int32(left * line.red)));
    FillRect(BRect(x - 4, y - 2, x, y + 2));
    SetHighColor(Grey(int32(right * line.red)));
    FillRect(BRect(x, y - 2, x + 3, y + 2));
}

void MachineMapView::RenderBox(const Machine& machine) {
    if (!OnMap(machine)) return;
    const rgb_color base = !machine.has_input ? kSource : machine.has_output ? kEffect : kMaster;
    const BPoint at = Place(machine);
    const float x = at.x, y = at.y;
    SetHighColor(base);
    FillRect(BRect(x + 2, y + 2, x + 78, y + 28));
    BeginLineArray(8);
    AddLine(BPoint(x, y), BPoint(x + 80, y), Shade(base, 20));
    AddLine(BPoint(x, y), BPoint(x, y + 30), Shade(base, 20));
    AddLine(BPoint(x + 80, y), BPoint(x + 80, y + 30), Shade(base, -40));
    AddLine(BPoint(x, y + 30), BPoint(x + 80, y + 30), Shade(base, -40));
    AddLine(BPoint(x + 1, y + 1), BPoint(x + 79, y + 1), Shade(base, 30));
    AddLine(BPoint(x + 1, y + 1), BPoint(x + 1, y + 29), Shade(base, 30));
    AddLine(BPoint(x + 79, y + 1), BPoint(x + 79, y + 29), Shade(base, -25));
    AddLine(BPoint(x + 1, y + 29), BPoint(x + 79, y + 29), Shade(base, -25));
    EndLineArray();
    const rgb_color strip = Shade(base, -20);
    SetHighColor(strip);
    FillRect(BRect(x + 4, y + 4, x + 76, y + 14));
    SetHighColor(0, 0, 0);
    SetLowColor(strip);
    const float width = Trunc(StringWidth(machine.GetName()));
    DrawString(machine.GetName(), BPoint(x + 40 - Trunc(width / 2), y + 13));
}

void MachineMapView::MouseDown(BPoint where) {
    // What reaches the map while a changer is open is dropped, not kept for later.
    if (VolumeChangerOpen()) return;
    uint32 buttons = 0;
    GetMouse(nullptr, &buttons);
    fMoving = fDragFrom = -1;
    const int32 index = FindMachine(where);
    if (index >= 0) return PressBox(index, where, buttons);
    if (buttons & B_PRIMARY_MOUSE_BUTTON) PressArrowheads(where);
}

void MachineMapView::PressArrowheads(BPoint where) {
    std::vector<ConnectionVolume> hit;
    for (int32 i = song->num_machines - 1; i >= 0; i--) {
        const Machine& machine = *song->machines[i];
        if (!OnMap(machine)) continue;
        for (int32 j = 0; j < Inputs(machine); j++) {
            const Machine* source = SourceOf(machine, j);
            if (source == nullptr) continue;
            const BPoint a = Centre(*source), b = Centre(machine);
            if (Around(GetTriPoints(a, b, 0)).Contains(where) ||
                Around(GetTriPoints(a, b, 1)).Contains(where))
                hit.emplace_back(i, j);
        }
    }
    // Each changer waits in its own nested loop, and the graph may change meanwhile.
    for (const ConnectionVolume& connection : hit) {
        if (!connection.Valid()) continue;
        RunVolumeChanger(ConvertToScreen(where), connection);
        Invalidate();
    }
}

void MachineMapView::PressBox(int32 index, BPoint where, uint32 buttons) {
    const Machine& machine = *song->machines[index];
    fMouseOffset = where - Place(machine);
    if (buttons & B_PRIMARY_MOUSE_BUTTON) {
        const bool onStrip =
            fMouseOffset.x > 3 && fMouseOffset.x < 77 && fMouseOffset.y > 3 && fMouseOffset.y < 15;
        if (onStrip)
            fMoving = index;
        else if (machine.has_output)
            fDragFrom = index;
    } else if (buttons & B_SECONDARY_MOUSE_BUTTON) {
        OpenPopUp(index, where);
    }
}

void MachineMapView::OpenPopUp(int32 index, BPoint where) {
    fPopUpOn = index;
    fPopUpMachine = song->MachineAt(index);
    BMenuItem* chosen = fPopUp->Go(ConvertToScreen(where), false, true);
    if (chosen == nullptr || chosen->Message() == nullptr) return;
    chosen->SetMarked(true);
    MessageReceived(chosen->Message());
}

void MachineMapView::MouseMoved(BPoint where, uint32 transit, const BMessage*) {
    if (VolumeChangerOpen()) return;
    fMousePos = where;
    if (transit == B_EXITED_VIEW || transit == B_OUTSIDE_VIEW || !Bounds().Contains(where))
        return CancelDrag();
    if (Machine* machine = song->MachineAt(fMoving)) {
        machine->position = where - fMouseOffset;
        Invalidate();
    }
    if (fDragFrom != -1) Invalidate();
}

void MachineMapView::CancelDrag() {
    // The line being dragged goes with the drag.
    if (fMoving != -1 || fDragFrom != -1) Invalidate();
    fMoving = fDragFrom = -1;
}

void MachineMapView::MouseUp(BPoint where) {
    if (VolumeChangerOpen()) return;
    Machine* from = song->MachineAt(fDragFrom);
    const int32 to = FindMachine(where);
    if (from != nullptr && to != -1) {
        int32* end = from->out_machine + from->num_out_machines;
        if (std::find(from->out_machine, end, to) != end)
            from->Disconnect(to);
        else
            from->Connect(to);
    }
    fMoving = fDragFrom = -1;
    Invalidate();
}

void MachineMapView::MessageReceived(BMessage* message) {
    if (message->what != kShow && message->what != kMute && message->what != kDelete)
        return BView::MessageReceived(message);
    // The menu waited for the user: the machine may have gone, or another taken its place.
    Machine* machine = song->MachineAt(fPopUpOn);
    if (machine == nullptr || machine != fPopUpMachine) return;
    if (message->what == kShow) return machine->ShowWindow();
    if (fPopUpOn != 0 && message->what == kMute) machine->mute = machine->mute != 0 ? 0 : 1;
    if (fPopUpOn != 0 && message->what == kDelete) song->RemoveMachine(fPopUpOn);
    fPopUpMachine = nullptr;
    Invalidate();
    RefreshPlaylist();
}
