#include "tests/interface/menu_pick.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "platform/interface/menu.h"

void PickWhenOpen(const QString& label) {
    QTimer::singleShot(10, [label] {
        QMenu* open = BMenu::OpenQMenu();
        if (!open) return PickWhenOpen(label);
        for (QAction* action : open->actions())
            if (action->text() == label) return action->trigger();
        ADD_FAILURE() << "no item " << label.toStdString();
        open->close();
    });
}
