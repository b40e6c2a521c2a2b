// Layouts come from resources a user may have built: any bytes must be refused or rebuilt into
// windows and views that can be shown, archived again and closed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/app/gui_thread.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    gui_thread::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BMessage layout;
    if (layout.Unflatten(reinterpret_cast<const char*>(data), ssize_t(size)) != B_OK) return 0;
    BArchivable* object = instantiate_object(&layout);
    BMessage again;
    if (object) object->Archive(&again, true);
    if (auto* window = dynamic_cast<BWindow*>(object)) {
        window->Lock();
        window->UpdateIfNeeded();
        window->Quit();
    } else if (auto* view = dynamic_cast<BView*>(object)) {
        delete view;
    } else {
        delete object;
    }
    gui_thread::ProcessEvents();
    return 0;
}
