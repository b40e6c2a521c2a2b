#include "engine/render_plan.h"

#include <algorithm>
#include <vector>

#include "engine/offline_render.h"
#include "engine/song.h"

RenderPlan::RenderPlan(Until until, double amount) : fUntil(until), fAmount(amount) {
    fContentEnd = SongContentEnd();
    // A song that loops never reaches its end: it is cut where the user can hear that it
    // loops. Any other song plays to its end, up to the hour.
    fLoops = until == Until::kContentEnd && song->loop;
    fLimit = until == Until::kSeconds ? int64(amount * 44100.0 + 0.5)
             : fLoops                 ? kLimitFrames
                                      : kLongestFrames;
    fEnd = fLimit;
    // Only the controllers move the song on: with the master muted no machine is pulled,
    // and the pass costs next to nothing.
    Machine* master = song->machines[0];
    const int32 muted = master->mute.exchange(1);
    OfflineRender render(false, SeeStep, this);
    // Steps are rendered ahead of the frames played, so the end shows before it is played.
    while (!fFound && render.Frames() < fEnd) {
        render.Render(nullptr, nullptr, nullptr, nullptr, 8 * OfflineRender::kPiece);
    }
    fLimited = !fFound && until != Until::kSeconds;
    master->mute = muted;
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
