#include "engine/show_error.h"

#include <algorithm>
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
    if (!waiting->empty()) presenter.load()(Combined(*waiting).c_str());
    delete waiting;
}

std::string DeferredErrors::Combined(const std::vector<std::string>& texts) {
    std::vector<std::string> distinct;
    for (const std::string& text : texts) {
        if (std::find(distinct.begin(), distinct.end(), text) == distinct.end()) {
            distinct.push_back(text);
        }
    }
    std::string shown;
    for (size_t i = 0; i < distinct.size() && i < kTextsShown; i++) {
        shown += (i > 0 ? "\n\n" : "") + distinct[i];
    }
    if (distinct.size() > kTextsShown) {
        shown += "\n\n... and " + std::to_string(distinct.size() - kTextsShown) + " more.";
    }
    return shown;
}
