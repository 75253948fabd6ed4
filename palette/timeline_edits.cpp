#include "palette/timeline_edits.h"

#include <cmath>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/number_text.h"
#include "palette/palette_lookup.h"
#include "palette/palette_sync.h"
#include "playback/animation.h"
#include "playback/host_time.h"
#include "plugin/plugin_state.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

void MakePendingRebuild() {
    if (!gRecache) {
        return;
    }
    gRecache = false;
    RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems, gAnimateTextureItems);
    MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
}

void BeginTimelineEdit() {
    PL_DoUndo(1, 1, 0, 0);
}

void EndTimelineEdit() {
    AnimateAfterEdit();
    PL_DataChanged();
    MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
}

int32_t TimelineStepUnits() {
    auto* field = PaletteControl<NSControl>(kStepFieldTag);
    if (!field) {
        return 0;
    }
    double const seconds = StrToExt(CStr255(field->stringValue()));
    double const units = seconds * static_cast<double>(TimeUnitsPerSecond());
    return units >= 1 ? TruncateToInt32(std::round(units)) : 0;
}

int32_t SnapTime(int32_t time, int32_t step) {
    if (step <= 0) {
        return time;
    }
    return TruncateToInt32(std::round(static_cast<double>(time) / step) * step);
}
