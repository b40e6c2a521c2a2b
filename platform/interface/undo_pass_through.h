// A text field undoes its own typing first. With nothing of its own to undo or redo, the undo
// keys pass on to the window's menus and the program's shortcuts, as if the field were not
// there: in a window whose field holds the focus, Ctrl+Z still undoes the last edit.
#pragma once

#include <QObject>
#include <functional>

class UndoPassThrough : public QObject {
  public:
    // Whether the field has something of its own to undo (redo false) or redo (redo true).
    using Available = std::function<bool(bool redo)>;

    // The GUI thread. Watches field for as long as it lives.
    static void Install(QObject* field, Available available);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    UndoPassThrough(QObject* field, Available available);

    Available fAvailable;
};
