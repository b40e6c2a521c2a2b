// Objects that archive themselves into a message and are rebuilt from one by class name.
#pragma once

#include "message/message.h"

class BArchivable;
using instantiation_func = BArchivable* (*)(BMessage* archive);

class BArchivable {
  public:
    BArchivable() = default;
    explicit BArchivable(BMessage*) {}
    virtual ~BArchivable() = default;

    // Adds the class name as the next "class" item, most derived first; subclasses call
    // their base first and then add their own fields.
    virtual status_t Archive(BMessage* archive, bool deep = true) const;
};

// Any thread. Adds "class" = name; the Archive of each class calls it after its base.
status_t archive_class_name(BMessage* archive, const char* name);
// Any thread. Whether any "class" item of the archive names the class.
bool validate_instantiation(const BMessage* archive, const char* className);
// Any thread. Rebuilds the object from the first "class" item that has a registered
// instantiation function; null when none has one or the function refuses the archive.
BArchivable* instantiate_object(BMessage* archive);
// Any thread. Add-ons register their own classes when they are loaded.
void register_archivable(const char* className, instantiation_func function);
instantiation_func find_instantiation_func(const char* className);

// Registers a class at load time: `REGISTER_ARCHIVABLE(BButton)` in its source file.
#define REGISTER_ARCHIVABLE(Class)                        \
    namespace {                                           \
    const bool Class##_registered = [] {                  \
        register_archivable(#Class, &Class::Instantiate); \
        return true;                                      \
    }();                                                  \
    }
