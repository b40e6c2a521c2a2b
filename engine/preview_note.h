// The note the preview plays while the song is stopped, handed from the threads that ask for
// it to the sound thread without a lock.
#pragma once

#include <atomic>

#include "engine/modifiers.h"
#include "engine/note_info.h"

struct PreviewNote {
    NoteInfo setnote;
    int32 setnoteinstr = 0;
    Modifiers* setmodifiers = nullptr;
    PreviewNote* next = nullptr;  // in the list of retired notes
};

class PreviewHandOff {
  public:
    // Window or MIDI input thread. Replaces the preview; notes the sound thread gave back are
    // freed here, never on the sound thread.
    void Request(PreviewNote* note);
    // Window thread. Silences the preview until the next Request and returns once the sound
    // thread no longer plays through any instrument, so instruments may then be deleted.
    void Silence();

    // Sound thread, in pairs. The note to play now or null; never locks or frees.
    PreviewNote* Enter();
    void Leave();

  private:
    void Retire(PreviewNote* note);
    void FreeRetired();

    std::atomic<PreviewNote*> fRequested{nullptr};
    std::atomic<bool> fSilenced{false};
    std::atomic<bool> fInUse{false};
    PreviewNote* fPlaying = nullptr;  // sound thread only
    std::atomic<PreviewNote*> fRetired{nullptr};
};

extern PreviewHandOff preview;
