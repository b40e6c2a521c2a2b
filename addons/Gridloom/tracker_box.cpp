#include "addons/Gridloom/tracker_box.h"

#include <algorithm>

#include "platform/interface/view.h"

namespace {

rgb_color Shade(rgb_color base, int delta) {
    auto component = [delta](uchar c) { return uchar(std::clamp(int(c) + delta, 0, 255)); };
    return {component(base.red), component(base.green), component(base.blue), base.alpha};
}

// Light along the top and left edges, dark along the bottom and right ones.
void Bevel(BView* view, BRect r, rgb_color light, rgb_color dark) {
    view->SetHighColor(light);
    view->StrokeLine(BPoint(r.left, r.top), BPoint(r.right, r.top));
    view->StrokeLine(BPoint(r.left, r.top), BPoint(r.left, r.bottom));
    view->SetHighColor(dark);
    view->StrokeLine(BPoint(r.left, r.bottom), BPoint(r.right, r.bottom));
    view->StrokeLine(BPoint(r.right, r.top), BPoint(r.right, r.bottom));
}

}  // namespace

void DrawTrackerBox(BView* view, BRect cell, rgb_color base) {
    const BRect box = cell.InsetByCopy(1, 1);
    view->SetHighColor(base);
    view->FillRect(box);
    Bevel(view, box, Shade(base, 16), Shade(base, -16));
    Bevel(view, box.InsetByCopy(1, 1), Shade(base, 25), Shade(base, -10));
}
