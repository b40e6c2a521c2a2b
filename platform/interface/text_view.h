// Text of many lines in a QPlainTextEdit. What the user types is mirrored into the view, so
// Text() with the window locked sees it. Offsets are in bytes of the UTF-8 text.
#pragma once

#include <string>

#include "platform/interface/view.h"

class BTextView : public BView {
  public:
    // textRect: where the text goes, in the view's coordinates.
    BTextView(BRect frame, const char* name, BRect textRect,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    explicit BTextView(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_text", "_editable" and "_wrap".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Puts the caret at the end.
    void SetText(const char* text);
    const char* Text() const { return fText.c_str(); }
    int32 TextLength() const { return int32(fText.size()); }
    // At the caret (the start of the selection); the caret ends after the inserted text.
    void Insert(const char* text);
    void SetTextRect(BRect rect) { fTextRect = rect; }
    BRect TextRect() const { return fTextRect; }

    void MakeEditable(bool editable = true);
    bool IsEditable() const { return fEditable; }
    void MakeSelectable(bool selectable = true);
    bool IsSelectable() const { return fSelectable; }
    void SetWordWrap(bool wrap);
    bool DoesWordWrap() const { return fWrap; }

    void SelectAll() { Select(0, TextLength()); }
    // Clamped to the text; moved back to the start of a character cut in two.
    void Select(int32 start, int32 end);
    void GetSelection(int32* start, int32* end) const;

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    int32 ClampedOffset(int32 offset) const;
    void UserChanged(const std::string& text, int32 start, int32 end);
    void PostFromWidget(int32 token);

    std::string fText;
    BRect fTextRect;
    int32 fSelStart = 0;
    int32 fSelEnd = 0;
    bool fEditable = true;
    bool fSelectable = true;
    bool fWrap = true;
};
