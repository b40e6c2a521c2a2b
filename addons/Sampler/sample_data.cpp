#include "addons/Sampler/sample_data.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace {

constexpr const char* kRate = "sample_rate";
constexpr const char* kChannels = "sample_channels";
constexpr const char* kFrames = "sample_frames";
constexpr const char* kData = "sample_data";

std::atomic<uint64_t> next_serial{1};

float Flushed(float value) {
    return std::abs(value) < 1e-30f ? 0.0f : value;
}

bool InRange(int32 value, int32 lo, int32 hi) {
    return value >= lo && value <= hi;
}

// The first fault of the counts, or empty.
std::string CountFault(int32 channels, int32 rate, int32 frames) {
    if (!InRange(channels, 1, 2)) return "channels " + std::to_string(channels);
    if (!InRange(rate, SampleData::kMinRate, SampleData::kMaxRate))
        return "rate " + std::to_string(rate);
    if (!InRange(frames, 1, SampleData::kMaxFrames)) return "frames " + std::to_string(frames);
    return {};
}

}  // namespace

SampleData::SampleData(int32 channels, int32 rate, std::vector<float> interleaved)
    : fChannels(channels),
      fRate(rate),
      fFrames(int32(interleaved.size() / size_t(channels))),
      fSerial(next_serial++) {
    for (int32 c = 0; c < channels; c++) {
        fData[c].resize(size_t(fFrames));
        for (int32 f = 0; f < fFrames; f++)
            fData[c][size_t(f)] = Flushed(interleaved[size_t(f * channels + c)]);
    }
}

void SampleData::Save(BMessage* msg) const {
    msg->AddInt32(kRate, fRate);
    msg->AddInt32(kChannels, fChannels);
    msg->AddInt32(kFrames, fFrames);
    std::vector<float> interleaved(size_t(fFrames) * size_t(fChannels));
    for (int32 c = 0; c < fChannels; c++) {
        for (int32 f = 0; f < fFrames; f++)
            interleaved[size_t(f * fChannels + c)] = fData[c][size_t(f)];
    }
    msg->AddData(kData, B_FLOAT_TYPE, interleaved.data(),
                 ssize_t(interleaved.size() * sizeof(float)));
}

std::string SampleData::LevelFault(const std::vector<float>& interleaved) {
    for (float value : interleaved) {
        if (!(std::abs(value) <= kMaxLevel)) return "a frame of value " + std::to_string(value);
    }
    return {};
}

bool SampleData::InMessage(const BMessage& msg) {
    for (const char* key : {kRate, kChannels, kFrames, kData}) {
        if (msg.GetInfo(key, nullptr) == B_OK) return true;
    }
    return false;
}

std::unique_ptr<SampleData> SampleData::Open(const BMessage& msg, std::string* why) {
    why->clear();
    if (!InMessage(msg)) return nullptr;
    int32 rate = 0, channels = 0, frames = 0;
    msg.FindInt32(kRate, &rate);
    msg.FindInt32(kChannels, &channels);
    msg.FindInt32(kFrames, &frames);
    *why = CountFault(channels, rate, frames);
    if (!why->empty()) return nullptr;
    const void* data = nullptr;
    ssize_t size = 0;
    const size_t count = size_t(frames) * size_t(channels);
    if (msg.FindData(kData, B_FLOAT_TYPE, &data, &size) != B_OK ||
        size_t(size) != count * sizeof(float)) {
        *why = "its data holds " + std::to_string(size) + " bytes for " + std::to_string(frames) +
               " frames";
        return nullptr;
    }
    std::vector<float> interleaved(count);
    std::memcpy(interleaved.data(), data, count * sizeof(float));
    *why = LevelFault(interleaved);
    if (!why->empty()) return nullptr;
    return std::make_unique<SampleData>(channels, rate, std::move(interleaved));
}
