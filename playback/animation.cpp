#include "playback/animation.h"

#include "palette/palette_sync.h"
#include "plugin/plugin_state.h"
#include "tween/recache.h"

std::map<char*, int32_t> gMapLastUpdate;

void DoAnimation() {
    if (gRecache) {
        gRecache = false;
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
        if (PaletteIsVisible()) {
            MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
        }
    }
    // The tween pass and the effect pass join here with the caches they run over.
}
