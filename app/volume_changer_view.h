// The small window that sets a connection's left and right volume with two sliders, open
// from a click on the connection's arrowhead until the pointer leaves it, Escape, a click
// outside or the loss of focus.
#pragma once

#include <functional>

#include "app/connection_volume.h"
#include "platform/interface/view.h"

class VolumeChangerView : public BView {
  public:
    // closed runs when the view goes, that is when its window has closed.
    VolumeChangerView(BRect frame, ConnectionVolume target, std::function<void()> closed);
    ~VolumeChangerView() override;

    // The window's thread.
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void WindowActivated(bool active) override;

  private:
    void DrawSlot(int32 left, int32 right);
    void DrawKnob(int32 left, int32 right, int32 textX, float value);
    int32 KnobTop(float value) const;
    void Close();

    ConnectionVolume fTarget;
    std::function<void()> fClosed;
    int32 fWidth;
    int32 fHeight;
    uint32 fButtons = 0;
};

// The GUI thread. Opens the changer centred on the screen point and returns once it has
// closed, running a nested event loop meanwhile.
void RunVolumeChanger(BPoint screenWhere, ConnectionVolume target);
// Any thread: closes the open changer, if any.
void CloseVolumeChanger();
// Any thread: whether a changer is open.
bool VolumeChangerOpen();
