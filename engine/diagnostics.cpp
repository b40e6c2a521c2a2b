#include "engine/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

bool Verbose() {
    static const bool verbose = std::getenv("VELLORAN_VERBOSE") != nullptr;
    return verbose;
}

}  // namespace

void Diagnostic(const char* format, ...) {
    if (!Verbose()) return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}
