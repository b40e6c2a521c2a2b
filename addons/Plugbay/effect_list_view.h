// The pipe list: a primary click in the mute column mutes an effect, elsewhere it opens the
// effect's parameters; a secondary click removes the effect at once.
#pragma once

#include "platform/interface/list_view.h"

class EffectPipeWindow;

// The thread that holds the window.
class EffectListView : public BListView {
  public:
    EffectListView(BRect frame, EffectPipeWindow* owner);

    void MouseDown(BPoint where) override;

  private:
    EffectPipeWindow* fOwner;
};
