// A sample's frames as the sampler plays them: one float array per channel, at the rate it was
// recorded at. Never changed once made, so the sound thread may read it while windows load the
// next one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "message/message.h"

class SampleData {
  public:
    // About twelve minutes of stereo at 44100: more than any sample, less than a file could
    // make us allocate by lying.
    static constexpr int32 kMaxFrames = int32(1) << 25;
    static constexpr int32 kMinRate = 1000;
    static constexpr int32 kMaxRate = 768000;
    // Louder than any real sample, quiet enough that many voices cannot overflow a float.
    static constexpr float kMaxLevel = 16.0f;

    // Frames interleaved by channel, 1 or 2 channels; values below the denormal range are
    // stored as zero so that no voice ever computes with them.
    SampleData(int32 channels, int32 rate, std::vector<float> interleaved);

    int32 Channels() const { return fChannels; }
    int32 Rate() const { return fRate; }
    int32 Frames() const { return fFrames; }
    // Channel 1 of a mono sample is channel 0.
    const float* Channel(int32 c) const { return fData[c < fChannels ? c : 0].data(); }
    // Unique among all samples this process makes, so a voice knows its sample was replaced.
    uint64_t Serial() const { return fSerial; }

    // Adds the rate, channels, frame count and the interleaved frames.
    void Save(BMessage* msg) const;
    // Null with *why set when the record has no sample (why left empty) or a damaged one:
    // counts out of range, a data size that disagrees with them, frames that are not finite.
    static std::unique_ptr<SampleData> Open(const BMessage& msg, std::string* why);
    // Empty when every value is finite and within kMaxLevel, else what is wrong.
    static std::string LevelFault(const std::vector<float>& interleaved);
    // Whether the record carries any field of a sample.
    static bool InMessage(const BMessage& msg);

  private:
    int32 fChannels;
    int32 fRate;
    int32 fFrames;
    std::vector<float> fData[2];
    uint64_t fSerial;
};
