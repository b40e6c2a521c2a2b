// Unflattens arbitrary bytes; whatever is accepted must flatten and read back unchanged.
#include <cstdlib>
#include <vector>

#include "message/message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BMessage message;
    if (message.Unflatten(reinterpret_cast<const char*>(data), ssize_t(size)) != B_OK) {
        if (!message.IsEmpty()) std::abort();
        return 0;
    }
    std::vector<char> bytes(size_t(message.FlattenedSize()));
    if (message.Flatten(bytes.data(), ssize_t(bytes.size())) != B_OK) std::abort();
    BMessage again;
    if (again.Unflatten(bytes.data(), ssize_t(bytes.size())) != B_OK) std::abort();
    if (!(again == message)) std::abort();
    return 0;
}
