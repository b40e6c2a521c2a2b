// A message's flattened bytes, to compare what was saved with what was saved again.
#pragma once

#include <vector>

#include "message/message.h"

inline std::vector<char> FlattenedBytes(const BMessage& message) {
    std::vector<char> bytes(size_t(message.FlattenedSize()));
    message.Flatten(bytes.data(), ssize_t(bytes.size()));
    return bytes;
}
