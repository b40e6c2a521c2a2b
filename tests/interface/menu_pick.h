// Menus run in a nested loop on the GUI thread, so tests choose from them with a timer.
#pragma once

#include <QString>

// The GUI thread: once a menu is open, triggers its item with this label (or fails the test
// and closes the menu).
void PickWhenOpen(const QString& label);
