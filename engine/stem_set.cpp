#include "engine/stem_set.h"

#include <algorithm>
#include <cstdio>

#include "engine/song.h"

namespace {

// Machine names are the user's: keep them readable but safe as file names.
std::string FileNameFor(int32 index, const std::string& name) {
    std::string safe;
    for (char c : name) safe += (c == '/' || (unsigned char)c < 0x20) ? '_' : c;
    char prefix[16];
    std::snprintf(prefix, sizeof(prefix), "%02d-", int(index));
    return prefix + (safe.empty() ? std::string("Machine") : safe) + ".wav";
}

}  // namespace

bool StemSet::Create(const std::string& folder, bool floatSamples, int64 frames,
                     std::string* error) {
    fFrames = frames;
    fSilence.assign(Machine::kBufferFrames, 0.0f);
    for (int32 i = 1; i < song->num_machines; i++) {
        const Machine* machine = song->machines[i];
        if (!machine->has_output) continue;
        if (!Add(i, folder + "/" + FileNameFor(i, machine->name), floatSamples, error)) {
            return false;
        }
    }
    return Add(-1, folder + "/synth.wav", floatSamples, error);
}

bool StemSet::Add(int32 machine, const std::string& path, bool floatSamples, std::string* error) {
    auto file = std::make_unique<WavFile>();
    if (!file->Create(path, floatSamples, error)) return false;
    fStems.push_back({machine, path, std::move(file)});
    return true;
}

void StemSet::Step(const PlayedStep& step) {
    const int64 at = step.frame;
    for (Stem& stem : fStems) {
        if (stem.machine < 0 || stem.machine >= song->num_machines) continue;
        const Machine* machine = song->machines[stem.machine];
        // A muted machine, or one that was not pulled this step, put nothing out.
        const int32 frames = machine->processed && !machine->mute ? machine->buffer_length : 0;
        if (!Place(stem, machine->buffer_left, machine->buffer_right, at, frames, step.length)) {
            return;
        }
    }
}

// Steps come in the order they sound, one after the other; after a tempo change a step plays
// longer than it rendered, and the rest is silence, as in the mix.
bool StemSet::Place(Stem& stem, const float* left, const float* right, int64 at, int32 frames,
                    int32 played) {
    WavFile& file = *stem.file;
    if (!Pad(file, std::min(at, fFrames), &fError)) return false;
    const int64 room = std::max<int64>(0, fFrames - file.Frames());
    const auto sounded = int32(std::min<int64>(std::min(frames, played), room));
    if (!file.Write(left, right, sounded, &fError)) return false;
    return Pad(file, std::min(at + played, fFrames), &fError);
}

bool StemSet::Pad(WavFile& file, int64 frames, std::string* error) {
    while (file.Frames() < frames) {
        const auto piece = int32(std::min<int64>(frames - file.Frames(), int64(fSilence.size())));
        if (!file.Write(fSilence.data(), fSilence.data(), piece, error)) return false;
    }
    return true;
}

bool StemSet::WriteSynth(const float* left, const float* right, int32 frames, std::string* error) {
    return fStems.back().file->Write(left, right, frames, error);
}

bool StemSet::Commit(std::vector<std::string>* kept, std::string* error) {
    if (!fError.empty()) {
        *error = fError;
        return false;
    }
    for (Stem& stem : fStems) {
        if (!Pad(*stem.file, fFrames, error)) return false;
        if (!stem.file->Sounded()) {
            stem.file->Discard();
            continue;
        }
        if (!stem.file->Commit(error)) return false;
        kept->push_back(stem.path);
    }
    return true;
}
