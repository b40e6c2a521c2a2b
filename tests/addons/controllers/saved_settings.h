// Setting and reading an add-on object's numbers the way song files do, through its own Open
// and Save: the tests never reach into the add-on's classes.
#pragma once

#include <initializer_list>
#include <utility>

#include "message/message.h"

// A machine record needs a position, or opening it connects the machine to the master.
template <typename Object>
void Configure(Object* object, std::initializer_list<std::pair<const char*, int32>> values) {
    BMessage settings;
    settings.AddPoint("Machine::position", BPoint(10, 10));
    for (const auto& [key, value] : values) settings.AddInt32(key, value);
    object->Open(&settings);
}

// -1 for a key the object did not save.
template <typename Object>
int32 Saved(Object* object, const char* key) {
    BMessage saved;
    object->Save(&saved);
    int32 value = -1;
    saved.FindInt32(key, &value);
    return value;
}
