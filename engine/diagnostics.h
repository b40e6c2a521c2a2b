// Diagnostic lines for developers: printed on standard output only when VELLORAN_VERBOSE is set.
#pragma once

// Any thread but the sound thread.
void Diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));
