// The second pass of a render: the song played with its sound, mixed and written out.
#pragma once

#include <string>
#include <vector>

#include "engine/midi_capture.h"
#include "engine/player.h"
#include "tools/render/render_plan.h"
#include "tools/render/stem_set.h"
#include "tools/render/wav_file.h"

struct ExportOptions {
    std::string output;  // the WAV file, empty for none
    std::string stems;   // empty for none
    std::string midi;    // the MIDI file of what the MIDI instruments send, empty for none
    bool floatSamples = false;
    float volume = 1.0f;
    bool progress = true;
};

class SongExport {
  public:
    // The renderer's thread, with the song loaded fresh and stopped. False with *error set.
    bool Run(const RenderPlan& plan, const ExportOptions& options, std::string* error);

    int64 Clipped() const { return fMix.Clipped(); }
    // Samples of the mix that were not finite, in the song's part or the file's.
    int64 NonFinite() const;
    const std::vector<std::string>& Stems() const { return fKept; }

  private:
    static void SeeStep(void* self, const PlayedStep& step);
    bool Play(const RenderPlan& plan, const ExportOptions& options, std::string* error);
    bool WriteChunk(int32 frames, float volume, std::string* error);
    bool WriteMidi(const std::string& path, std::string* error) const;

    WavFile fMix;
    bool fWithMix = false;
    MidiCapture fCapture;
    bool fWithMidi = false;
    int64 fSilencedBefore = 0;  // what the sound output had silenced when the render began
    StemSet fStemSet;
    bool fWithStems = false;
    std::vector<std::string> fKept;
    std::vector<float> fSong[2];
    std::vector<float> fSynth[2];
};
