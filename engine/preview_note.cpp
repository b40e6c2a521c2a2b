#include "engine/preview_note.h"

#include "platform/kernel/os.h"

PreviewHandOff preview;

namespace {

void Free(PreviewNote* note) {
    while (note != nullptr) {
        PreviewNote* next = note->next;
        delete note->setmodifiers;
        delete note;
        note = next;
    }
}

}  // namespace

void PreviewHandOff::FreeRetired() {
    Free(fRetired.exchange(nullptr));
}

void PreviewHandOff::Request(PreviewNote* note) {
    Free(fRequested.exchange(note));
    fSilenced = false;
    FreeRetired();
}

void PreviewHandOff::Silence() {
    // With Enter marking use before it looks at the flag, one of the two always sees the other.
    fSilenced = true;
    while (fInUse) snooze(200);
    Free(fRequested.exchange(nullptr));
}

void PreviewHandOff::Retire(PreviewNote* note) {
    if (note == nullptr) return;
    note->next = fRetired.load();
    while (!fRetired.compare_exchange_weak(note->next, note)) {
    }
}

PreviewNote* PreviewHandOff::Enter() {
    fInUse = true;
    if (fSilenced) return nullptr;
    if (PreviewNote* fresh = fRequested.exchange(nullptr)) {
        Retire(fPlaying);
        fPlaying = fresh;
    }
    return fPlaying;
}

void PreviewHandOff::Leave() {
    fInUse = false;
}
