// The DoTween bodies of the three cache kinds.
#include "playback/cache_application.h"
#include "tween/camera_cache.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"

// The blending of the records around the current time and their writing into the scene
// join these with the interpolation functions; until then a cache only notes the times at
// which it was asked to apply.
void CTweenAllInfoDataCache::DoTween() {
    int32_t now = 0;
    BeginApplication(*this, &now);
}

void CLightCache::DoTween() {
    int32_t now = 0;
    BeginApplication(*this, &now);
}

void CCameraCache::DoTween() {
    int32_t now = 0;
    BeginApplication(*this, &now);
}
