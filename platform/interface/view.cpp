#include "platform/interface/view.h"

#include <QWidget>
#include <algorithm>
#include <cstring>

#include "platform/app/gui_thread.h"
#include "platform/interface/drawing_surface.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BView)

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), fFrame(frame), fResizingMode(resizingMode), fFlags(flags) {}

BView::BView(BMessage* archive) : BHandler(nullptr), BArchivable(archive) {
    std::string name;
    if (archive->FindString("_name", &name) == B_OK) SetName(name.c_str());
    archive->FindRect("_frame", &fFrame);
    int32 value = B_FOLLOW_LEFT | B_FOLLOW_TOP;
    archive->FindInt32("_resize_mode", &value);
    fResizingMode = uint32(value);
    value = 0;
    archive->FindInt32("_flags", &value);
    fFlags = uint32(value);
    archive->FindColor("_view_color", &fViewColor);
    archive->FindColor("_high_color", &fHighColor);
    archive->FindColor("_low_color", &fLowColor);
    if (archive->FindInt32("_drawing_mode", &value) == B_OK && value >= B_OP_COPY &&
        value <= B_OP_ALPHA)
        fDrawingMode = drawing_mode(value);
    float size = 0;
    if (archive->FindFloat("_pen_size", &size) == B_OK) SetPenSize(size);
    std::string family, style;
    archive->FindString("_font_family", &family);
    archive->FindString("_font_style", &style);
    fFont.SetFamilyAndStyle(family.empty() ? nullptr : family.c_str(),
                            style.empty() ? nullptr : style.c_str());
    if (archive->FindFloat("_font_size", &size) == B_OK && size > 0 && size < 1000)
        fFont.SetSize(size);
    bool hidden = false;
    if (archive->FindBool("_hidden", &hidden) == B_OK && hidden) fHidden = 1;
    UnarchiveChildren(archive);
}

BView::~BView() {
    for (BScrollBar* bar : fScrollBars)
        if (bar) bar->SetTarget(nullptr);
    RemoveSelf();
    while (!fChildren.empty()) {
        BView* child = fChildren.back();
        RemoveChild(child);
        delete child;
    }
    delete fLineArray;
    if (fWidget) fWidget->deleteLater();
}

BArchivable* BView::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BView") ? new BView(archive) : nullptr;
}

status_t BView::Archive(BMessage* archive, bool deep) const {
    BArchivable::Archive(archive, deep);
    archive_class_name(archive, "BView");
    archive->AddString("_name", Name());
    archive->AddRect("_frame", fFrame);
    archive->AddInt32("_resize_mode", int32(fResizingMode));
    archive->AddInt32("_flags", int32(fFlags));
    archive->AddColor("_view_color", fViewColor);
    archive->AddColor("_high_color", fHighColor);
    archive->AddColor("_low_color", fLowColor);
    if (fDrawingMode != B_OP_COPY) archive->AddInt32("_drawing_mode", fDrawingMode);
    if (fPenSize != 1) archive->AddFloat("_pen_size", fPenSize);
    std::string family, style;
    fFont.GetFamilyAndStyle(&family, &style);
    archive->AddString("_font_family", family);
    archive->AddString("_font_style", style);
    archive->AddFloat("_font_size", fFont.Size());
    if (fHidden > 0) archive->AddBool("_hidden", true);
    if (deep) ArchiveChildren(archive);
    return B_OK;
}

void BView::ArchiveChildren(BMessage* archive) const {
    for (BView* child : fChildren) {
        BMessage childArchive;
        if (child->Archive(&childArchive, true) == B_OK)
            archive->AddMessage("_views", &childArchive);
    }
}

void BView::UnarchiveChildren(BMessage* archive) {
    BMessage childArchive;
    for (int32 i = 0; archive->FindMessage("_views", i, &childArchive) == B_OK; ++i) {
        BArchivable* object = instantiate_object(&childArchive);
        if (auto* child = dynamic_cast<BView*>(object))
            AddChild(child);
        else
            delete object;
    }
}

void BView::Draw(BRect) {}
void BView::MouseDown(BPoint) {}
void BView::MouseUp(BPoint) {}
void BView::MouseMoved(BPoint, uint32, const BMessage*) {}
void BView::KeyDown(const char*, int32) {}

void BView::MakeFocus(bool focus) {
    if (fWindow) fWindow->SetFocusView(this, focus);
}

bool BView::IsFocus() const {
    return fWindow && fWindow->CurrentFocus() == this;
}

void BView::AddChild(BView* child, BView* before) {
    if (!child || child == this || child->fParent) return;
    auto at = std::find(fChildren.begin(), fChildren.end(), before);
    fChildren.insert(at, child);
    child->fParent = this;
    if (fWindow || fSurface) child->Attach(fWindow, fSurface);
    child->Invalidate();
}

bool BView::RemoveChild(BView* child) {
    auto found = std::find(fChildren.begin(), fChildren.end(), child);
    if (!child || found == fChildren.end()) return false;
    child->Invalidate();
    if (child->fWindow || child->fSurface) child->Detach();
    fChildren.erase(found);
    child->fParent = nullptr;
    return true;
}

bool BView::RemoveSelf() {
    if (fParent) return fParent->RemoveChild(this);
    if (fWindow) return fWindow->RemoveChild(this);
    return false;
}

BView* BView::ChildAt(int32 index) const {
    return index >= 0 && index < CountChildren() ? fChildren[index] : nullptr;
}

BView* BView::NextSibling() const {
    if (!fParent) return nullptr;
    auto& siblings = fParent->fChildren;
    auto at = std::find(siblings.begin(), siblings.end(), this);
    return at == siblings.end() || at + 1 == siblings.end() ? nullptr : *(at + 1);
}

BView* BView::FindView(const char* name) const {
    if (name && std::strcmp(Name(), name) == 0) return const_cast<BView*>(this);
    for (BView* child : fChildren)
        if (BView* found = child->FindView(name)) return found;
    return nullptr;
}

void BView::Attach(BWindow* window, DrawingSurface* surface) {
    fWindow = window;
    fWindowToken = window ? window->Token() : 0;
    fSurface = surface;
    if (window) {
        window->AddHandler(this);
        window->ViewAttached(this);
    }
    for (BView* child : fChildren) child->Attach(window, surface);
    if (window) {
        AttachedToWindow();
        if (window->Canvas()) RealizeWidgets(window->Canvas());
        AllAttached();
    }
}

void BView::Detach() {
    BWindow* window = fWindow;
    if (window) DetachedFromWindow();
    for (BView* child : fChildren) child->Detach();
    if (window) {
        AllDetached();
        window->ViewDetached(this);
        window->RemoveHandler(this);
    }
    DropWidgets();
    fWindow = nullptr;
    fWindowToken = 0;
    fSurface = nullptr;
}

BRect BView::Bounds() const {
    return BRect(fOrigin.x, fOrigin.y, fOrigin.x + fFrame.Width(), fOrigin.y + fFrame.Height());
}

void BView::MoveTo(BPoint where) {
    if (where == fFrame.LeftTop()) return;
    Invalidate();
    fFrame.OffsetTo(where);
    FrameChanged(true, false);
}

void BView::ResizeTo(float width, float height) {
    width = std::max(width, -1.0f);
    height = std::max(height, -1.0f);
    const float dw = width - fFrame.Width(), dh = height - fFrame.Height();
    if (dw == 0 && dh == 0) return;
    Invalidate();
    fFrame.right = fFrame.left + width;
    fFrame.bottom = fFrame.top + height;
    for (BView* child : fChildren) child->ParentResized(dw, dh);
    FrameChanged(false, true);
}

void BView::ParentResized(float dw, float dh) {
    auto follow = [](uint32 rule, float delta, uint32 far) {
        return rule == far ? delta : rule == _VIEW_CENTER_ ? delta / 2 : 0;
    };
    const uint32 m = fResizingMode;
    const float left = follow((m >> 8) & 0xf, dw, _VIEW_RIGHT_);
    const float right = follow(m & 0xf, dw, _VIEW_RIGHT_);
    const float top = follow((m >> 12) & 0xf, dh, _VIEW_BOTTOM_);
    const float bottom = follow((m >> 4) & 0xf, dh, _VIEW_BOTTOM_);
    if (left != 0 || top != 0) MoveTo(fFrame.left + left, fFrame.top + top);
    if (right - left != 0 || bottom - top != 0)
        ResizeTo(fFrame.Width() + right - left, fFrame.Height() + bottom - top);
}

void BView::FrameChanged(bool moved, bool resized) {
    Invalidate();
    PlaceWidget();
    for (BView* child : fChildren) child->PlaceWidget();
    if (moved) FrameMoved(fFrame.LeftTop());
    if (resized) FrameResized(fFrame.Width(), fFrame.Height());
}

void BView::ScrollTo(BPoint where) {
    if (where == fOrigin) return;
    fOrigin = where;
    Invalidate();
    for (BView* child : fChildren) child->PlaceWidget();
    for (BScrollBar* bar : fScrollBars)
        if (bar) bar->TargetScrolled(where);
}

BScrollBar* BView::ScrollBar(orientation direction) const {
    return direction == B_HORIZONTAL || direction == B_VERTICAL ? fScrollBars[direction] : nullptr;
}

void BView::GetPreferredSize(float* width, float* height) {
    if (width) *width = fFrame.Width();
    if (height) *height = fFrame.Height();
}

void BView::Show() {
    if (--fHidden == 0) {
        Invalidate();
        PlaceWidget();
    }
}

void BView::Hide() {
    if (fHidden++ == 0) {
        if (fParent) fParent->Invalidate(fFrame);
        PlaceWidget();
    }
}

bool BView::IsHidden() const {
    for (const BView* v = this; v; v = v->fParent)
        if (v->fHidden > 0) return true;
    return fWindow && fWindow->IsHidden();
}

void BView::ConvertToParent(BPoint* point) const {
    *point = ConvertToParent(*point);
}
BPoint BView::ConvertToParent(BPoint point) const {
    return point - fOrigin + fFrame.LeftTop();
}
void BView::ConvertFromParent(BPoint* point) const {
    *point = ConvertFromParent(*point);
}
BPoint BView::ConvertFromParent(BPoint point) const {
    return point - fFrame.LeftTop() + fOrigin;
}

BPoint BView::SurfaceOffset() const {
    BPoint offset = fFrame.LeftTop() - fOrigin;
    for (const BView* v = fParent; v; v = v->fParent) offset += v->fFrame.LeftTop() - v->fOrigin;
    return offset;
}

BPoint BView::ConvertToWindow(BPoint point) const {
    return point + SurfaceOffset();
}
BRect BView::ConvertToWindow(BRect rect) const {
    return rect.OffsetByCopy(SurfaceOffset());
}
BPoint BView::ConvertFromWindow(BPoint point) const {
    return point - SurfaceOffset();
}

BPoint BView::ConvertToScreen(BPoint point) const {
    const BPoint origin = fSurface ? fSurface->ScreenOrigin() : BPoint();
    return ConvertToWindow(point) + origin;
}
void BView::ConvertToScreen(BPoint* point) const {
    *point = ConvertToScreen(*point);
}
BRect BView::ConvertToScreen(BRect rect) const {
    return BRect(ConvertToScreen(rect.LeftTop()), ConvertToScreen(rect.RightBottom()));
}
void BView::ConvertToScreen(BRect* rect) const {
    *rect = ConvertToScreen(*rect);
}
BPoint BView::ConvertFromScreen(BPoint point) const {
    const BPoint origin = fSurface ? fSurface->ScreenOrigin() : BPoint();
    return ConvertFromWindow(point - origin);
}
void BView::ConvertFromScreen(BPoint* point) const {
    *point = ConvertFromScreen(*point);
}

void BView::GetMouse(BPoint* location, uint32* buttons, bool) {
    BPoint where;
    uint32 down = 0;
    if (fWindow) fWindow->CurrentMouse(&where, &down);
    if (location) *location = ConvertFromWindow(where);
    if (buttons) *buttons = down;
}

void BView::SetBlendingMode(source_alpha source, alpha_function function) {
    fSourceAlpha = source;
    fAlphaFunction = function;
}

void BView::GetBlendingMode(source_alpha* source, alpha_function* function) const {
    if (source) *source = fSourceAlpha;
    if (function) *function = fAlphaFunction;
}

void BView::SetFont(const BFont* font) {
    if (font) fFont = *font;
}

BRect BView::VisibleRect() const {
    BRect rect = Bounds().OffsetByCopy(SurfaceOffset());
    for (const BView* v = fParent; v; v = v->fParent)
        rect = rect & v->Bounds().OffsetByCopy(v->SurfaceOffset());
    return rect;
}

BView* BView::ViewAt(BPoint point) {
    if (fHidden > 0 || !Bounds().Contains(point)) return nullptr;
    for (auto child = fChildren.rbegin(); child != fChildren.rend(); ++child)
        if (BView* found = (*child)->ViewAt((*child)->ConvertFromParent(point))) return found;
    return this;
}

void BView::RenderInto(BRect surfaceRect) {
    if (fHidden > 0) return;
    const BRect visible = VisibleRect() & surfaceRect;
    if (!visible.IsValid()) return;
    if (!fWidget) {
        fUpdateClip = visible;
        fInUpdate = true;
        if (!(fViewColor == B_TRANSPARENT_COLOR)) {
            const rgb_color high = fHighColor;
            const drawing_mode mode = fDrawingMode;
            fHighColor = fViewColor;
            fDrawingMode = B_OP_COPY;
            FillRect(visible.OffsetByCopy(BPoint() - SurfaceOffset()));
            fHighColor = high;
            fDrawingMode = mode;
        }
        if (fFlags & B_WILL_DRAW) Draw(visible.OffsetByCopy(BPoint() - SurfaceOffset()));
        fInUpdate = false;
    }
    for (BView* child : fChildren) child->RenderInto(visible);
}

void BView::Invalidate() {
    Invalidate(Bounds());
}

void BView::Invalidate(BRect rect) {
    const int32 token = fWindowToken.load();
    if (!token) return;
    // Off the locking thread the view tree may be changing: let the GUI thread do it.
    BWindow* window = fWindow;
    if (window && window->IsLocked()) {
        const BRect visible = ConvertToWindow(rect) & VisibleRect();
        if (visible.IsValid()) window->InvalidateSurface(visible);
        return;
    }
    BWindow::RunLocked(token, [this, rect](BWindow* w) {
        if (w->HasView(this)) Invalidate(rect);
    });
}

QWidget* BView::CreateWidget(QWidget*) {
    return nullptr;
}

void BView::RealizeWidgets(QWidget* canvas) {
    if (!fWidget) {
        fWidget = CreateWidget(canvas);
        if (fWidget) {
            SyncWidget();
            PlaceWidget();
        }
    }
    for (BView* child : fChildren) child->RealizeWidgets(canvas);
}

void BView::DropWidgets() {
    for (BView* child : fChildren) child->DropWidgets();
    if (fWidget) fWidget->deleteLater();
    fWidget = nullptr;
}

void BView::PlaceWidget() {
    if (!fWidget) {
        for (BView* child : fChildren) child->PlaceWidget();
        return;
    }
    if (!gui_thread::IsGuiThread()) {
        BWindow::RunLocked(fWindowToken.load(), [this](BWindow* w) {
            if (w->HasView(this)) PlaceWidget();
        });
        return;
    }
    const BRect r = Bounds().OffsetByCopy(SurfaceOffset());
    fWidget->setGeometry(int(r.left), int(r.top), int(r.Width()) + 1, int(r.Height()) + 1);
    bool hidden = false;
    for (const BView* v = this; v; v = v->fParent) hidden = hidden || v->fHidden > 0;
    fWidget->setVisible(!hidden);
}

void BView::WidgetStateChanged() {
    if (!fWidget && !fWindowToken.load()) return;
    if (gui_thread::IsGuiThread()) {
        if (fWidget) SyncWidget();
        return;
    }
    BWindow::RunLocked(fWindowToken.load(), [this](BWindow* w) {
        if (w->HasView(this) && fWidget) SyncWidget();
    });
}

void BView::WhenLocked(int32 token, std::function<void()> work) {
    BWindow::RunLocked(token, [this, work = std::move(work)](BWindow* window) {
        if (window->HasView(this)) work();
    });
}
