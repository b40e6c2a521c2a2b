#include "addons/Tempo/controller_tempo.h"

#include "addons/common/controller_window.h"
#include "addons/common/saved_field.h"
#include "engine/song.h"
#include "platform/interface/view.h"

namespace {

const ControllerField kTempo = {
    "Tempo", "Tempo:", Song::kMinTempo, Song::kMaxTempo,
    [](Machine* m) { return &static_cast<ControllerTempo*>(m)->tempo; }};

// The add-on's one window, shared by every tempo machine.
ControllerWindow* window = nullptr;

}  // namespace

ControllerTempo::ControllerTempo() {
    SetName("Tempo");
}

ControllerTempo::~ControllerTempo() {
    if (window != nullptr) window->Forget(this);
    delete view;
}

void ControllerTempo::Reopened() {
    if (window != nullptr) window->Refresh(this);
}

void ControllerTempo::ShowWindow() {
    if (window == nullptr) window = new ControllerWindow(kTempo);
    window->Update(this);
}

void ControllerTempo::Process() {
    if (song->next_position == pos) song->next_tempo = tempo;
}

void ControllerTempo::Save(BMessage* msg) {
    msg->AddInt32("pos", pos);
    msg->AddInt32("tempo", tempo);
    Machine::Save(msg);
}

void ControllerTempo::Open(BMessage* msg) {
    FindInto(msg, "pos", &pos, 0, Song::kLastPosition);
    FindInto(msg, "tempo", &tempo, Song::kMinTempo, Song::kMaxTempo);
    Machine::Open(msg);
}
