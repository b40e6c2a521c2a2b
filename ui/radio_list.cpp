#include "ui/radio_list.h"

#include <algorithm>

bool RadioList::RemoveButton(BitmapStringButton* button) {
    const auto found = std::find(fButtons.begin(), fButtons.end(), button);
    if (found == fButtons.end()) return false;
    fButtons.erase(found);
    fPressed = 0;
    return true;
}

BitmapStringButton* RadioList::ButtonAt(int32 index) const {
    return index >= 0 && index < CountButtons() ? fButtons[size_t(index)] : nullptr;
}

int32 RadioList::IndexOf(const BitmapStringButton* button) const {
    const auto found = std::find(fButtons.begin(), fButtons.end(), button);
    return found == fButtons.end() ? -1 : int32(found - fButtons.begin());
}
