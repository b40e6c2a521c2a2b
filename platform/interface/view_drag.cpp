// BView's drag and drop: the message travels flattened in a QDrag.
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "platform/app/gui_thread.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"
#include "platform/interface/window_canvas.h"

namespace {

// The GUI thread only.
std::function<void(QDrag*)> gDragRunner;

QImage Outline(BRect rect) {
    QImage image(int(rect.Width()) + 1, int(rect.Height()) + 1,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    return image;
}

bool CanDrag(const BView* view, const BMessage* message) {
    return message && view->Window() && view->Window()->Canvas() && gui_thread::Started();
}

// Copies the message now; the drag starts once the hook returns, since QDrag::exec waits in
// a nested loop that must not run inside the window's dispatch or hold its lock.
void StartDrag(const BView* view, const BMessage* message, QImage image, BPoint hotSpot) {
    QByteArray bytes(qsizetype(message->FlattenedSize()), '\0');
    if (message->Flatten(bytes.data(), bytes.size()) != B_OK) return;
    QPointer<QWidget> canvas(view->Window()->Canvas());
    gui_thread::Post([canvas, bytes, image = std::move(image), hotSpot] {
        if (!canvas) return;
        auto* drag = new QDrag(canvas);
        auto* data = new QMimeData;
        data->setData(kMessageMimeType, bytes);
        drag->setMimeData(data);
        drag->setPixmap(QPixmap::fromImage(image));
        drag->setHotSpot(QPoint(int(hotSpot.x), int(hotSpot.y)));
        if (gDragRunner)
            gDragRunner(drag);
        else
            drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        drag->deleteLater();
    });
}

}  // namespace

void BView::DragMessage(const BMessage* message, BRect dragRect, BHandler*) {
    if (!CanDrag(this, message) || !dragRect.IsValid()) return;
    BPoint pointer;
    GetMouse(&pointer, nullptr);
    StartDrag(this, message, Outline(dragRect), pointer - dragRect.LeftTop());
}

void BView::DragMessage(const BMessage* message, BBitmap* image, BPoint offset, BHandler*) {
    if (image && CanDrag(this, message)) StartDrag(this, message, image->Image().copy(), offset);
    delete image;
}

void BView::SetDragRunner(std::function<void(QDrag*)> runner) {
    gDragRunner = std::move(runner);
}
