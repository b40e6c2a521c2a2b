#include "addons/Sampler/sampler_voice.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Where a voice reads its frames from, in frames of that source.
struct VoiceSource {
    const float* data[2] = {};
    int32 frames = 0;
    int32 limit = 0;     // interpolation past here takes the careful path
    double scale = 1.0;  // source frames per sample frame
    bool wraps = false;  // taps past the loop's end read the loop again
    int32 loop_start = 0;
    int32 loop_end = 0;
};

float CatmullRom(float a, float b, float c, float d, float t) {
    const float c1 = 0.5f * (c - a);
    const float c2 = a - 2.5f * b + 2.0f * c - 0.5f * d;
    const float c3 = 0.5f * (d - a) + 1.5f * (b - c);
    return ((c3 * t + c2) * t + c1) * t + b;
}

// Frame i of what the voice reads: in the sample itself past the loop's end the loop again;
// zero outside the frames.
float At(const VoiceSource& source, const float* data, int32 i) {
    if (source.wraps && i >= source.loop_end)
        i = source.loop_start + (i - source.loop_start) % (source.loop_end - source.loop_start);
    return i >= 0 && i < source.frames ? data[i] : 0.0f;
}

float Interpolated(const VoiceSource& source, const float* data, double position) {
    const double at = position * source.scale;
    const auto i = int32(at);
    const auto t = float(at - i);
    if (i >= 1 && i + 2 < source.limit)
        return CatmullRom(data[i - 1], data[i], data[i + 1], data[i + 2], t);
    return CatmullRom(At(source, data, i - 1), At(source, data, i), At(source, data, i + 1),
                      At(source, data, i + 2), t);
}

// The sample itself for steps up to one frame per frame, else the band-limited level that
// step needs.
VoiceSource SourceFor(const SamplerPatch& patch, double step) {
    VoiceSource source;
    const SampleLevels::Level* level = patch.levels ? patch.levels->For(step) : nullptr;
    if (level == nullptr) {
        source.data[0] = patch.sample->Channel(0);
        source.data[1] = patch.sample->Channel(1);
        source.frames = patch.sample->Frames();
        source.wraps = patch.Loops();
        source.loop_start = patch.loop_start;
        source.loop_end = patch.loop_end;
        source.limit = patch.Loops() ? patch.loop_end : source.frames;
        return source;
    }
    source.data[0] = level->channel[0];
    source.data[1] = level->channel[1];
    source.frames = source.limit = level->frames;
    source.scale = 1.0 / level->decimation;
    return source;
}

}  // namespace

void SamplerVoice::Start(const NoteInfo* owner, const SamplerPatch& patch, const VoiceStart& how) {
    const SampleData& sample = *patch.sample;
    fOwner = owner;
    fSerial = sample.Serial();
    fStep = std::exp2((how.note - patch.root) / 12.0 + how.cents / 1200.0) * sample.Rate() /
            kOutputRate;
    fPosition = std::floor(std::clamp(how.start, 0.0f, 1.0f) * float(sample.Frames() - 1));
    fGain[0] = how.velocity * std::min(1.0f, 1.0f - how.pan);
    fGain[1] = how.velocity * std::min(1.0f, 1.0f + how.pan);
    fFade = 1.0f;
    fFadeStep = 0.0f;
    fTime = 0;
    if (patch.Loops() && fPosition >= patch.loop_end) Wrap(patch);
}

void SamplerVoice::FadeOut() {
    if (!IsFading()) fFadeStep = fFade / float(kFadeFrames);
}

bool SamplerVoice::Wrap(const SamplerPatch& patch) {
    if (!patch.Loops()) {
        fOwner = nullptr;
        return false;
    }
    const double length = patch.loop_end - patch.loop_start;
    fPosition = patch.loop_start + std::fmod(fPosition - patch.loop_start, length);
    return true;
}

bool SamplerVoice::EnvelopeRun(const SamplerPatch& patch, float* level, float* slope,
                               int32* run) const {
    const std::vector<BPoint>& points = patch.envelope;
    // In double: frame counts beyond 2^24 would lose frames in a float.
    const auto now = double(fTime);
    *slope = 0.0f;
    *run = INT32_MAX;
    if (points.empty()) {
        *level = 1.0f;
        return true;
    }
    auto next = std::upper_bound(points.begin(), points.end(), now,
                                 [](double t, const BPoint& p) { return t < p.x; });
    if (next == points.end()) {
        *level = points.back().y;
        return *level > 0.0f;
    }
    *run = int32(std::min<double>(std::ceil(next->x) - double(fTime), INT32_MAX));
    if (next == points.begin()) {
        *level = next->y;
        return true;
    }
    const BPoint& from = *(next - 1);
    *slope = (next->y - from.y) / (next->x - from.x);
    *level = float(from.y + (now - from.x) * *slope);
    return true;
}

template <int Channels>
int32 SamplerVoice::RenderRun(const SamplerPatch& patch, float* left, float* right, int32 frames,
                              float level, float slope) {
    const VoiceSource source = SourceFor(patch, fStep);
    const int32 limit = patch.Loops() ? patch.loop_end : patch.sample->Frames();
    // Kept in locals: the stores into the buffers could otherwise alias the members.
    const float gain[2] = {fGain[0], fGain[1]};
    const float fadeStep = fFadeStep;
    const double step = fStep;
    double position = fPosition;
    float fade = fFade;
    int32 f = 0;
    while (f < frames) {
        const float amplitude = (level + slope * float(f)) * fade;
        const float first = Interpolated(source, source.data[0], position) * amplitude;
        const float second =
            Channels == 2 ? Interpolated(source, source.data[1], position) * amplitude : first;
        left[f] += first * gain[0];
        right[f] += second * gain[1];
        fade = std::max(0.0f, fade - fadeStep);
        position += step;
        f++;
        if (position >= limit) {
            fPosition = position;
            if (!Wrap(patch)) return f;
            position = fPosition;
        }
    }
    fPosition = position;
    fFade = fade;
    return frames;
}

void SamplerVoice::Render(const SamplerPatch& patch, float* left, float* right, int32 frames) {
    if (patch.sample == nullptr || patch.sample->Serial() != fSerial) fOwner = nullptr;
    for (int32 done = 0; done < frames && fOwner != nullptr;) {
        float level = 0.0f, slope = 0.0f;
        int32 run = 0;
        if (!EnvelopeRun(patch, &level, &slope, &run) || (IsFading() && fFade <= 0.0f)) {
            fOwner = nullptr;
            return;
        }
        int32 piece = std::min(frames - done, run);
        if (IsFading()) piece = std::min(piece, int32(std::ceil(fFade / fFadeStep)));
        piece = patch.sample->Channels() == 2
                    ? RenderRun<2>(patch, left + done, right + done, piece, level, slope)
                    : RenderRun<1>(patch, left + done, right + done, piece, level, slope);
        done += piece;
        fTime += piece;
    }
}
