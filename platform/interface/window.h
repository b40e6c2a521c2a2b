// A window: a looper served by the GUI thread, holding a tree of views under a top view.
//
// Built, laid out and archived without a display; its Qt widget is made when it is first
// shown under a running application. Threads: Lock, Unlock, PostMessage and the views'
// Invalidate are safe from any thread; everything else wants the window locked.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/app/looper.h"
#include "platform/interface/archivable.h"
#include "platform/interface/interface_defs.h"

class BMenuBar;
class BView;
class QImage;
class QWidget;
class WindowCanvas;
class WindowSurface;

class BWindow : public BLooper, public BArchivable {
  public:
    // frame: the content area in screen coordinates.
    BWindow(BRect frame, const char* title, window_type type, uint32 flags,
            uint32 workspace = B_CURRENT_WORKSPACE);
    BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
            uint32 workspace = B_CURRENT_WORKSPACE);
    explicit BWindow(BMessage* archive);
    ~BWindow() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Fields: see platform/interface/ARCHIVES.md.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Closes and deletes the window (on the GUI thread; from another thread it is handed
    // there). Hidden first, so it is gone from the screen at once.
    void Quit() override;
    virtual void FrameResized(float, float) {}
    virtual void FrameMoved(BPoint) {}
    virtual void WindowActivated(bool) {}
    virtual void MenusBeginning() {}

    // Shown when the count of Show calls exceeds that of Hide calls (windows start hidden).
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const { return fHidden > 0; }
    void Activate(bool active = true);
    bool IsActive() const { return fActive; }
    void Minimize(bool minimize);
    void SetTitle(const char* title);
    const char* Title() const { return fTitle.c_str(); }
    BRect Frame() const { return fFrame; }
    BRect Bounds() const { return BRect(0, 0, fFrame.Width(), fFrame.Height()); }
    void MoveTo(BPoint where);
    void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
    void MoveBy(float dx, float dy) { MoveTo(fFrame.left + dx, fFrame.top + dy); }
    void ResizeTo(float width, float height);
    void ResizeBy(float dw, float dh) { ResizeTo(fFrame.Width() + dw, fFrame.Height() + dh); }
    void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
    void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;
    uint32 Flags() const { return fFlags; }
    void SetFlags(uint32 flags);
    window_look Look() const { return fLook; }
    window_feel Feel() const { return fFeel; }
    // A shown window that becomes modal or stops being so is hidden and shown again: the
    // platform takes a new modality only then.
    void SetFeel(window_feel feel);
    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const { return fPulseRate; }

    // The view tree under the top view, which covers the window's bounds.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const;
    BView* FindView(BPoint point) const;
    BView* CurrentFocus() const { return fFocus; }
    BMenuBar* KeyMenuBar() const;
    void SetKeyMenuBar(BMenuBar* bar) { fKeyMenuBar = bar; }
    // A key with command (Ctrl) and the given modifiers posts the message to the window.
    void AddShortcut(uint32 key, uint32 modifiers, BMessage* message);
    void RemoveShortcut(uint32 key, uint32 modifiers);
    // The GUI thread. In every window, a key with command (Ctrl) and the given modifiers that
    // the window does not take for itself posts the message to the application.
    static void AddApplicationShortcut(uint32 key, uint32 modifiers, BMessage* message);
    BHandler* PreferredHandler() const { return fFocus ? (BHandler*)fFocus : (BHandler*)this; }

    // Draws whatever is invalid into the window's image now.
    void UpdateIfNeeded();

    // Any thread. Runs work on the GUI thread with the window locked, unless the window
    // has gone by then; waits for the lock without blocking the GUI thread.
    static void RunLocked(int32 token, std::function<void(BWindow*)> work);

    // The GUI thread, window locked. The display's own id of the window (its X11 window), made
    // now even while the window is hidden; 0 where native_display::Available is false.
    uintptr_t NativeWindow();

    // The kit and tests. The image views drew, after drawing what is invalid.
    QImage Snapshot();
    QWidget* Canvas() const;
    bool HasView(const BView* view) const;
    void ViewAttached(BView* view);
    void ViewDetached(BView* view);
    void SetFocusView(BView* view, bool focus);
    void InvalidateSurface(BRect rect);
    void CurrentMouse(BPoint* where, uint32* buttons) const;
    // The kit and tests: deliver input as the display would, in window coordinates.
    void DeliverMouseDown(BPoint where, uint32 buttons, int32 clicks = 1);
    void DeliverMouseMoved(BPoint where, uint32 buttons);
    void DeliverMouseUp(BPoint where);
    // key: the native scan code; repeat: 0 for a first press, > 0 for auto-repeats.
    void DeliverKeyDown(const char* bytes, uint32 modifiers, int32 key = 0, int32 repeat = 0);
    void DeliverKeyUp(const char* bytes, uint32 modifiers, int32 key = 0);
    // dx, dy in notches, positive = right or down.
    void DeliverMouseWheel(BPoint where, float dx, float dy, uint32 modifiers = 0);
    // The pointer left the window: the view it was over is told it left.
    void DeliverMouseExited();
    void DeliverDrop(const BMessage* message, BPoint where, BPoint offset = BPoint());
    // The kit: the Qt widget reports what the user did to the window.
    void ScreenFrameChanged(BRect frame);
    void ActivationChanged(bool active);
    void PulseViews();
    void CanvasGone();

  private:
    struct Shortcut {
        uint32 key;
        uint32 modifiers;
        BMessage message;
    };
    void Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags);
    void Realize();
    void ApplyToCanvas();
    bool HandleShortcut(const char* bytes, uint32 modifiers, int32 repeat);
    static const Shortcut* Matching(const std::vector<Shortcut>& shortcuts, uint32 key,
                                    uint32 modifiers);
    void SendMouse(BView* view, uint32 what, BPoint where, int32 clicks);
    void SendKey(uint32 what, const char* bytes, uint32 modifiers, int32 key, int32 repeat);

    std::string fTitle;
    BRect fFrame;
    window_look fLook = B_TITLED_WINDOW_LOOK;
    window_feel fFeel = B_NORMAL_WINDOW_FEEL;
    uint32 fFlags = 0;
    float fMinWidth = 0, fMaxWidth = 32768, fMinHeight = 0, fMaxHeight = 32768;
    bigtime_t fPulseRate = 500000;
    int32 fHidden = 1;
    bool fActive = false;
    BView* fTop = nullptr;
    BView* fFocus = nullptr;
    BView* fMouseView = nullptr;
    BView* fTracking = nullptr;
    BMenuBar* fKeyMenuBar = nullptr;
    BPoint fMouse;
    uint32 fButtons = 0;
    std::vector<Shortcut> fShortcuts;
    static std::vector<Shortcut> sApplicationShortcuts;
    std::unordered_set<const BView*> fViews;
    WindowSurface* fSurface = nullptr;
    WindowCanvas* fCanvas = nullptr;

    // Guards the invalid area, which any thread may add to.
    std::mutex fDirtyLock;
    BRect fDirty;
    bool fFlushPosted = false;
};
