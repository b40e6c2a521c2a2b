#include "platform/interface/menu_bar.h"

#include <QMenuBar>

#include "platform/interface/menu_item.h"
#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BMenuBar)

namespace {
// Marks the Qt objects the bar made, so a rebuild removes only those.
const char* const kMirrorName = "velloran_menu_mirror";
}  // namespace

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout,
                   bool resizeToFit)
    : BMenu(name, layout), fResizeToFit(resizeToFit) {
    MoveTo(frame.LeftTop());
    ResizeTo(frame.Width(), frame.Height());
    SetResizingMode(resizingMode);
}

BMenuBar::BMenuBar(BMessage* archive) : BMenu(archive) {
    bool fit = true;
    archive->FindBool("_resize_to_fit", &fit);
    fResizeToFit = fit;
    int32 value = 0;
    if (archive->FindInt32("_resize_mode", &value) != B_OK)
        SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
    if (archive->FindInt32("_layout", &value) != B_OK) fLayout = B_ITEMS_IN_ROW;
    BRect frame;
    if (archive->FindRect("_frame", &frame) != B_OK) {
        MoveTo(0, 0);
        ResizeTo(0, 19);
        fResizeToFit = true;
    }
}

BMenuBar::~BMenuBar() {
    // Leave the window while this is still a menu bar, so it forgets its key menu bar.
    RemoveSelf();
}

BArchivable* BMenuBar::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BMenuBar") ? new BMenuBar(archive) : nullptr;
}

status_t BMenuBar::Archive(BMessage* archive, bool deep) const {
    BMenu::Archive(archive, deep);
    archive_class_name(archive, "BMenuBar");
    if (!fResizeToFit) archive->AddBool("_resize_to_fit", false);
    return B_OK;
}

void BMenuBar::AttachedToWindow() {
    if (!Window()->KeyMenuBar()) Window()->SetKeyMenuBar(this);
    if (fResizeToFit && Parent()) ResizeTo(Parent()->Bounds().Width(), Frame().Height());
}

void BMenuBar::DetachedFromWindow() {
    if (Window()->KeyMenuBar() == this) Window()->SetKeyMenuBar(nullptr);
}

void BMenuBar::Draw(BRect) {
    // Without a display: the labels in a row, for snapshots.
    const BRect bounds = Bounds();
    SetHighColor(0, 0, 0);
    float x = bounds.left + 8;
    for (int32 i = 0; i < CountItems(); ++i) {
        BMenuItem* item = ItemAt(i);
        if (item->IsSeparator()) continue;
        DrawString(item->Label(), BPoint(x, bounds.bottom - 5));
        x += StringWidth(item->Label()) + 16;
    }
    StrokeLine(bounds.LeftBottom(), bounds.RightBottom());
}

QWidget* BMenuBar::CreateWidget(QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    bar->setNativeMenuBar(false);
    return bar;
}

void BMenuBar::SyncWidget() {
    auto* bar = qobject_cast<QMenuBar*>(Widget());
    if (!bar) return;
    for (QAction* action : bar->actions()) bar->removeAction(action);
    for (QObject* child : bar->children())
        if (child->objectName() == kMirrorName) child->deleteLater();
    const int32 token = Window() ? Window()->Token() : 0;
    BMenuBar* self = this;
    FillQtMenu(bar, [token, self](std::vector<int32> path) {
        // Items run on the window's thread, if the bar is still there by then.
        BWindow::RunLocked(token, [self, path](BWindow* window) {
            if (!window->HasView(self)) return;
            if (BMenuItem* item = self->ItemAtPath(path)) item->Invoke();
        });
    });
    for (QObject* child : bar->children())
        if (qobject_cast<QMenu*>(child) || qobject_cast<QAction*>(child))
            if (child->objectName().isEmpty()) child->setObjectName(kMirrorName);
}
