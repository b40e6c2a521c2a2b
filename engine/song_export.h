// The second pass of a render: the song played with its sound, mixed and written out.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/midi_capture.h"
#include "engine/player.h"
#include "engine/render_plan.h"
#include "engine/stem_set.h"
#include "engine/wav_file.h"

struct ExportOptions {
    std::string output;  // the WAV file, empty for none
    std::string stems;   // empty for none
    std::string midi;    // the MIDI file of what the MIDI instruments send, empty for none
    bool floatSamples = false;
    float volume = 1.0f;
};

// The renderer's thread, after each piece rendered: the measures played so far and the frames
// rendered. False stops the export, which then writes nothing.
using ExportProgress = std::function<bool(int32 measures, int64 frames)>;

class SongExport {
  public:
    // Said by Run when the progress hook stopped it.
    static constexpr const char* kCancelled = "The export was cancelled.";

    // The renderer's thread, with the song loaded fresh and stopped. False with *error set,
    // and no file written.
    bool Run(const RenderPlan& plan, const ExportOptions& options, std::string* error,
             const ExportProgress& progress = nullptr);

    int64 Clipped() const { return fMix.Clipped(); }
    // Samples of the mix that were not finite, in the song's part or the file's.
    int64 NonFinite() const;
    const std::vector<std::string>& Stems() const { return fKept; }

  private:
    static void SeeStep(void* self, const PlayedStep& step);
    bool Play(const RenderPlan& plan, const ExportOptions& options, std::string* error,
              const ExportProgress& progress);
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
