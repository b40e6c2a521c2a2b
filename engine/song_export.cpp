#include "engine/song_export.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "engine/midi_connections.h"
#include "engine/offline_render.h"
#include "engine/song.h"
#include "platform/media/sound_output.h"

namespace {

constexpr int32 kChunk = 8192;

}  // namespace

bool SongExport::Run(const RenderPlan& plan, const ExportOptions& options, std::string* error,
                     const ExportProgress& progress) {
    fWithMix = !options.output.empty();
    if (fWithMix && !fMix.Create(options.output, options.floatSamples, error)) return false;
    fWithMidi = !options.midi.empty();
    fSilencedBefore = SoundOutput::Default().SilencedSamples();
    fWithStems = !options.stems.empty();
    if (fWithStems && !fStemSet.Create(options.stems, options.floatSamples, plan.Frames(), error)) {
        return false;
    }
    if (fWithMidi) {
        fCapture.Begin(song->main_tempo);
        SetMidiCapture(&fCapture);
    }
    const bool played = Play(plan, options, error, progress);
    SetMidiCapture(nullptr);
    if (!played) return false;
    if (fWithStems && !fStemSet.Commit(&fKept, error)) return false;
    if (fWithMidi && !WriteMidi(options.midi, error)) return false;
    return !fWithMix || fMix.Commit(error);
}

// Written beside its place and moved there whole, so a failed write leaves no part of a file.
bool SongExport::WriteMidi(const std::string& path, std::string* error) const {
    const std::vector<uint8_t> bytes = fCapture.FileBytes(song->title);
    const std::string part = path + ".part";
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out || std::rename(part.c_str(), path.c_str()) != 0) {
        *error = "Can't write " + path + ": " + std::strerror(errno);
        std::remove(part.c_str());
        return false;
    }
    return true;
}

int64 SongExport::NonFinite() const {
    return fMix.NonFinite() + SoundOutput::Default().SilencedSamples() - fSilencedBefore;
}

void SongExport::SeeStep(void* self, const PlayedStep& step) {
    auto* job = static_cast<SongExport*>(self);
    if (job->fWithStems) job->fStemSet.Step(step);
    if (job->fWithMidi) job->fCapture.Step(uint32(FILLBUFFER_TIME.load()), song->tempo);
}

bool SongExport::Play(const RenderPlan& plan, const ExportOptions& options, std::string* error,
                      const ExportProgress& progress) {
    for (int c = 0; c < 2; c++) {
        fSong[c].assign(kChunk, 0.0f);
        fSynth[c].assign(kChunk, 0.0f);
    }
    SetPlayerVolume(options.volume);
    const std::vector<int64>& measures = plan.MeasureStarts();
    OfflineRender render(true, SeeStep, this);
    while (render.Frames() < plan.Frames()) {
        const auto frames = int32(std::min<int64>(kChunk, plan.Frames() - render.Frames()));
        render.Render(fSong[0].data(), fSong[1].data(), fSynth[0].data(), fSynth[1].data(), frames);
        if (!WriteChunk(frames, options.volume, error)) return false;
        const auto done = std::upper_bound(measures.begin(), measures.end(), render.Frames());
        if (progress && !progress(int32(done - measures.begin()), render.Frames())) {
            *error = kCancelled;
            return false;
        }
    }
    return true;
}

// The player's volume is already in the song's part; the synthesizers play beside it.
bool SongExport::WriteChunk(int32 frames, float volume, std::string* error) {
    if (fWithStems && !fStemSet.WriteSynth(fSynth[0].data(), fSynth[1].data(), frames, error)) {
        return false;
    }
    for (int c = 0; c < 2; c++) {
        for (int32 f = 0; f < frames; f++) fSong[c][size_t(f)] += volume * fSynth[c][size_t(f)];
    }
    return !fWithMix || fMix.Write(fSong[0].data(), fSong[1].data(), frames, error);
}
