#include "engine/shared_object_be.h"

#include "engine/diagnostics.h"
#include "engine/roster.h"
#include "platform/kernel/image.h"

SharedObjectBe::SharedObjectBe(const char* libraryPath) {
    path = libraryPath;
    std::string file = path.starts_with('/') ? path : std::string(kAddOnFolder) + "/" + path;
    image_id id = load_add_on(file.c_str());
    if (id <= 0) {
        Diagnostic("load_add_on error\n");
        Diagnostic("%s: %s\n", file.c_str(), add_on_error());
        id = 0;
    }
    handle = image = id;
}

SharedObjectBe::~SharedObjectBe() {
    if (image != 0) unload_add_on(image);
}

bool SharedObjectBe::GetObject(const char* symbol, void** out) {
    if (image == 0 || out == nullptr) return false;
    void* found = nullptr;
    if (get_image_symbol(image, symbol, B_SYMBOL_TYPE_TEXT, &found) == B_OK) *out = found;
    return *out != nullptr;
}

SharedObject* CreateSharedObject(const char* path, bool suffix) {
    std::string file = suffix ? std::string(path) + ".so" : std::string(path);
    return new SharedObjectBe(file.c_str());
}
