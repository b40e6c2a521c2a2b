#include "addons/Repeat/controller_repeat.h"

#include <climits>

#include "addons/common/controller_window.h"
#include "addons/common/saved_field.h"
#include "engine/song.h"
#include "platform/interface/view.h"

namespace {

const ControllerField kTimes = {"Repeat", "Times:", 0, INT32_MAX, [](Machine* m) {
                                    return &static_cast<ControllerRepeat*>(m)->reptimes;
                                }};

// The add-on's one window, shared by every repeat machine.
ControllerWindow* window = nullptr;

}  // namespace

ControllerRepeat::ControllerRepeat() {
    SetName("Repeat");
}

ControllerRepeat::~ControllerRepeat() {
    if (window != nullptr) window->Forget(this);
    delete view;
}

void ControllerRepeat::Reopened() {
    if (window != nullptr) window->Refresh(this);
}

void ControllerRepeat::ShowWindow() {
    if (window == nullptr) window = new ControllerWindow(kTimes);
    window->Update(this);
}

void ControllerRepeat::Process() {
    const int32 next = song->next_position;
    if (next < rep1) count = 0;
    if (next != rep2) return;
    if (count < int64(reptimes) - 1) {
        song->next_position = rep1;
        count++;
    } else {
        count = 0;
    }
}

void ControllerRepeat::Save(BMessage* msg) {
    msg->AddInt32("rep1", rep1);
    msg->AddInt32("rep2", rep2);
    msg->AddInt32("reptimes", reptimes);
    Machine::Save(msg);
}

void ControllerRepeat::Open(BMessage* msg) {
    FindInto(msg, "rep1", &rep1, 0, Song::kLastPosition);
    FindInto(msg, "rep2", &rep2, 0, Song::kLastPosition);
    FindInto(msg, "reptimes", &reptimes);
    // Opened afresh, the span has not been played yet.
    count = 0;
    Machine::Open(msg);
}
