// Base of instrument add-ons: turns notes into sound or messages.
#pragma once

#include <string>

#include "engine/addon.h"
#include "engine/modifiers.h"
#include "engine/note_info.h"
#include "message/message.h"

class Instrument : public Addon {
  public:
    Instrument();
    ~Instrument() override = default;

    // Any thread. Owned by the instrument and valid as long as it; null without modifiers.
    virtual ModifierInfoList* GetModifierInfoList();
    // Window thread.
    virtual void ShowWindow();
    // Player thread inside a step, or the sound thread for the preview. Adds frames of the
    // note to what the buffers hold.
    virtual void Process(float* left, float* right, long frames, NoteInfo* note);
    // Window thread or the song loader.
    virtual void Open(BMessage* msg);
    virtual void Save(BMessage* msg);

    const char* GetName() const { return name.c_str(); }
    void SetName(const char* text) { name = text != nullptr ? text : ""; }
    // Window or MIDI input thread. Sounds the note on this instrument's song slot, if it has one.
    void PreviewPlayNote(int note);

    std::string name = "<unnamed>";
};
