#include "playback/animation.h"

#include <cstdlib>

#include "host/framework.h"
#include "palette/palette_sync.h"
#include "playback/colour_effect.h"
#include "playback/host_time.h"
#include "playback/light_effect.h"
#include "playback/texture_effect.h"
#include "plugin/plugin_state.h"
#include "tween/cache.h"
#include "tween/recache.h"

std::map<char*, int32_t> gMapLastUpdate;

namespace {

struct PreviousPass {
    int32_t time;
    bool none; // the view was never animated
};

// The current time of the view's previous pass, which becomes now. A view never animated
// takes now itself, so that its first pass adds no effect's shift: opening a document and
// saving it again changes nothing.
PreviousPass TakePreviousTime(int32_t now) {
    auto* view = reinterpret_cast<char*>(PL_GetTheView());
    auto [entry, isNew] = gMapLastUpdate.try_emplace(view, now);
    PreviousPass const previous{entry->second, isNew};
    entry->second = now;
    return previous;
}

} // namespace

void ForgetFrontViewPass() {
    gMapLastUpdate.erase(reinterpret_cast<char*>(PL_GetTheView()));
}

void DoTweenAnimation() {
    for (uint32_t i = 0; i < gTimeLineCache.Count(); ++i) {
        gTimeLineCache[i]->DoTween();
    }
}

void DoObjectAnimation(int32_t now, int32_t previous) {
    float const units = TimeUnitsPerSecond();
    float const elapsed =
        static_cast<float>(std::abs(static_cast<int64_t>(now) - previous)) / units;
    if (!gAnimateColourItems.IsEmpty()) {
        DoColourAnimation(elapsed);
    }
    if (!gAnimateLightItems.IsEmpty()) {
        DoLightAnimation(static_cast<uint32_t>(now), static_cast<uint32_t>(previous));
    }
    float const since = static_cast<float>(int64_t{now} - PL_GetMinTime()) / units;
    if (!gAnimateTextureItems.IsEmpty()) {
        DoTextureAnimation(since);
    }
}

void AnimateAfterEdit() {
    if (gRecache) {
        gRecache = false;
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
    }
    int32_t const now = PL_GetCurTime();
    for (uint32_t i = 0; i < gTimeLineCache.Count(); ++i) {
        gTimeLineCache[i]->lastApplicationTime = HostTimeSum(now, -1);
    }
    DoTweenAnimation();
    PL_DrawDocumentViews(1);
}

void DoAnimation() {
    if (gRecache) {
        gRecache = false;
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
        if (PaletteIsVisible()) {
            MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
        }
    }
    int32_t const now = PL_GetCurTime();
    auto const [previous, first] = TakePreviousTime(now);
    if (previous == now && !first) {
        return; // this view was animated at this time already
    }
    if (!gTimeLineCache.IsEmpty()) {
        DoTweenAnimation();
    }
    if (!gAnimateColourItems.IsEmpty() || !gAnimateLightItems.IsEmpty() ||
        !gAnimateTextureItems.IsEmpty()) {
        DoObjectAnimation(now, previous);
    }
}
