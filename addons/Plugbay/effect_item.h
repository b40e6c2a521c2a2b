// One row of the pipe list: the effect's name, after a mute column that shows "M" in red.
#pragma once

#include "platform/interface/list_item.h"

class Effect;

// The thread that holds the owner's window.
class EffectItem : public BListItem {
  public:
    static constexpr float kMuteColumn = 16;

    explicit EffectItem(Effect* effect);

    Effect* GetEffect() const { return fEffect; }
    void DrawItem(BView* owner, BRect frame, bool complete = false) override;

  private:
    Effect* fEffect;
};
