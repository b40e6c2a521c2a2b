#include "platform/interface/undo_pass_through.h"

#include <QKeyEvent>
#include <QKeySequence>

UndoPassThrough::UndoPassThrough(QObject* field, Available available)
    : QObject(field), fAvailable(std::move(available)) {}

void UndoPassThrough::Install(QObject* field, Available available) {
    field->installEventFilter(new UndoPassThrough(field, std::move(available)));
}

bool UndoPassThrough::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool undo = key->matches(QKeySequence::Undo);
    const bool redo = key->matches(QKeySequence::Redo);
    if ((!undo && !redo) || fAvailable(redo)) return false;
    // Left unaccepted, an override lets the shortcuts have the key, and a key press goes on
    // to the widgets around the field, up to the window's own key handling.
    event->ignore();
    return true;
}
