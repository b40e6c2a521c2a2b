// A self-drawn list of items, one under another, that the user selects with the pointer or
// the arrow keys and invokes with a double click or Enter.
#pragma once

#include <vector>

#include "platform/interface/invoker.h"
#include "platform/interface/view.h"

class BListItem;

enum list_view_type : int32 { B_SINGLE_SELECTION_LIST = 0, B_MULTIPLE_SELECTION_LIST };

// The thread that holds the window.
class BListView : public BView, public BInvoker {
  public:
    BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    explicit BListView(BMessage* archive);
    ~BListView() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_lv_type", "_msg" (selection) and "_2nd_msg" (invocation); items are not kept.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Items stay the caller's; the list never deletes them. False for a bad index or null.
    bool AddItem(BListItem* item);
    bool AddItem(BListItem* item, int32 index);
    BListItem* RemoveItem(int32 index);
    bool RemoveItem(BListItem* item);
    void MakeEmpty();
    int32 CountItems() const { return int32(fItems.size()); }
    bool IsEmpty() const { return fItems.empty(); }
    BListItem* ItemAt(int32 index) const;
    int32 IndexOf(const BListItem* item) const;
    // The item whose row holds the point's y; -1 for none.
    int32 IndexOf(BPoint point) const;
    BRect ItemFrame(int32 index) const;
    // Redraws the item's row.
    void InvalidateItem(int32 index);

    // extend keeps what was selected (multiple selection lists only).
    void Select(int32 index, bool extend = false);
    void Select(int32 from, int32 to, bool extend = false);
    void Deselect(int32 index);
    void DeselectAll();
    // The n-th selected index in list order; -1 past the last.
    int32 CurrentSelection(int32 n = 0) const;
    bool IsItemSelected(int32 index) const;
    void ScrollToSelection();
    list_view_type ListType() const { return fType; }

    // Takes the message; both are sent with every selected "index" (int32).
    void SetSelectionMessage(BMessage* message);
    BMessage* SelectionMessage() const { return fSelectionMessage; }
    void SetInvocationMessage(BMessage* message) { SetMessage(message); }
    BMessage* InvocationMessage() const { return Message(); }
    status_t Invoke(BMessage* message = nullptr) override;

    // After the selection changed, before the selection message is sent.
    virtual void SelectionChanged() {}
    // The pointer moved with the button down from a press on the item; true when a drag
    // started. wasSelected: whether the item was selected before the press.
    virtual bool InitiateDrag(BPoint where, int32 index, bool wasSelected);

    void GetPreferredSize(float* width, float* height) override;
    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void FrameResized(float width, float height) override;

  private:
    struct Press {
        BPoint where;
        int32 index = -1;
        bool wasSelected = false;
        uint32 modifiers = 0;
    };
    // Selects the range without notifying; whether anything changed.
    bool SelectRange(int32 from, int32 to, bool extend);
    void Notify();
    void ContentChanged();
    void SelectClicked(int32 index, uint32 modifiers);
    void MoveSelection(int32 step);

    std::vector<BListItem*> fItems;
    list_view_type fType;
    BMessage* fSelectionMessage = nullptr;
    int32 fAnchor = -1;
    Press fPress;
    bool fPressed = false;
};
