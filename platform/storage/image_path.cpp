#include "platform/storage/image_path.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <vector>

namespace {

status_t ProgramPath(BPath* path) {
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return B_ENTRY_NOT_FOUND;
    buffer[size_t(length)] = '\0';
    return path->SetTo(buffer.data());
}

}  // namespace

status_t get_image_path(const void* address, BPath* path) {
    Dl_info info;
    link_map* map = nullptr;
    if (path == nullptr) return B_BAD_VALUE;
    if (address == nullptr ||
        dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0) {
        return B_ENTRY_NOT_FOUND;
    }
    // The loader lists the program itself without a name.
    if (map == nullptr || map->l_name == nullptr || map->l_name[0] == '\0') {
        return ProgramPath(path);
    }
    return path->SetTo(map->l_name);
}
