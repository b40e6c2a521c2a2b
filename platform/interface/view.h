// A rectangle of a window (or of an off-screen bitmap) that draws itself and takes input.
//
// Views are plain objects: they can be built, laid out, archived and rebuilt with no display.
// Drawing goes into the window's (or bitmap's) image; native controls bring their own Qt
// widget once the window is shown.
//
// Threads: the thread that holds the window's lock (the GUI thread while it dispatches).
// Invalidate is safe from any thread, with or without the lock.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/app/handler.h"
#include "platform/interface/archivable.h"
#include "platform/interface/font.h"
#include "platform/interface/interface_defs.h"

class BBitmap;
class BScrollBar;
class BWindow;
class DrawingSurface;
class QDrag;
class QWidget;

class BView : public BHandler, public BArchivable {
  public:
    BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    explicit BView(BMessage* archive);
    // Removes itself from its parent and deletes its children.
    ~BView() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Fields: see platform/interface/ARCHIVES.md.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Hooks, called on the window's thread with the window locked.
    virtual void AttachedToWindow() {}
    virtual void AllAttached() {}
    virtual void DetachedFromWindow() {}
    virtual void AllDetached() {}
    virtual void Draw(BRect updateRect);
    virtual void MouseDown(BPoint where);
    virtual void MouseUp(BPoint where);
    virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
    virtual void KeyDown(const char* bytes, int32 numBytes);
    virtual void KeyUp(const char*, int32) {}
    virtual void Pulse() {}
    virtual void FrameResized(float, float) {}
    virtual void FrameMoved(BPoint) {}
    virtual void WindowActivated(bool) {}
    virtual void MakeFocus(bool focus = true);
    bool IsFocus() const;

    // The view tree.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    bool RemoveSelf();
    int32 CountChildren() const { return int32(fChildren.size()); }
    BView* ChildAt(int32 index) const;
    BView* Parent() const { return fParent; }
    BView* NextSibling() const;
    // Depth first, this view included.
    BView* FindView(const char* name) const;
    BWindow* Window() const { return fWindow; }

    // Geometry. Frame is in the parent's coordinates; Bounds in the view's own, moved by
    // scrolling.
    BRect Frame() const { return fFrame; }
    BRect Bounds() const;
    void MoveTo(BPoint where);
    void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
    void MoveBy(float dx, float dy) { MoveTo(fFrame.left + dx, fFrame.top + dy); }
    void ResizeTo(float width, float height);
    void ResizeBy(float dw, float dh) { ResizeTo(fFrame.Width() + dw, fFrame.Height() + dh); }
    virtual void ScrollTo(BPoint where);
    void ScrollBy(float dx, float dy) { ScrollTo(BPoint(fOrigin.x + dx, fOrigin.y + dy)); }
    // The bar whose target this view is, or null.
    BScrollBar* ScrollBar(orientation direction) const;
    // The size the content wants (Width/Height style); scroll bars fit their range to it.
    // The default is the frame's size.
    virtual void GetPreferredSize(float* width, float* height);
    uint32 ResizingMode() const { return fResizingMode; }
    void SetResizingMode(uint32 mode) { fResizingMode = mode; }
    uint32 Flags() const { return fFlags; }
    virtual void SetFlags(uint32 flags) { fFlags = flags; }
    virtual void Show();
    virtual void Hide();
    // Hidden itself, or inside a hidden parent or window.
    bool IsHidden() const;

    void ConvertToParent(BPoint* point) const;
    BPoint ConvertToParent(BPoint point) const;
    void ConvertFromParent(BPoint* point) const;
    BPoint ConvertFromParent(BPoint point) const;
    BPoint ConvertToWindow(BPoint point) const;
    BRect ConvertToWindow(BRect rect) const;
    BPoint ConvertFromWindow(BPoint point) const;
    void ConvertToScreen(BPoint* point) const;
    BPoint ConvertToScreen(BPoint point) const;
    void ConvertToScreen(BRect* rect) const;
    BRect ConvertToScreen(BRect rect) const;
    void ConvertFromScreen(BPoint* point) const;
    BPoint ConvertFromScreen(BPoint point) const;

    // The pointer where the event being handled put it, and the buttons that were down.
    void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);

    // Drawing state.
    void SetViewColor(rgb_color color) { fViewColor = color; }
    void SetViewColor(uchar r, uchar g, uchar b, uchar a = 255) { SetViewColor({r, g, b, a}); }
    rgb_color ViewColor() const { return fViewColor; }
    void SetHighColor(rgb_color color) { fHighColor = color; }
    void SetHighColor(uchar r, uchar g, uchar b, uchar a = 255) { SetHighColor({r, g, b, a}); }
    rgb_color HighColor() const { return fHighColor; }
    void SetLowColor(rgb_color color) { fLowColor = color; }
    void SetLowColor(uchar r, uchar g, uchar b, uchar a = 255) { SetLowColor({r, g, b, a}); }
    rgb_color LowColor() const { return fLowColor; }
    void SetDrawingMode(drawing_mode mode) { fDrawingMode = mode; }
    drawing_mode DrawingMode() const { return fDrawingMode; }
    void SetBlendingMode(source_alpha source, alpha_function function);
    void GetBlendingMode(source_alpha* source, alpha_function* function) const;
    void SetPenSize(float size) { fPenSize = size > 0 ? size : 1; }
    float PenSize() const { return fPenSize; }
    void MovePenTo(BPoint where) { fPen = where; }
    void MovePenTo(float x, float y) { fPen = BPoint(x, y); }
    void MovePenBy(float dx, float dy) { fPen += BPoint(dx, dy); }
    BPoint PenLocation() const { return fPen; }
    virtual void SetFont(const BFont* font);
    void GetFont(BFont* font) const { *font = fFont; }
    void SetFontSize(float size) { fFont.SetSize(size); }
    float StringWidth(const char* text) const { return fFont.StringWidth(text); }
    float StringWidth(const char* text, int32 length) const {
        return fFont.StringWidth(text, length);
    }
    void GetFontHeight(font_height* height) const { fFont.GetHeight(height); }

    // Drawing. Lines light both end pixels; rectangles hold both edges; a string's point is
    // where its baseline starts: the bottom row of a capital letter is the point's row.
    void StrokeLine(BPoint end, const pattern& p = B_SOLID_HIGH);
    void StrokeLine(BPoint start, BPoint end, const pattern& p = B_SOLID_HIGH);
    void StrokeRect(BRect rect, const pattern& p = B_SOLID_HIGH);
    void FillRect(BRect rect, const pattern& p = B_SOLID_HIGH);
    void StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
    void FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
    void StrokeTriangle(BPoint a, BPoint b, BPoint c, const pattern& p = B_SOLID_HIGH);
    void FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& p = B_SOLID_HIGH);
    void StrokePolygon(const BPoint* points, int32 count, bool closed = true,
                       const pattern& p = B_SOLID_HIGH);
    void FillPolygon(const BPoint* points, int32 count, const pattern& p = B_SOLID_HIGH);
    void StrokeEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
    void FillEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
    void StrokeEllipse(BPoint center, float xRadius, float yRadius,
                       const pattern& p = B_SOLID_HIGH);
    void FillEllipse(BPoint center, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
    // Angles in degrees, counter-clockwise from three o'clock.
    void StrokeArc(BRect rect, float start, float arc, const pattern& p = B_SOLID_HIGH);
    void FillArc(BRect rect, float start, float arc, const pattern& p = B_SOLID_HIGH);
    void InvertRect(BRect rect);
    // Moves the pen to the end of the string.
    void DrawString(const char* text, BPoint where);
    void DrawString(const char* text);
    void DrawString(const char* text, int32 length, BPoint where);
    void DrawChar(char c, BPoint where);
    void DrawBitmap(const BBitmap* bitmap, BPoint where);
    void DrawBitmap(const BBitmap* bitmap);
    void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
    void DrawBitmapAsync(const BBitmap* bitmap, BPoint where) { DrawBitmap(bitmap, where); }
    void DrawBitmapAsync(const BBitmap* bitmap, BRect source, BRect destination) {
        DrawBitmap(bitmap, source, destination);
    }
    void BeginLineArray(int32 count);
    void AddLine(BPoint start, BPoint end, rgb_color color);
    void EndLineArray();

    // Any thread.
    void Invalidate();
    void Invalidate(BRect rect);
    // Drawing lands at once; these only exist for code written against the platform.
    void Sync() const {}
    void Flush() const {}

    // Starts dragging a copy of the message once the current hook returns; it arrives in the
    // MessageReceived of the view it is dropped on, with WasDropped() true. Does nothing
    // without a shown window. The bitmap form takes the bitmap; offset is the pointer's place
    // in it.
    void DragMessage(const BMessage* message, BRect dragRect, BHandler* replyTo = nullptr);
    void DragMessage(const BMessage* message, BBitmap* image, BPoint offset,
                     BHandler* replyTo = nullptr);
    // The kit and tests, the GUI thread: runs ready drags instead of QDrag::exec (null
    // restores it), since exec waits for a real pointer.
    static void SetDragRunner(std::function<void(QDrag*)> runner);

    // The kit. A native control makes its Qt widget here (parent is the window's widget) and
    // keeps it in step with its own state in SyncWidget.
    virtual QWidget* CreateWidget(QWidget* parent);
    virtual void SyncWidget() {}
    QWidget* Widget() const { return fWidget; }
    // The kit: the view's rectangle in its surface's pixels, cut by its parents.
    BRect VisibleRect() const;
    BPoint SurfaceOffset() const;
    DrawingSurface* Surface() const { return fSurface; }
    // The kit: deepest shown view under a point in this view's coordinates.
    BView* ViewAt(BPoint point);
    // The kit: draws this view and its children into the surface, cut to rect (surface
    // pixels).
    void RenderInto(BRect surfaceRect);
    // The kit: called after the state a native widget mirrors has changed.
    void WidgetStateChanged();

  protected:
    // The kit: for native controls whose widgets are made and destroyed with the window's.
    void SetWidget(QWidget* widget) { fWidget = widget; }
    // The kit: runs work on the GUI thread with the window locked, if the view is still in
    // the window of the token. Widget signals use it, since the window may be busy.
    void WhenLocked(int32 token, std::function<void()> work);

  private:
    friend class BWindow;
    friend class BBitmap;
    friend class BScrollBar;
    friend class ViewPainter;
    struct LineArray {
        struct Line {
            BPoint start, end;
            rgb_color color;
        };
        std::vector<Line> lines;
    };

    void Attach(BWindow* window, DrawingSurface* surface);
    void Detach();
    void ParentResized(float dw, float dh);
    void FrameChanged(bool moved, bool resized);
    void RealizeWidgets(QWidget* canvas);
    void DropWidgets();
    void PlaceWidget();
    void ArchiveChildren(BMessage* archive) const;
    void UnarchiveChildren(BMessage* archive);

    BRect fFrame;
    BPoint fOrigin;
    uint32 fResizingMode;
    uint32 fFlags;
    int32 fHidden = 0;
    BView* fParent = nullptr;
    std::vector<BView*> fChildren;
    BWindow* fWindow = nullptr;
    std::atomic<int32> fWindowToken{0};
    DrawingSurface* fSurface = nullptr;
    QWidget* fWidget = nullptr;
    // Indexed by orientation; each bar unlinks itself when it goes.
    BScrollBar* fScrollBars[2] = {};

    rgb_color fViewColor{255, 255, 255, 255};
    rgb_color fHighColor{0, 0, 0, 255};
    rgb_color fLowColor{255, 255, 255, 255};
    drawing_mode fDrawingMode = B_OP_COPY;
    source_alpha fSourceAlpha = B_PIXEL_ALPHA;
    alpha_function fAlphaFunction = B_ALPHA_OVERLAY;
    float fPenSize = 1;
    BPoint fPen;
    BFont fFont;
    // While RenderInto draws this view: the surface pixels it may touch.
    BRect fUpdateClip;
    bool fInUpdate = false;
    LineArray* fLineArray = nullptr;
};
