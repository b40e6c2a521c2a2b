#include "tools/render/render_plan.h"

#include <algorithm>
#include <vector>

#include "engine/offline_render.h"

RenderPlan::RenderPlan(Until until, double amount) : fUntil(until), fAmount(amount) {
    fContentEnd = SongContentEnd();
    fEnd = until == Until::kSeconds ? int64(amount * 44100.0 + 0.5) : kLimitFrames;
    OfflineRender render(false, SeeStep, this);
    std::vector<float> left(OfflineRender::kPiece), right(OfflineRender::kPiece);
    // Steps are rendered ahead of the frames played, so the end shows before it is played.
    while (!fFound && render.Frames() < fEnd) {
        render.Render(left.data(), right.data(), nullptr, nullptr, OfflineRender::kPiece);
    }
    fLimited = !fFound && until != Until::kSeconds;
    std::erase_if(fMeasureStarts, [&](int64 start) { return start >= fEnd; });
    fFrames = fEnd + (until == Until::kSeconds ? 0 : kTailFrames);
}

void RenderPlan::SeeStep(void* plan, const PlayedStep& step) {
    static_cast<RenderPlan*>(plan)->See(step);
}

void RenderPlan::See(const PlayedStep& step) {
    if (step.step != 0 || fFound) return;
    const int64 at = step.frame;
    if (EndsAt(step, at)) {
        fFound = true;
        fEnd = std::min(fEnd, at);
        return;
    }
    fMeasureStarts.push_back(at);
}

bool RenderPlan::EndsAt(const PlayedStep& step, int64 at) const {
    switch (fUntil) {
        case Until::kMeasures:
            return int64(fMeasureStarts.size()) >= int64(fAmount);
        case Until::kSeconds:
            return at >= fEnd;
        default:
            return step.position >= fContentEnd;
    }
}
