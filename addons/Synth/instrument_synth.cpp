#include "addons/Synth/instrument_synth.h"

#include <atomic>

#include "addons/Synth/instrument_synth_window.h"
#include "engine/finite_values.h"
#include "engine/notes.h"
#include "engine/show_error.h"
#include "engine/song.h"

namespace {

ModifierInfo minfo[] = {
    {"Velocity", 0.0f, 1.0f, 0.8f},
    {"Cutoff", -4.0f, 4.0f, 0.0f},  // octaves from the patch's
    {"Resonance", -1.0f, 1.0f, 0.0f},
    {"Pan", -1.0f, 1.0f, 0.0f},
};
ModifierInfoList minfolist = {InstrumentSynth::kModifiers, minfo};

constexpr float kReferencePitch = 440.0f;

// The add-on's one window, shared by every Synth instrument; made on the first ShowWindow and
// kept as long as the add-on image.
std::atomic<InstrumentSynthWindow*> window{nullptr};

// A window thread may write any value into a row: held to the modifier's range here.
float ValueOf(const NoteInfo& note, int index) {
    const ModifierInfo& info = minfo[index];
    if (note.modifiers == nullptr) return info.def;
    return FiniteIn(note.modifiers->GetVal(index), info.min, info.max, info.def);
}

}  // namespace

InstrumentSynth::InstrumentSynth() {
    SetName("Synth");
    // Builds the tables now, never on the player thread.
    SynthWaveBank::Get();
}

InstrumentSynth::~InstrumentSynth() {
    if (InstrumentSynthWindow* shown = window.load()) shown->Forget(this);
}

ModifierInfoList* InstrumentSynth::GetModifierInfoList() {
    return &minfolist;
}

void InstrumentSynth::Reopened() {
    if (InstrumentSynthWindow* shown = window.load()) shown->Refresh(this);
}

void InstrumentSynth::ShowWindow() {
    InstrumentSynthWindow* shown = window.load();
    if (shown == nullptr) {
        shown = CreateSynthWindow(this);
        if (shown == nullptr) {
            ShowError("The Synth instrument's window is missing from its add-on file.");
            return;
        }
        window = shown;
    }
    shown->Edit(this);
}

InstrumentSynth::Slot& InstrumentSynth::SlotFor(const NoteInfo* note) {
    Slot* oldest = &fSlots[0];
    for (Slot& slot : fSlots) {
        if (slot.owner == note) return slot;
        if (slot.lastUse < oldest->lastUse) oldest = &slot;
    }
    *oldest = Slot();
    oldest->owner = note;
    return *oldest;
}

void InstrumentSynth::StartNote(Slot* slot, const NoteInfo& note) {
    if (slot->current.Sounding()) {
        slot->fading = slot->current;
        slot->fading.FadeOut();
    }
    const SynthVoice::Note start = {kReferencePitch * NoteToPitch(note.note),
                                    ValueOf(note, kVelocity), ValueOf(note, kCutoff),
                                    ValueOf(note, kResonance), ValueOf(note, kPan)};
    slot->current.Start(start, fPatch, note.time);
}

void InstrumentSynth::Process(float* left, float* right, long frames, NoteInfo* note) {
    if (frames <= 0) return;
    Slot& slot = SlotFor(note);
    // A slot just taken may meet its note midway, when every voice was in use before.
    const bool taken = slot.lastUse == 0;
    slot.lastUse = ++fCalls;
    if (note->time == 0.0f || taken) StartNote(&slot, *note);
    slot.fading.Render(left, right, frames, fPatch);
    slot.current.SetTime(note->time);
    slot.current.Render(left, right, frames, fPatch);
}

void InstrumentSynth::SetPatch(const SynthPatch& wanted) {
    // Without a song there is no step to keep out.
    if (lock != nullptr) lock->Lock();
    fPatch.CopyFrom(wanted);
    if (lock != nullptr) lock->Unlock();
}

void InstrumentSynth::Open(BMessage* msg) {
    SynthPatch read;
    read.CopyFrom(fPatch);
    read.Open(msg);
    SetPatch(read);
    Instrument::Open(msg);
}

void InstrumentSynth::Save(BMessage* msg) {
    fPatch.Save(msg);
    Instrument::Save(msg);
}
