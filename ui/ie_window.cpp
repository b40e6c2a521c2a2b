#include "ui/ie_window.h"

#include <cstdio>
#include <memory>

#include "platform/interface/screen.h"
#include "platform/storage/program_resources.h"

namespace {

constexpr type_code kLayoutType = four_cc("ARCV");

}  // namespace

BMessage* FindWindowResource(const char* name, BResources* resources) {
    if (!resources) resources = program_resources();
    auto* layout = new BMessage;
    size_t size = 0;
    const void* data = name && resources->InitCheck() == B_OK
                           ? resources->LoadResource(kLayoutType, name, &size)
                           : nullptr;
    if (data && layout->Unflatten(static_cast<const char*>(data), ssize_t(size)) == B_OK)
        return layout;
    layout->MakeEmpty();
    char title[1024];
    std::snprintf(title, sizeof title, kMissingLayoutTitle, name ? name : "");
    auto* error = new BWindow(BRect(32, 32, 400, 64), title, B_TITLED_WINDOW, 0);
    error->Archive(layout, true);
    error->Lock();
    error->Quit();
    return layout;
}

IEWindow::IEWindow(const char* name, BResources* resources)
    : IEWindow(std::unique_ptr<BMessage>(FindWindowResource(name, resources)).get(), name) {}

IEWindow::IEWindow(BMessage* layout, const char* name)
    : BWindow(layout), fLayoutName(name ? name : "") {
    Run();
    // The extra keys come from the same layout, wherever it was stored.
    ApplyLayoutKeys(layout);
}

IEWindow::~IEWindow() = default;

void IEWindow::ApplyLayoutKeys(const BMessage* layout) {
    int32 flags = 0;
    if (layout->FindInt32("IEflags", &flags) == B_OK && (flags & 1)) {
        const BRect screen = BScreen().Frame();
        MoveTo(float(int((screen.Width() - Frame().Width()) * 0.5f)),
               float(int((screen.Height() - Frame().Height()) * 0.5f)));
    }
    float minWidth;
    if (layout->FindFloat("minWidth", &minWidth) != B_OK) return;
    float maxWidth, minHeight, maxHeight;
    GetSizeLimits(nullptr, &maxWidth, &minHeight, &maxHeight);
    layout->FindFloat("maxWidth", &maxWidth);
    layout->FindFloat("minHeight", &minHeight);
    layout->FindFloat("maxHeight", &maxHeight);
    SetSizeLimits(minWidth, maxWidth, minHeight, maxHeight);
}

void IEWindow::AddDependantWindow(BWindow* window) {
    if (!window) return;
    Lock();
    fDependants.emplace_back(window);
    Unlock();
}

void IEWindow::Quit() {
    for (const BMessenger& dependant : fDependants) {
        BLooper* looper = nullptr;
        dependant.Target(&looper);
        if (!looper || !dependant.LockTarget()) continue;
        looper->Quit();
    }
    fDependants.clear();
    BWindow::Quit();
}
