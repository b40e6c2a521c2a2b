#include "addons/common/display_text.h"

#include <cstring>

namespace {

// Length of the UTF-8 sequence at text, or 0 when it is none.
size_t SequenceLength(const unsigned char* text) {
    const unsigned char lead = text[0];
    size_t length = lead < 0x80                   ? 1
                    : lead >= 0xc2 && lead < 0xe0 ? 2
                    : lead >= 0xe0 && lead < 0xf0 ? 3
                    : lead >= 0xf0 && lead < 0xf5 ? 4
                                                  : 0;
    for (size_t i = 1; i < length; i++) {
        if ((text[i] & 0xc0) != 0x80) return 0;
    }
    // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
    if (length == 3 && ((lead == 0xe0 && text[1] < 0xa0) || (lead == 0xed && text[1] >= 0xa0)))
        return 0;
    if (length == 4 && ((lead == 0xf0 && text[1] < 0x90) || (lead == 0xf4 && text[1] >= 0x90)))
        return 0;
    return length;
}

bool IsUtf8(const unsigned char* text, size_t size) {
    for (size_t at = 0; at < size;) {
        const size_t length = SequenceLength(text + at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace

std::string DisplayText(const char* bytes) {
    const auto* text = reinterpret_cast<const unsigned char*>(bytes);
    const size_t size = std::strlen(bytes);
    if (IsUtf8(text, size)) return std::string(bytes, size);
    std::string shown;
    for (size_t i = 0; i < size; i++) {
        if (text[i] < 0x80) {
            shown += char(text[i]);
        } else {
            shown += char(0xc0 | (text[i] >> 6));
            shown += char(0x80 | (text[i] & 0x3f));
        }
    }
    return shown;
}
