// The add-ons of one kind: listed at start-up, each library loaded on first use.
#pragma once

#include <string>

#include "engine/addon.h"
#include "engine/shared_object.h"
#include "message/message.h"

// Beside the program; the program makes its own folder the working directory.
constexpr const char* kAddOnFolder = "./add-ons";

// Filled on the application thread before any window exists, then read from window threads.
class Roster {
  public:
    static constexpr int32 kMaxEntries = 200;
    static constexpr size_t kNameSize = 150;

    Roster();
    // Libraries stay loaded until the program ends.
    virtual ~Roster();
    // A new object of the named add-on, or null when it is unknown or cannot be made.
    virtual Addon* Create(const char* name);

    // Lists kAddOnFolder/kind/ in the file system's order.
    void Scan(const char* kind);
    // Exact, case-sensitive; -1 when absent.
    int Find(const char* name) const;
    const char* GetName(int index) const;
    void Load(int index);
    // The add-on's own description, or null when it cannot be had.
    BMessage* GetInfo(int index);

    SharedObject* objects[kMaxEntries] = {};
    std::string paths[kMaxEntries];
    std::string names[kMaxEntries];
    int32 count = 0;

  private:
    void* Symbol(int index, const char* symbol);
};
