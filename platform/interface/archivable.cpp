#include "platform/interface/archivable.h"

#include <map>
#include <mutex>
#include <string>

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, instantiation_func, std::less<>> functions;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // used by static registrations in any order
    return *registry;
}

}  // namespace

status_t BArchivable::Archive(BMessage*, bool) const {
    return B_OK;
}

status_t archive_class_name(BMessage* archive, const char* name) {
    // The most derived class comes first, so each class inserts its name in front.
    std::string existing;
    BMessage names;
    for (int32 i = 0; archive->FindString("class", i, &existing) == B_OK; ++i)
        names.AddString("class", existing);
    archive->RemoveName("class");
    status_t result = archive->AddString("class", name);
    for (int32 i = 0; names.FindString("class", i, &existing) == B_OK; ++i)
        archive->AddString("class", existing);
    return result;
}

bool validate_instantiation(const BMessage* archive, const char* className) {
    std::string name;
    for (int32 i = 0; archive && archive->FindString("class", i, &name) == B_OK; ++i)
        if (name == className) return true;
    return false;
}

void register_archivable(const char* className, instantiation_func function) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.functions[className] = function;
}

instantiation_func find_instantiation_func(const char* className) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto found = r.functions.find(className);
    return found == r.functions.end() ? nullptr : found->second;
}

BArchivable* instantiate_object(BMessage* archive) {
    std::string name;
    for (int32 i = 0; archive && archive->FindString("class", i, &name) == B_OK; ++i)
        if (instantiation_func function = find_instantiation_func(name.c_str()))
            return function(archive);
    return nullptr;
}
