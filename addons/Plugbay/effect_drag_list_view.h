// The list of available plug-ins, whose names are dragged into the pipe as 'ednd' messages.
#pragma once

#include "platform/interface/list_view.h"

// The thread that holds the window.
class EffectDragListView : public BListView {
  public:
    static constexpr uint32 kDragged = 'ednd';

    explicit EffectDragListView(BRect frame);

    bool InitiateDrag(BPoint where, int32 index, bool wasSelected) override;
};
