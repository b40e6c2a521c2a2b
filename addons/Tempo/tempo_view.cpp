#include "addons/Tempo/tempo_view.h"

#include "addons/Tempo/controller_tempo.h"

TempoView::TempoView(ControllerTempo* machine) : ControllerStrip(B_WILL_DRAW), fMachine(machine) {}

void TempoView::Draw(BRect update) {
    DrawTicks(update);
    const float x = XOf(fMachine->pos);
    DrawBar(x);
    DrawNumber(fMachine->tempo, x + 6);
}

void TempoView::MouseDown(BPoint where) {
    if (Buttons() & B_PRIMARY_MOUSE_BUTTON) fMachine->pos = PositionAt(where);
    Invalidate();
}
