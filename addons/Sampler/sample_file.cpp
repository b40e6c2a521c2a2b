#include "addons/Sampler/sample_file.h"

#include <sndfile.h>

#include <algorithm>
#include <vector>

namespace {

struct Closer {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

std::string Refusal(const char* path, const std::string& why) {
    return std::string("The sample file \"") + path + "\" cannot be loaded: " + why + ".";
}

std::string Fault(const SF_INFO& info) {
    if (info.channels < 1 || info.channels > 2)
        return "it has " + std::to_string(info.channels) + " channels, not one or two";
    if (info.samplerate < SampleData::kMinRate || info.samplerate > SampleData::kMaxRate)
        return "its rate of " + std::to_string(info.samplerate) + " Hz is out of range";
    if (info.frames < 1 || info.frames > SampleData::kMaxFrames)
        return "it holds " + std::to_string(info.frames) + " frames";
    return {};
}

// The chunk's values, held to the sample; a loop must hold at least one frame.
void ReadChunks(SNDFILE* file, int32 frames, SampleFile* out) {
    SF_INSTRUMENT chunk{};
    if (sf_command(file, SFC_GET_INSTRUMENT, &chunk, sizeof chunk) != SF_TRUE) return;
    out->root = std::clamp<int32>(chunk.basenote, 0, 127);
    if (chunk.loop_count < 1 || chunk.loops[0].mode == SF_LOOP_NONE) return;
    const auto start = int32(std::min<unsigned>(chunk.loops[0].start, unsigned(frames - 1)));
    const auto end = int32(std::min<unsigned>(chunk.loops[0].end, unsigned(frames)));
    if (end > start) {
        out->loop_start = start;
        out->loop_end = end;
    }
}

}  // namespace

SampleFile ReadSampleFile(const char* path) {
    SampleFile out;
    SF_INFO info{};
    std::unique_ptr<SNDFILE, Closer> file(sf_open(path, SFM_READ, &info));
    if (file == nullptr) {
        out.error = Refusal(path, sf_strerror(nullptr));
        return out;
    }
    if (std::string fault = Fault(info); !fault.empty()) {
        out.error = Refusal(path, fault);
        return out;
    }
    std::vector<float> frames(size_t(info.frames) * size_t(info.channels));
    const sf_count_t read = sf_readf_float(file.get(), frames.data(), info.frames);
    if (read != info.frames) {
        out.error = Refusal(path, "it ends after " + std::to_string(read) + " of " +
                                      std::to_string(info.frames) + " frames");
        return out;
    }
    if (std::string fault = SampleData::LevelFault(frames); !fault.empty()) {
        out.error = Refusal(path, "it holds " + fault);
        return out;
    }
    ReadChunks(file.get(), int32(info.frames), &out);
    out.data = std::make_unique<SampleData>(info.channels, info.samplerate, std::move(frames));
    return out;
}
