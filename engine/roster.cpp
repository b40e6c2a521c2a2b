#include "engine/roster.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "engine/addon_entry.h"
#include "engine/diagnostics.h"
#include "engine/show_error.h"
#include "platform/storage/directory.h"
#include "platform/storage/entry.h"

namespace {

// Objects made by an add-on keep using its code after any roster lets go of it (a new Scan, a
// roster of its own that ends), so every library loaded stays loaded and listed here.
std::vector<SharedObject*>& LoadedLibraries() {
    static auto* loaded = new std::vector<SharedObject*>;
    return *loaded;
}

}  // namespace

Roster::Roster() = default;

Roster::~Roster() = default;

void Roster::Scan(const char* kind) {
    std::fill(objects, objects + kMaxEntries, nullptr);
    count = 0;
    std::string folder = std::string(kAddOnFolder) + "/" + kind + "/";
    BDirectory directory(folder.c_str());
    if (directory.InitCheck() != B_OK) {
        ShowError("Can't scan the directory: %s", folder.c_str());
        return;
    }
    Diagnostic("Scanning %s...\n", kind);
    BEntry entry;
    std::string name;
    while (count < kMaxEntries && directory.GetNextEntry(&entry) == B_OK) {
        entry.GetName(&name);
        if (name.size() >= kNameSize) {
            Diagnostic("Skipping %s: the name is too long\n", name.c_str());
            continue;
        }
        paths[count] = std::string(kind) + "/" + name;
        names[count] = name;
        Diagnostic("%s,", name.c_str());
        count++;
    }
    Diagnostic("\n...%d found\n", int(count));
}

int Roster::Find(const char* name) const {
    if (name == nullptr) return -1;
    for (int32 i = 0; i < count; i++) {
        if (names[i] == name) return i;
    }
    return -1;
}

const char* Roster::GetName(int index) const {
    return index >= 0 && index < count ? names[index].c_str() : nullptr;
}

void Roster::Load(int index) {
    if (index < 0 || index >= count || objects[index] != nullptr) return;
    objects[index] = CreateSharedObject(paths[index].c_str(), false);
    LoadedLibraries().push_back(objects[index]);
}

void* Roster::Symbol(int index, const char* symbol) {
    Load(index);
    if (index < 0 || index >= count) return nullptr;
    void* found = nullptr;
    objects[index]->GetObject(symbol, &found);
    return found;
}

BMessage* Roster::GetInfo(int index) {
    auto getInfo = reinterpret_cast<GetInfoFunc>(Symbol(index, "GetInfo"));
    return getInfo != nullptr ? getInfo() : nullptr;
}

Addon* Roster::Create(const char* name) {
    Diagnostic("Creating: %s\n", name != nullptr ? name : "");
    int index = Find(name);
    auto create = reinterpret_cast<CreateAddonFunc>(Symbol(index, "CreateAddon"));
    if (create == nullptr) return nullptr;
    Addon* made = create(objects[index]->handle);
    if (made != nullptr) made->addon_name = name;
    return made;
}
