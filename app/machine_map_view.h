// The song's machine graph as boxes joined by arrowed lines: boxes move by their name strip,
// a drag from one box to another connects or disconnects them, an arrowhead opens the
// connection's volume changer and a right click on a box opens its pop-up menu.
#pragma once

#include <array>

#include "platform/interface/view.h"

class BPopUpMenu;
class Machine;

class MachineMapView : public BView {
  public:
    static constexpr float kBoxWidth = 80;
    static constexpr float kBoxHeight = 30;
    enum : uint32 { kShow = 'show', kMute = 'mute', kDelete = 0x0064656C };

    explicit MachineMapView(BRect frame);
    ~MachineMapView() override;

    // The window's thread.
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void MessageReceived(BMessage* message) override;

    // The window's thread. The topmost box holding the point, borders included, or -1.
    static int32 FindMachine(BPoint where);
    // Any thread. One half (side 0 or 1) of the arrowhead of the line from a to b.
    static std::array<BPoint, 3> GetTriPoints(BPoint a, BPoint b, int32 side);
    // The window's thread: the machine whose box is dragged, or from which a connection is.
    int32 Moving() const { return fMoving; }
    int32 DragFrom() const { return fDragFrom; }

  private:
    void RenderLine(BPoint a, BPoint b, int32 muted, float left, float right);
    void RenderVolumeMark(BPoint a, BPoint b, rgb_color line, float left, float right);
    void RenderLines(const Machine& machine);
    void RenderBox(const Machine& machine);
    void PressArrowheads(BPoint where);
    void PressBox(int32 index, BPoint where, uint32 buttons);
    void OpenPopUp(int32 index, BPoint where);
    void CancelDrag();

    BPopUpMenu* fPopUp;
    int32 fMoving = -1;
    int32 fDragFrom = -1;
    BPoint fMousePos;
    BPoint fMouseOffset;
    int32 fPopUpOn = -1;
    const Machine* fPopUpMachine = nullptr;
};
