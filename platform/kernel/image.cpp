#include "platform/kernel/image.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

std::mutex gLock;
std::map<image_id, void*> gImages;
image_id gNextId = 1;

thread_local std::string tError;

status_t Fail(status_t status, const char* loaderText = nullptr) {
    tError = loaderText != nullptr ? loaderText : strerror_status(status);
    return status;
}

status_t LoadFailure(const char* path) {
    bool missing = std::strchr(path, '/') != nullptr && access(path, F_OK) != 0;
    return missing ? B_ENTRY_NOT_FOUND : B_ERROR;
}

bool ValidSymbolType(int32 type) {
    return type == B_SYMBOL_TYPE_DATA || type == B_SYMBOL_TYPE_TEXT || type == B_SYMBOL_TYPE_ANY;
}

void* TakeHandle(image_id image) {
    std::lock_guard lock(gLock);
    auto found = gImages.find(image);
    if (found == gImages.end()) return nullptr;
    void* handle = found->second;
    gImages.erase(found);
    return handle;
}

}  // namespace

image_id load_add_on(const char* path) {
    tError.clear();
    // An empty path would give the program itself.
    if (path == nullptr || *path == '\0') return Fail(B_BAD_VALUE);
    // Outside the lock: the add-on's constructors may load add-ons of their own.
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        return Fail(LoadFailure(path), text);
    }
    std::lock_guard lock(gLock);
    image_id image = gNextId++;
    gImages.emplace(image, handle);
    return image;
}

status_t unload_add_on(image_id image) {
    tError.clear();
    void* handle = TakeHandle(image);
    if (handle == nullptr) return Fail(B_BAD_IMAGE_ID);
    if (dlclose(handle) != 0) return Fail(B_ERROR, dlerror());
    return B_OK;
}

status_t get_image_symbol(image_id image, const char* name, int32 symbolType, void** location) {
    tError.clear();
    if (name == nullptr || location == nullptr || !ValidSymbolType(symbolType)) {
        return Fail(B_BAD_VALUE);
    }
    // Held through the look-up so the image cannot be unloaded under it.
    std::lock_guard lock(gLock);
    auto found = gImages.find(image);
    if (found == gImages.end()) return Fail(B_BAD_IMAGE_ID);
    dlerror();
    void* symbol = dlsym(found->second, name);
    if (const char* text = dlerror()) return Fail(B_NAME_NOT_FOUND, text);
    *location = symbol;
    return B_OK;
}

const char* add_on_error() {
    return tError.c_str();
}
