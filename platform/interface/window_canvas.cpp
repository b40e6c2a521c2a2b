#include "platform/interface/window_canvas.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include "message/message.h"
#include "platform/app/app_defs.h"
#include "platform/interface/window.h"

const char* const kMessageMimeType = "application/x-vnd.velloran-message";

namespace {

uint32 Buttons(Qt::MouseButtons buttons) {
    uint32 result = 0;
    if (buttons & Qt::LeftButton) result |= B_PRIMARY_MOUSE_BUTTON;
    if (buttons & Qt::RightButton) result |= B_SECONDARY_MOUSE_BUTTON;
    if (buttons & Qt::MiddleButton) result |= B_TERTIARY_MOUSE_BUTTON;
    return result;
}

BPoint Where(const QPointF& p) {
    return BPoint(float(p.x()), float(p.y()));
}

uint32 Modifiers(Qt::KeyboardModifiers m) {
    uint32 result = 0;
    if (m & Qt::ShiftModifier) result |= B_SHIFT_KEY;
    if (m & Qt::ControlModifier) result |= B_COMMAND_KEY;
    if (m & Qt::AltModifier) result |= B_OPTION_KEY;
    if (m & Qt::MetaModifier) result |= B_CONTROL_KEY;
    return result;
}

// The byte KeyDown gets for keys without a character; 0 for none.
char SpecialKey(int key) {
    switch (key) {
        case Qt::Key_Backspace:
            return B_BACKSPACE;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return B_ENTER;
        case Qt::Key_Tab:
            return B_TAB;
        case Qt::Key_Escape:
            return B_ESCAPE;
        case Qt::Key_Left:
            return B_LEFT_ARROW;
        case Qt::Key_Right:
            return B_RIGHT_ARROW;
        case Qt::Key_Up:
            return B_UP_ARROW;
        case Qt::Key_Down:
            return B_DOWN_ARROW;
        case Qt::Key_Insert:
            return B_INSERT;
        case Qt::Key_Delete:
            return B_DELETE;
        case Qt::Key_Home:
            return B_HOME;
        case Qt::Key_End:
            return B_END;
        case Qt::Key_PageUp:
            return B_PAGE_UP;
        case Qt::Key_PageDown:
            return B_PAGE_DOWN;
        default:
            return key >= Qt::Key_F1 && key <= Qt::Key_F12 ? B_FUNCTION_KEY : 0;
    }
}

}  // namespace

uint32 modifiers() {
    return Modifiers(QGuiApplication::queryKeyboardModifiers());
}

WindowCanvas::WindowCanvas(BWindow* window, int32_t token)
    : fWindow(window), fToken(token), fPulse(new QTimer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    connect(fPulse, &QTimer::timeout, this,
            [this] { Locked([](BWindow* w) { w->PulseViews(); }); });
}

WindowCanvas::~WindowCanvas() {
    if (fWindow) fWindow->CanvasGone();
}

void WindowCanvas::ShowArea(BRect rect) {
    const QRect area(int(rect.left), int(rect.top), int(rect.Width()) + 1, int(rect.Height()) + 1);
    QMetaObject::invokeMethod(
        this, [this, area] { update(area); }, Qt::QueuedConnection);
}

void WindowCanvas::SetPulseRate(int64_t microseconds) {
    if (microseconds <= 0) {
        fPulse->stop();
        return;
    }
    fPulse->start(int(std::max<int64_t>(microseconds / 1000, 1)));
}

void WindowCanvas::Locked(std::function<void(BWindow*)> work) {
    BWindow::RunLocked(fToken, std::move(work));
}

void WindowCanvas::paintEvent(QPaintEvent* event) {
    if (!fWindow) return;
    // Never wait for a window another thread holds: show the image when it is free.
    if (fWindow->LockWithTimeout(0) != B_OK) {
        QTimer::singleShot(5, this, [this] { update(); });
        return;
    }
    fWindow->UpdateIfNeeded();
    QPainter painter(this);
    const QImage image = fWindow->Snapshot();
    painter.drawImage(event->rect(), image, event->rect());
    fWindow->Unlock();
}

void WindowCanvas::mousePressEvent(QMouseEvent* event) {
    // A pop-up closes on a press outside it, as Qt's own widget does.
    if (windowType() == Qt::Popup && !rect().contains(event->position().toPoint()))
        return QWidget::mousePressEvent(event);
    const BPoint where = Where(event->position());
    const uint32 buttons = Buttons(event->buttons());
    const int32 clicks = event->type() == QEvent::MouseButtonDblClick ? 2 : 1;
    Locked([=](BWindow* w) { w->DeliverMouseDown(where, buttons, clicks); });
}

void WindowCanvas::mouseMoveEvent(QMouseEvent* event) {
    const BPoint where = Where(event->position());
    const uint32 buttons = Buttons(event->buttons());
    Locked([=](BWindow* w) { w->DeliverMouseMoved(where, buttons); });
}

void WindowCanvas::mouseReleaseEvent(QMouseEvent* event) {
    const BPoint where = Where(event->position());
    Locked([=](BWindow* w) { w->DeliverMouseUp(where); });
}

bool WindowCanvas::event(QEvent* event) {
    // Qt's menu shortcuts fire again at every auto-repeat without saying so; the window's own
    // shortcut handling takes repeats instead and marks their messages as repeats.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat() && (key->modifiers() & Qt::ControlModifier)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

std::string WindowCanvas::KeyBytes(const QKeyEvent* event) {
    const bool printable = event->key() >= 0x20 && event->key() < 0x7f;
    if (char special = SpecialKey(event->key())) return std::string(1, special);
    // With Ctrl down Qt's text is a control character; shortcuts want the key itself.
    if ((event->modifiers() & Qt::ControlModifier) && printable)
        return std::string(1, char(QChar(event->key()).toLower().unicode()));
    return event->text().toStdString();
}

void WindowCanvas::keyPressEvent(QKeyEvent* event) {
    fRepeats = event->isAutoRepeat() ? fRepeats + 1 : 0;
    const std::string bytes = KeyBytes(event);
    if (bytes.empty()) return;
    const uint32 mods = Modifiers(event->modifiers());
    const int32 key = event->nativeScanCode();
    const int32 repeat = fRepeats;
    Locked([=](BWindow* w) { w->DeliverKeyDown(bytes.c_str(), mods, key, repeat); });
}

void WindowCanvas::keyReleaseEvent(QKeyEvent* event) {
    // An auto-repeat comes as a release and a press; only the last release is real.
    if (event->isAutoRepeat()) return;
    const std::string bytes = KeyBytes(event);
    if (bytes.empty()) return;
    const uint32 mods = Modifiers(event->modifiers());
    const int32 key = event->nativeScanCode();
    Locked([=](BWindow* w) { w->DeliverKeyUp(bytes.c_str(), mods, key); });
}

void WindowCanvas::wheelEvent(QWheelEvent* event) {
    // Qt counts 120 per notch, positive away from the user; the kit's positive is down.
    constexpr int kNotch = 120;
    fWheelRest += event->angleDelta();
    const float dx = float(-(fWheelRest.x() / kNotch));
    const float dy = float(-(fWheelRest.y() / kNotch));
    fWheelRest = QPoint(fWheelRest.x() % kNotch, fWheelRest.y() % kNotch);
    event->accept();
    if (dx == 0 && dy == 0) return;
    const BPoint where = Where(event->position());
    const uint32 mods = Modifiers(event->modifiers());
    Locked([=](BWindow* w) { w->DeliverMouseWheel(where, dx, dy, mods); });
}

void WindowCanvas::leaveEvent(QEvent*) {
    Locked([](BWindow* w) { w->DeliverMouseExited(); });
}

void WindowCanvas::resizeEvent(QResizeEvent*) {
    ReportFrame();
}
void WindowCanvas::moveEvent(QMoveEvent*) {
    ReportFrame();
}

void WindowCanvas::ReportFrame() {
    const QRect g = geometry();
    const BRect frame(g.left(), g.top(), g.right(), g.bottom());
    Locked([frame](BWindow* w) { w->ScreenFrameChanged(frame); });
}

void WindowCanvas::closeEvent(QCloseEvent* event) {
    // The window decides, on its own thread, whether it closes.
    event->ignore();
    if (fWindow) fWindow->PostMessage(B_QUIT_REQUESTED);
}

void WindowCanvas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        const bool active = isActiveWindow();
        Locked([active](BWindow* w) { w->ActivationChanged(active); });
    }
    QWidget::changeEvent(event);
}

void WindowCanvas::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* offered = event->mimeData();
    if (offered->hasFormat(kMessageMimeType) || !FileRefs(offered).IsEmpty())
        event->acceptProposedAction();
}

BMessage WindowCanvas::FileRefs(const QMimeData* offered) {
    BMessage refs(B_SIMPLE_DATA);
    for (const QUrl& url : offered->urls()) {
        if (!url.isLocalFile()) continue;
        entry_ref ref(url.toLocalFile().toStdString());
        refs.AddRef("refs", &ref);
    }
    return refs;
}

void WindowCanvas::dropEvent(QDropEvent* event) {
    // Files from file managers (text/uri-list) go to the window itself as refs, wherever
    // they land, as files handed over by the desktop do.
    BMessage files = FileRefs(event->mimeData());
    if (!files.IsEmpty() && fWindow != nullptr) {
        event->acceptProposedAction();
        fWindow->PostMessage(&files);
        return;
    }
    BMessage message;
    const QByteArray bytes = event->mimeData()->data(kMessageMimeType);
    if (message.Unflatten(bytes.constData(), bytes.size()) != B_OK) return;
    const BPoint where = Where(event->position());
    event->acceptProposedAction();
    Locked([message, where](BWindow* w) { w->DeliverDrop(&message, where); });
}
