#include "engine/show_error.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintError(const char* text) {
    std::fprintf(stderr, "Error: %s\n", text);
}

std::atomic<ErrorPresenter> presenter{PrintError};

thread_local std::vector<std::string>* deferred = nullptr;

}  // namespace

void ShowError(const char* format, ...) {
    char text[1000];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (deferred != nullptr) {
        deferred->push_back(text);
    } else {
        presenter.load()(text);
    }
}

ErrorPresenter SetErrorPresenter(ErrorPresenter replacement) {
    return presenter.exchange(replacement != nullptr ? replacement : PrintError);
}

bool ErrorsGoToWindows() {
    return presenter.load() != PrintError;
}

DeferredErrors::DeferredErrors() : fOuter(deferred == nullptr) {
    if (fOuter) deferred = new std::vector<std::string>;
}

DeferredErrors::~DeferredErrors() {
    if (!fOuter) return;
    std::vector<std::string>* waiting = deferred;
    deferred = nullptr;
    for (const std::string& text : *waiting) presenter.load()(text.c_str());
    delete waiting;
}
