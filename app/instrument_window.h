// The song's 128 instrument slots: create instruments from the add-ons, name them, open them.
#pragma once

#include <memory>
#include <vector>

#include "ui/ie_window.h"

class BListView;
class BStringItem;
class BTextControl;
class Instrument;

class InstrumentWindow : public IEWindow {
  public:
    // The GUI thread, once, at start-up, with the song made. Sets instrumentwindow; hidden.
    InstrumentWindow();
    ~InstrumentWindow() override;

    // Any thread.
    void Show() override;
    // Any thread: refill the rows from the song's instruments and select none.
    void Update();
    // The GUI thread.
    void MessageReceived(BMessage* message) override;
    // The GUI thread: hides the window, which is never closed.
    bool QuitRequested() override;

  private:
    void BuildAddMenu();
    void BuildList();
    void Select(int32 slot);
    void Create(int32 slot, const BMessage& request);
    void CommitName();
    void ShowName(int32 slot);
    void ShowRow(int32 slot);

    BListView* fList = nullptr;
    BTextControl* fName = nullptr;
    std::vector<std::unique_ptr<BStringItem>> fRows;
    // The instrument the name field shows: a commit that arrives late renames it only while
    // it still sits in its slot.
    Instrument* fTarget = nullptr;
    int32 fTargetSlot = -1;
};

extern InstrumentWindow* instrumentwindow;
