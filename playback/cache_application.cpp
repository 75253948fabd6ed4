#include "playback/cache_application.h"

#include "host/framework.h"
#include "tween/cache.h"

bool BeginApplication(CCache& cache, int32_t* now) {
    int32_t const time = PL_GetCurTime();
    if (time == cache.lastApplicationTime) {
        return false;
    }
    cache.lastApplicationTime = time;
    *now = time;
    return cache.Count() != 0;
}
