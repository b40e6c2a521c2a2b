// The editor of one machine's effect pipe: the effects in it beside the plug-ins there are.
#pragma once

#include <memory>
#include <vector>

#include "ui/ie_window.h"

class BCheckBox;
class BStringItem;
class EffectDragListView;
class EffectItem;
class EffectListView;
class EffectPipe;

class EffectPipeWindow : public IEWindow {
  public:
    static constexpr uint32 kDelete = 48;
    static constexpr uint32 kUp = 27;
    static constexpr uint32 kDown = 8;
    static constexpr uint32 kBypassAll = 142;

    // Window thread. Built from the layout in the add-on's resources and shown.
    EffectPipeWindow(EffectPipe* pipe, BResources* resources);
    ~EffectPipeWindow() override;

    // Window thread. Refill the pipe list and the bypass switch, and the available list.
    void Rescan1();
    void Rescan2();
    // Window thread, with the window locked. Removes the effect in that row and refills.
    void RemoveEffect(int32 index);
    // Window thread. The pipe goes: the window lets go of it and of its effects.
    void Forget();
    // Window thread.
    void MessageReceived(BMessage* message) override;

  private:
    BRect ListFrame(const char* host) const;
    void AddList(const char* host, BView* list);
    void ForwardDrops(BView* view);
    void Drop(BMessage* message);

    EffectListView* fPipeList;
    EffectDragListView* fAvailable;
    EffectPipe* fPipe;
    BCheckBox* fBypassAll;
    std::vector<std::unique_ptr<EffectItem>> fItems;
    std::vector<std::unique_ptr<BStringItem>> fNames;
};

// Window thread. The pipe's window, or null when the add-on's layout cannot be read.
EffectPipeWindow* CreateEffectPipeWindow(EffectPipe* pipe);
