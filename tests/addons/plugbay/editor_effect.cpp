// A test plug-in with an editor of its own: an Xlib window made in the host's window at the
// plug-in's size and filled with one colour. Every instance shares one record.
#include <X11/Xlib.h>

#include <algorithm>

#include "tests/addons/plugbay/editor_effect.h"

#define EDITOR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

EditorState state;
AEffect record;
Display* display = nullptr;

const char* Name(int32_t opcode) {
    switch (opcode) {
        case kEffectOpen:
            return "Open";
        case kEffectClose:
            return "Close";
        case kEffectMainsChanged:
            return "MainsChanged";
        case kEffectEditGetRect:
            return "EditGetRect";
        case kEffectEditOpen:
            return "EditOpen";
        case kEffectEditClose:
            return "EditClose";
        default:
            return nullptr;
    }
}

void Fill() {
    GC gc = XCreateGC(display, state.child, 0, nullptr);
    XSetForeground(display, gc, kEditorColour);
    XFillRectangle(display, state.child, gc, 0, 0, 4096, 4096);
    XFreeGC(display, gc);
    XFlush(display);
}

// At the rectangle's size, kept above zero since the rectangle may be hostile.
void OpenEditor(void* parent) {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    state.parent = reinterpret_cast<uintptr_t>(parent);
    const unsigned width = unsigned(std::max(1, state.rect.right - state.rect.left));
    const unsigned height = unsigned(std::max(1, state.rect.bottom - state.rect.top));
    state.child =
        XCreateSimpleWindow(display, state.parent, 0, 0, width, height, 0, 0, kEditorColour);
    XMapWindow(display, state.child);
    Fill();
    XSync(display, False);
}

void CloseEditor() {
    if (display == nullptr) return;
    XDestroyWindow(display, state.child);
    XCloseDisplay(display);
    display = nullptr;
    state.child = 0;
}

void Record(int32_t opcode, intptr_t value) {
    const char* name = Name(opcode);
    if (name == nullptr) return;
    state.calls.push_back(name);
    if (opcode == kEffectMainsChanged) state.calls.back().append(value != 0 ? " 1" : " 0");
}

intptr_t Dispatch(AEffect*, int32_t opcode, int32_t, intptr_t value, void* ptr, float) {
    Record(opcode, value);
    if (opcode == kEffectEditGetRect && state.answerRect) *static_cast<ERect**>(ptr) = &state.rect;
    if (opcode == kEffectEditOpen) OpenEditor(ptr);
    if (opcode == kEffectEditClose) CloseEditor();
    if (opcode == kEffectEditIdle && display != nullptr) {
        state.idles++;
        Fill();
    }
    return 0;
}

void Process(AEffect*, float**, float**, int32_t) {}

}  // namespace

EDITOR_EXPORT EditorState* EditorSession() {
    return &state;
}

EDITOR_EXPORT AEffect* main_plugin(AEffectHostCallback) {
    record = AEffect{};
    record.magic = AEFFECT_MAGIC;
    record.dispatcher = Dispatch;
    record.process = Process;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = kEffectFlagsHasEditor;
    return &record;
}
