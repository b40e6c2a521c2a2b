// The Qt widget of a window: shows the window's image, hosts the native controls' widgets
// and turns the display's events into the window's input.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "message/geometry.h"

class BMessage;
class BWindow;
class QMimeData;
class QTimer;

// The GUI thread.
class WindowCanvas : public QWidget {
  public:
    WindowCanvas(BWindow* window, int32_t token);
    ~WindowCanvas() override;
    // Repaint part of the window's image (window coordinates); any thread.
    void ShowArea(BRect rect);
    void SetPulseRate(int64_t microseconds);
    void Detach() { fWindow = nullptr; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

  private:
    // The local files of a drop as a B_SIMPLE_DATA message of "refs"; empty when none.
    static BMessage FileRefs(const QMimeData* offered);
    // Runs work under the window's lock, now or soon if another thread holds it.
    void Locked(std::function<void(BWindow*)> work);
    void ReportFrame();
    // The bytes KeyDown and KeyUp get; empty for keys that have none (modifiers alone).
    static std::string KeyBytes(const QKeyEvent* event);

    BWindow* fWindow;
    int32_t fToken;
    QTimer* fPulse;
    // Auto-repeats of the key held now, 0 for its first press.
    int32_t fRepeats = 0;
    // Wheel movement below one notch (high-resolution wheels and touchpads), in eighths of a
    // degree as Qt reports it.
    QPoint fWheelRest;
};

// The MIME type dragged messages travel under, as flattened bytes.
extern const char* const kMessageMimeType;
