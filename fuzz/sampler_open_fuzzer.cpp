// Opens the Sampler from records whose every value comes from the fuzzer: sample counts and
// data of any size, NaN and huge frames, loops and envelopes out of range. Each opened
// instrument plays a few notes, which must be finite, and saves to a record that opens to the
// same bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "addons/Sampler/instrument_sampler.h"
#include "engine/show_error.h"

namespace {

// Mostly sane counts, sometimes anything.
int32 AnyCount(FuzzedDataProvider& in, int32 sane) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(0, sane) : in.ConsumeIntegral<int32>();
}

void AddSample(FuzzedDataProvider& in, BMessage* record) {
    record->AddInt32("sample_rate", in.ConsumeBool() ? 44100 : in.ConsumeIntegral<int32>());
    record->AddInt32("sample_channels", AnyCount(in, 3));
    const int32 frames = AnyCount(in, 600);
    record->AddInt32("sample_frames", frames);
    // The size small counts call for, or any other.
    const bool fits = frames >= 0 && frames <= 600 && in.ConsumeBool();
    const size_t floats = fits ? size_t(frames) * 2 : in.ConsumeIntegralInRange<size_t>(0, 1300);
    std::vector<float> data(floats);
    for (float& value : data) {
        const auto bits = in.ConsumeIntegral<uint32>();
        std::memcpy(&value, &bits, sizeof value);
    }
    if (in.ConsumeBool()) {
        record->AddData("sample_data", B_FLOAT_TYPE, data.data(),
                        ssize_t(data.size() * sizeof(float)));
    }
}

BMessage Record(FuzzedDataProvider& in) {
    BMessage record;
    if (in.ConsumeBool()) AddSample(in, &record);
    for (const char* key : {"root", "loop_start", "loop_end"}) {
        if (in.ConsumeBool()) record.AddInt32(key, in.ConsumeIntegral<int32>());
    }
    BMessage envelope;
    envelope.AddInt32("KeyVal:active", 1);
    envelope.AddInt32("KeyVal:num_points", in.ConsumeIntegral<int32>());
    for (int p = in.ConsumeIntegralInRange(0, 8); p > 0; p--) {
        envelope.AddFloat("KeyVal:px", in.ConsumeFloatingPoint<float>());
        envelope.AddFloat("KeyVal:py", in.ConsumeFloatingPoint<float>());
    }
    record.AddMessage("envelope", &envelope);
    return record;
}

std::vector<char> Bytes(const BMessage& message) {
    std::vector<char> bytes(size_t(message.FlattenedSize()));
    message.Flatten(bytes.data(), ssize_t(bytes.size()));
    return bytes;
}

void PlayAndCheck(InstrumentSampler* sampler, FuzzedDataProvider& in) {
    static float left[256], right[256];
    NoteInfo note;
    for (int n = 0; n < 3; n++) {
        note.note = in.ConsumeIntegral<int32>() % 200;
        note.time = 0;
        for (int block = 0; block < 4; block++) {
            sampler->Process(left, right, 256, &note);
            note.time += 256;
        }
    }
    for (int f = 0; f < 256; f++) {
        if (!std::isfinite(left[f]) || !std::isfinite(right[f])) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetErrorPresenter([](const char*) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    InstrumentSampler sampler;
    BMessage record = Record(in);
    sampler.Open(&record);
    PlayAndCheck(&sampler, in);
    BMessage saved;
    sampler.Save(&saved);
    InstrumentSampler copy;
    copy.Open(&saved);
    BMessage again;
    copy.Save(&again);
    if (Bytes(again) != Bytes(saved)) std::abort();
    return 0;
}
