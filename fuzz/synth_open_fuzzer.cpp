// Opens the Synth instrument from messages whose every value comes from the fuzzer: its own
// keys with any bits, envelopes with any counts and points, or the raw bytes unflattened.
// Whatever it opens must save and open again to the same bytes and play finite sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "addons/Synth/instrument_synth.h"

namespace {

// Any bit pattern, so NaN, infinity and denormals come up as often as the rest.
float AnyFloat(FuzzedDataProvider& in) {
    const auto bits = in.ConsumeIntegral<uint32>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

BMessage Envelope(FuzzedDataProvider& in) {
    BMessage envelope;
    if (in.ConsumeBool()) envelope.AddInt32("KeyVal:active", in.ConsumeIntegral<int32>());
    envelope.AddInt32("KeyVal:num_points", in.ConsumeIntegral<int32>());
    for (int n = in.ConsumeIntegralInRange(0, 70); n > 0; n--) {
        envelope.AddFloat("KeyVal:px", AnyFloat(in));
        envelope.AddFloat("KeyVal:py", AnyFloat(in));
    }
    return envelope;
}

BMessage Settings(FuzzedDataProvider& in) {
    BMessage settings;
    if (in.ConsumeBool()) {
        const std::string bytes = in.ConsumeRemainingBytesAsString();
        settings.Unflatten(bytes.data(), ssize_t(bytes.size()));
        return settings;
    }
    for (const char* osc : {"synth:osc1_", "synth:osc2_"}) {
        settings.AddInt32((std::string(osc) + "wave").c_str(), in.ConsumeIntegral<int32>());
        for (const char* key : {"level", "detune", "width"})
            settings.AddFloat((std::string(osc) + key).c_str(), AnyFloat(in));
    }
    for (const char* key : {"synth:noise", "synth:cutoff", "synth:resonance", "synth:env_amount"})
        settings.AddFloat(key, AnyFloat(in));
    const BMessage amp = Envelope(in), filter = Envelope(in);
    settings.AddMessage("synth:amp_env", &amp);
    settings.AddMessage("synth:filter_env", &filter);
    return settings;
}

std::vector<char> Bytes(InstrumentSynth* synth) {
    BMessage saved;
    synth->Save(&saved);
    std::vector<char> bytes(size_t(saved.FlattenedSize()));
    saved.Flatten(bytes.data(), ssize_t(bytes.size()));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    InstrumentSynth synth;
    BMessage settings = Settings(in);
    synth.Open(&settings);
    const std::vector<char> saved = Bytes(&synth);
    BMessage again;
    again.Unflatten(saved.data(), ssize_t(saved.size()));
    InstrumentSynth copy;
    copy.Open(&again);
    if (Bytes(&copy) != saved) std::abort();

    std::vector<float> left(4096), right(4096);
    NoteInfo note;
    note.note = 60;
    for (long at = 0; at < 4096; at += 512) {
        synth.Process(left.data() + at, right.data() + at, 512, &note);
        note.time += 512.0f;
    }
    for (size_t f = 0; f < left.size(); f++) {
        if (!std::isfinite(left[f]) || !std::isfinite(right[f])) std::abort();
    }
    return 0;
}
