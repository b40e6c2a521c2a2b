#include "engine/instrument.h"

#include "engine/player.h"
#include "engine/song.h"

Instrument::Instrument() = default;

ModifierInfoList* Instrument::GetModifierInfoList() {
    return nullptr;
}

void Instrument::ShowWindow() {}

void Instrument::Process(float*, float*, long, NoteInfo*) {}

void Instrument::Open(BMessage* msg) {
    msg->FindString("Instrument::name", &name);
}

void Instrument::Save(BMessage* msg) {
    msg->AddString("Instrument::name", name);
}

void Instrument::PreviewPlayNote(int note) {
    if (song == nullptr) return;
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        if (song->instruments[slot] == this) {
            PlaySetNote(slot, note);
            return;
        }
    }
}
