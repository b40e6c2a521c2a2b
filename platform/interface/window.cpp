#include "platform/interface/window.h"

#include <QTimer>
#include <algorithm>

#include "platform/app/application.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/native_display.h"
#include "platform/interface/view.h"
#include "platform/interface/window_canvas.h"
#include "platform/interface/window_surface.h"

REGISTER_ARCHIVABLE(BWindow)

namespace {

constexpr rgb_color kPanelColor = {216, 216, 216, 255};

window_look LookOf(window_type type) {
    switch (type) {
        case B_MODAL_WINDOW:
            return B_MODAL_WINDOW_LOOK;
        case B_DOCUMENT_WINDOW:
            return B_DOCUMENT_WINDOW_LOOK;
        case B_BORDERED_WINDOW:
            return B_BORDERED_WINDOW_LOOK;
        case B_FLOATING_WINDOW:
            return B_FLOATING_WINDOW_LOOK;
        default:
            return B_TITLED_WINDOW_LOOK;
    }
}

window_feel FeelOf(window_type type) {
    switch (type) {
        case B_MODAL_WINDOW:
            return B_MODAL_APP_WINDOW_FEEL;
        case B_FLOATING_WINDOW:
            return B_FLOATING_APP_WINDOW_FEEL;
        default:
            return B_NORMAL_WINDOW_FEEL;
    }
}

Qt::WindowModality ModalityOf(window_feel feel) {
    const bool modal = feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL ||
                       feel == B_MODAL_SUBSET_WINDOW_FEEL;
    return modal ? Qt::ApplicationModal : Qt::NonModal;
}

// A held key's shortcut says it is a repeat, for commands that must happen once per press.
void MarkRepeat(BMessage* message, int32 repeat) {
    if (repeat > 0) message->AddInt32("be:key_repeat", repeat);
}

void AttemptLocked(int32 token, std::function<void(BWindow*)> work) {
    auto* window = dynamic_cast<BWindow*>(looper_registry::GuiLooper(token));
    if (!window) return;
    if (window->LockWithTimeout(0) != B_OK) {
        QTimer::singleShot(1, [token, work = std::move(work)]() mutable {
            AttemptLocked(token, std::move(work));
        });
        return;
    }
    work(window);
    // The work may have quit the window, which takes its lock with it.
    if (looper_registry::GuiLooper(token) == window) window->Unlock();
}

}  // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32)
    : BLooper(title, Serving::kGuiThread) {
    Init(frame, title, LookOf(type), FeelOf(type), flags);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
                 uint32)
    : BLooper(title, Serving::kGuiThread) {
    Init(frame, title, look, feel, flags);
}

BWindow::BWindow(BMessage* archive) : BLooper(nullptr, Serving::kGuiThread), BArchivable(archive) {
    BRect frame(100, 100, 399, 299);
    archive->FindRect("_frame", &frame);
    std::string title;
    archive->FindString("_title", &title);
    int32 look = B_TITLED_WINDOW_LOOK, feel = B_NORMAL_WINDOW_FEEL, flags = 0;
    archive->FindInt32("_look", &look);
    archive->FindInt32("_feel", &feel);
    archive->FindInt32("_flags", &flags);
    Init(frame, title.c_str(), window_look(look), window_feel(feel), uint32(flags));
    float limits[4];
    bool haveLimits = true;
    for (int32 i = 0; i < 4; ++i)
        haveLimits = haveLimits && archive->FindFloat("_size_limits", i, &limits[i]) == B_OK;
    if (haveLimits) SetSizeLimits(limits[0], limits[1], limits[2], limits[3]);
    int32 pulse = 0;
    if (archive->FindInt32("_pulse", &pulse) == B_OK && pulse >= 0) fPulseRate = pulse;
    fTop->UnarchiveChildren(archive);
}

void BWindow::Init(BRect frame, const char* title, window_look look, window_feel feel,
                   uint32 flags) {
    SetName(title);
    fTitle = title ? title : "";
    if (!frame.IsValid()) frame = BRect(frame.left, frame.top, frame.left, frame.top);
    fFrame = frame;
    fLook = look;
    fFeel = feel;
    fFlags = flags;
    fSurface = new WindowSurface(this);
    fTop = new BView(Bounds(), "top_view", B_FOLLOW_ALL, B_WILL_DRAW);
    fTop->SetViewColor(kPanelColor);
    fTop->Attach(this, fSurface);
    fDirty = Bounds();
}

BWindow::~BWindow() {
    Unregister();
    if (fCanvas) {
        fCanvas->Detach();
        fCanvas->hide();
        fCanvas->deleteLater();
        fCanvas = nullptr;
        fTop->DropWidgets();
    }
    delete fTop;
    fTop = nullptr;
    delete fSurface;
}

BArchivable* BWindow::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BWindow") ? new BWindow(archive) : nullptr;
}

status_t BWindow::Archive(BMessage* archive, bool deep) const {
    BArchivable::Archive(archive, deep);
    archive_class_name(archive, "BWindow");
    archive->AddRect("_frame", fFrame);
    archive->AddString("_title", fTitle);
    archive->AddInt32("_look", fLook);
    archive->AddInt32("_feel", fFeel);
    archive->AddInt32("_flags", int32(fFlags));
    for (float limit : {fMinWidth, fMaxWidth, fMinHeight, fMaxHeight})
        archive->AddFloat("_size_limits", limit);
    archive->AddInt32("_pulse", int32(std::min<bigtime_t>(fPulseRate, INT32_MAX)));
    if (deep) fTop->ArchiveChildren(archive);
    return B_OK;
}

void BWindow::Quit() {
    if (gui_thread::Started() && !gui_thread::IsGuiThread()) return BLooper::Quit();
    if (fCanvas) fCanvas->hide();
    BLooper::Quit();
}

void BWindow::RunLocked(int32 token, std::function<void(BWindow*)> work) {
    if (!token) return;
    gui_thread::Post(
        [token, work = std::move(work)]() mutable { AttemptLocked(token, std::move(work)); });
}

void BWindow::SetFeel(window_feel feel) {
    fFeel = feel;
    RunLocked(Token(), [](BWindow* w) {
        if (!w->fCanvas) return;
        const bool shown = w->fCanvas->isVisible();
        if (shown) w->fCanvas->hide();
        w->fCanvas->setWindowModality(ModalityOf(w->fFeel));
        if (shown) w->fCanvas->show();
    });
}

void BWindow::Show() {
    if (--fHidden != 0) return;
    if (!IsRunning()) Run();
    fTop->Invalidate();
    RunLocked(Token(), [](BWindow* w) { w->ApplyToCanvas(); });
}

void BWindow::Hide() {
    if (fHidden++ != 0) return;
    RunLocked(Token(), [](BWindow* w) { w->ApplyToCanvas(); });
}

void BWindow::ApplyToCanvas() {
    if (IsHidden()) {
        if (fCanvas) fCanvas->hide();
        return;
    }
    if (!fCanvas) Realize();
    fCanvas->setWindowTitle(QString::fromStdString(fTitle));
    fCanvas->setMinimumSize(int(fMinWidth) + 1, int(fMinHeight) + 1);
    fCanvas->setMaximumSize(int(std::min(fMaxWidth, 32766.f)) + 1,
                            int(std::min(fMaxHeight, 32766.f)) + 1);
    fCanvas->setGeometry(int(fFrame.left), int(fFrame.top), int(fFrame.Width()) + 1,
                         int(fFrame.Height()) + 1);
    fCanvas->show();
}

void BWindow::Realize() {
    fCanvas = new WindowCanvas(this, Token());
    Qt::WindowFlags flags = Qt::Window;
    if (fFeel == B_FLOATING_APP_WINDOW_FEEL || fFeel == B_FLOATING_SUBSET_WINDOW_FEEL ||
        fFeel == B_FLOATING_ALL_WINDOW_FEEL)
        flags = Qt::Tool;
    if (fLook == B_NO_BORDER_WINDOW_LOOK || fLook == B_BORDERED_WINDOW_LOOK)
        flags |= Qt::FramelessWindowHint;
    if (fLook == B_POPUP_WINDOW_LOOK) flags = Qt::Popup;
    if (fFlags & (B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE)) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (!(fFlags & B_NOT_CLOSABLE)) flags |= Qt::WindowCloseButtonHint;
        if (!(fFlags & B_NOT_MINIMIZABLE)) flags |= Qt::WindowMinimizeButtonHint;
        if (!(fFlags & B_NOT_ZOOMABLE)) flags |= Qt::WindowMaximizeButtonHint;
    }
    fCanvas->setWindowFlags(flags);
    fCanvas->setWindowModality(ModalityOf(fFeel));
    if (fFlags & B_NOT_RESIZABLE)
        SetSizeLimits(fFrame.Width(), fFrame.Width(), fFrame.Height(), fFrame.Height());
    fCanvas->SetPulseRate(fPulseRate);
    fTop->RealizeWidgets(fCanvas);
    fTop->Invalidate();
}

void BWindow::CanvasGone() {
    fCanvas = nullptr;
    fTop->DropWidgets();
}

QWidget* BWindow::Canvas() const {
    return fCanvas;
}

uintptr_t BWindow::NativeWindow() {
    if (!native_display::Available()) return 0;
    if (!fCanvas) Realize();
    return native_display::WindowOf(fCanvas);
}

void BWindow::Activate(bool active) {
    fActive = active;
    RunLocked(Token(), [active](BWindow* w) {
        if (!w->fCanvas || !active) return;
        w->fCanvas->raise();
        w->fCanvas->activateWindow();
    });
}

void BWindow::Minimize(bool minimize) {
    RunLocked(Token(), [minimize](BWindow* w) {
        if (w->fCanvas) minimize ? w->fCanvas->showMinimized() : w->fCanvas->showNormal();
    });
}

void BWindow::SetTitle(const char* title) {
    fTitle = title ? title : "";
    SetName(title);
    RunLocked(Token(), [](BWindow* w) {
        if (w->fCanvas) w->fCanvas->setWindowTitle(QString::fromStdString(w->fTitle));
    });
}

void BWindow::MoveTo(BPoint where) {
    fFrame.OffsetTo(where);
    RunLocked(Token(), [](BWindow* w) {
        if (w->fCanvas) w->fCanvas->move(int(w->fFrame.left), int(w->fFrame.top));
    });
}

void BWindow::ResizeTo(float width, float height) {
    width = std::clamp(width, fMinWidth, std::max(fMinWidth, fMaxWidth));
    height = std::clamp(height, fMinHeight, std::max(fMinHeight, fMaxHeight));
    if (width == fFrame.Width() && height == fFrame.Height()) return;
    fFrame.right = fFrame.left + width;
    fFrame.bottom = fFrame.top + height;
    fTop->ResizeTo(width, height);
    FrameResized(width, height);
    RunLocked(Token(), [](BWindow* w) {
        if (w->fCanvas) w->fCanvas->resize(int(w->fFrame.Width()) + 1, int(w->fFrame.Height()) + 1);
    });
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight) {
    fMinWidth = std::max(0.f, minWidth);
    fMaxWidth = std::max(fMinWidth, maxWidth);
    fMinHeight = std::max(0.f, minHeight);
    fMaxHeight = std::max(fMinHeight, maxHeight);
    ResizeTo(fFrame.Width(), fFrame.Height());
    RunLocked(Token(), [](BWindow* w) {
        if (w->fCanvas && !w->IsHidden()) w->ApplyToCanvas();
    });
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
                            float* maxHeight) const {
    if (minWidth) *minWidth = fMinWidth;
    if (maxWidth) *maxWidth = fMaxWidth;
    if (minHeight) *minHeight = fMinHeight;
    if (maxHeight) *maxHeight = fMaxHeight;
}

void BWindow::SetFlags(uint32 flags) {
    fFlags = flags;
}

void BWindow::SetPulseRate(bigtime_t rate) {
    fPulseRate = std::max<bigtime_t>(rate, 0);
    RunLocked(Token(), [](BWindow* w) {
        if (w->fCanvas) w->fCanvas->SetPulseRate(w->fPulseRate);
    });
}

void BWindow::AddChild(BView* child, BView* before) {
    fTop->AddChild(child, before);
}
bool BWindow::RemoveChild(BView* child) {
    return fTop->RemoveChild(child);
}
int32 BWindow::CountChildren() const {
    return fTop->CountChildren();
}
BView* BWindow::ChildAt(int32 index) const {
    return fTop->ChildAt(index);
}

BView* BWindow::FindView(const char* name) const {
    for (int32 i = 0; i < fTop->CountChildren(); ++i)
        if (BView* found = fTop->ChildAt(i)->FindView(name)) return found;
    return nullptr;
}

BView* BWindow::FindView(BPoint point) const {
    BView* found = fTop->ViewAt(point);
    return found == fTop ? nullptr : found;
}

BMenuBar* BWindow::KeyMenuBar() const {
    return fKeyMenuBar;
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message) {
    RemoveShortcut(key, modifiers);
    if (message) fShortcuts.push_back({key, modifiers | B_COMMAND_KEY, *message});
    delete message;
}

std::vector<BWindow::Shortcut> BWindow::sApplicationShortcuts;

void BWindow::AddApplicationShortcut(uint32 key, uint32 modifiers, BMessage* message) {
    if (message) sApplicationShortcuts.push_back({key, modifiers | B_COMMAND_KEY, *message});
    delete message;
}

void BWindow::RemoveShortcut(uint32 key, uint32 modifiers) {
    std::erase_if(fShortcuts, [&](const Shortcut& s) {
        return s.key == key && s.modifiers == (modifiers | B_COMMAND_KEY);
    });
}

bool BWindow::HasView(const BView* view) const {
    return fViews.count(view) > 0;
}
void BWindow::ViewAttached(BView* view) {
    fViews.insert(view);
}

void BWindow::ViewDetached(BView* view) {
    fViews.erase(view);
    if (fFocus == view) fFocus = nullptr;
    if (fMouseView == view) fMouseView = nullptr;
    if (fTracking == view) fTracking = nullptr;
}

void BWindow::SetFocusView(BView* view, bool focus) {
    if (!focus) {
        if (fFocus == view) fFocus = nullptr;
        return;
    }
    fFocus = view;
    if (view && view->Widget() && gui_thread::IsGuiThread()) view->Widget()->setFocus();
}

void BWindow::InvalidateSurface(BRect rect) {
    std::lock_guard guard(fDirtyLock);
    fDirty = fDirty | rect;
    if (fFlushPosted || !gui_thread::Started()) return;
    fFlushPosted = true;
    RunLocked(Token(), [](BWindow* w) { w->UpdateIfNeeded(); });
}

void BWindow::UpdateIfNeeded() {
    BRect dirty;
    {
        std::lock_guard guard(fDirtyLock);
        dirty = fDirty;
        fDirty = BRect();
        fFlushPosted = false;
    }
    if (!dirty.IsValid()) return;
    fTop->RenderInto(dirty);
    fSurface->Damaged(dirty);
}

QImage BWindow::Snapshot() {
    UpdateIfNeeded();
    return fSurface->Image();
}

void BWindow::CurrentMouse(BPoint* where, uint32* buttons) const {
    if (where) *where = fMouse;
    if (buttons) *buttons = fButtons;
}

void BWindow::SendMouse(BView* view, uint32 what, BPoint where, int32 clicks) {
    BMessage event(what);
    const BPoint local = view->ConvertFromWindow(where);
    event.AddPoint("where", local);
    event.AddInt32("buttons", int32(fButtons));
    event.AddInt32("modifiers", int32(gui_thread::Started() ? modifiers() : 0));
    event.AddInt32("clicks", clicks);
    BMessage* previous = SwapCurrentMessage(&event);
    if (what == B_MOUSE_DOWN)
        view->MouseDown(local);
    else
        view->MouseUp(local);
    SwapCurrentMessage(previous);
}

void BWindow::DeliverMouseDown(BPoint where, uint32 buttons, int32 clicks) {
    fMouse = where;
    fButtons = buttons;
    fTracking = fTop->ViewAt(where);
    if (fTracking) SendMouse(fTracking, B_MOUSE_DOWN, where, clicks);
}

void BWindow::DeliverMouseMoved(BPoint where, uint32 buttons) {
    fMouse = where;
    fButtons = buttons;
    BView* over = fTop->ViewAt(where);
    if (over != fMouseView) {
        if (fMouseView && fMouseView != fTracking)
            fMouseView->MouseMoved(fMouseView->ConvertFromWindow(where), B_EXITED_VIEW, nullptr);
        fMouseView = over;
        if (over && over != fTracking)
            over->MouseMoved(over->ConvertFromWindow(where), B_ENTERED_VIEW, nullptr);
    } else if (over && over != fTracking) {
        over->MouseMoved(over->ConvertFromWindow(where), B_INSIDE_VIEW, nullptr);
    }
    if (fTracking) {
        const BPoint local = fTracking->ConvertFromWindow(where);
        fTracking->MouseMoved(
            local, fTracking->Bounds().Contains(local) ? B_INSIDE_VIEW : B_OUTSIDE_VIEW, nullptr);
    }
}

void BWindow::DeliverMouseUp(BPoint where) {
    fMouse = where;
    fButtons = 0;
    BView* target = fTracking ? fTracking : fTop->ViewAt(where);
    fTracking = nullptr;
    if (target) SendMouse(target, B_MOUSE_UP, where, 1);
}

void BWindow::DeliverKeyDown(const char* bytes, uint32 modifiers, int32 key, int32 repeat) {
    if ((modifiers & B_COMMAND_KEY) && HandleShortcut(bytes, modifiers, repeat)) return;
    SendKey(B_KEY_DOWN, bytes, modifiers, key, repeat);
}

void BWindow::DeliverKeyUp(const char* bytes, uint32 modifiers, int32 key) {
    SendKey(B_KEY_UP, bytes, modifiers, key, 0);
}

void BWindow::SendKey(uint32 what, const char* bytes, uint32 modifiers, int32 key, int32 repeat) {
    BView* target = fFocus;
    if (!target) return;
    BMessage event(what);
    event.AddString("bytes", bytes);
    event.AddInt32("modifiers", int32(modifiers));
    event.AddInt32("key", key);
    event.AddInt32("raw_char", uint8(bytes[0]));
    event.AddInt32("be:key_repeat", repeat);
    BMessage* previous = SwapCurrentMessage(&event);
    const int32 length = int32(std::strlen(bytes));
    if (what == B_KEY_DOWN)
        target->KeyDown(bytes, length);
    else
        target->KeyUp(bytes, length);
    SwapCurrentMessage(previous);
}

void BWindow::DeliverMouseWheel(BPoint where, float dx, float dy, uint32 modifiers) {
    BView* target = fTop->ViewAt(where);
    if (!target) return;
    BMessage event(B_MOUSE_WHEEL_CHANGED);
    event.AddPoint("where", target->ConvertFromWindow(where));
    event.AddFloat("be:wheel_delta_x", dx);
    event.AddFloat("be:wheel_delta_y", dy);
    event.AddInt32("modifiers", int32(modifiers));
    BMessage* previous = SwapCurrentMessage(&event);
    target->MessageReceived(&event);
    SwapCurrentMessage(previous);
}

void BWindow::DeliverMouseExited() {
    BView* left = fMouseView;
    fMouseView = nullptr;
    // A view tracking a press is told too: the pointer is no longer over it.
    if (left) left->MouseMoved(left->ConvertFromWindow(fMouse), B_EXITED_VIEW, nullptr);
}

bool BWindow::HandleShortcut(const char* bytes, uint32 modifiers, int32 repeat) {
    const uint32 key = uint32(std::tolower(uint8(bytes[0])));
    const uint32 wanted = modifiers & (B_COMMAND_KEY | B_SHIFT_KEY | B_OPTION_KEY);
    if (const Shortcut* own = Matching(fShortcuts, key, wanted)) {
        BMessage message(own->message);
        MarkRepeat(&message, repeat);
        PostMessage(&message);
        return true;
    }
    BMenuItem* item = fKeyMenuBar ? fKeyMenuBar->FindShortcut(key, wanted) : nullptr;
    if (!item) {
        const Shortcut* shared = Matching(sApplicationShortcuts, key, wanted);
        if (shared != nullptr && be_app != nullptr) be_app->PostMessage(&shared->message);
        return shared != nullptr;
    }
    const BMessage* original = item->Message();
    if (!original) {
        item->Invoke();
        return true;
    }
    BMessage message(*original);
    MarkRepeat(&message, repeat);
    item->Invoke(&message);
    return true;
}

const BWindow::Shortcut* BWindow::Matching(const std::vector<Shortcut>& shortcuts, uint32 key,
                                           uint32 modifiers) {
    const auto found = std::find_if(shortcuts.begin(), shortcuts.end(), [&](const Shortcut& s) {
        return s.key == key && s.modifiers == modifiers;
    });
    return found != shortcuts.end() ? &*found : nullptr;
}

void BWindow::DeliverDrop(const BMessage* message, BPoint where, BPoint offset) {
    BView* target = fTop->ViewAt(where);
    if (!target || !message) return;
    BMessage dropped(*message);
    dropped.SetDropped(where + fFrame.LeftTop(), offset);
    BMessage* previous = SwapCurrentMessage(&dropped);
    target->MessageReceived(&dropped);
    SwapCurrentMessage(previous);
}

void BWindow::ScreenFrameChanged(BRect frame) {
    const bool moved = frame.LeftTop() != fFrame.LeftTop();
    const bool resized = frame.Width() != fFrame.Width() || frame.Height() != fFrame.Height();
    fFrame = frame;
    if (resized) {
        fTop->ResizeTo(frame.Width(), frame.Height());
        FrameResized(frame.Width(), frame.Height());
    }
    if (moved) FrameMoved(frame.LeftTop());
}

void BWindow::ActivationChanged(bool active) {
    if (fActive == active) return;
    fActive = active;
    WindowActivated(active);
    if (fFocus) fFocus->WindowActivated(active);
}

void BWindow::PulseViews() {
    std::vector<BView*> pulsing;
    for (const BView* view : fViews)
        if (view->Flags() & B_PULSE_NEEDED) pulsing.push_back(const_cast<BView*>(view));
    for (BView* view : pulsing)
        if (HasView(view)) view->Pulse();
}
