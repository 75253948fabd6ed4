#include "refhost/framework/playback_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace refhost {

namespace {

constexpr double kFrameSeconds = 1.0 / 30.0;

// Where the time goes past an end, by the play direction: stop there, start again from the
// other end, or turn round.
int64_t AtTheEnds(Document& document, int64_t time) {
    ClockSettings const& clock = document.clock;
    PlaybackState& playback = document.playback;
    int64_t low = clock.minimum, high = clock.maximum;
    if (time >= low && time <= high) {
        return time;
    }
    bool pastHigh = time > high;
    switch (playback.playDirection) {
    case 1:
        return pastHigh ? low : high;
    case 2:
        playback.forwards = !pastHigh;
        return pastHigh ? high - (time - high) : low + (low - time);
    default:
        playback.paused = true;
        return pastHigh ? high : low;
    }
}

} // namespace

bool AdvanceClock(Document& document, double wallSeconds) {
    PlaybackState& playback = document.playback;
    if (playback.paused || playback.animationMode == 0) {
        return false;
    }
    double seconds = playback.animationMode == 2 ? kFrameSeconds : wallSeconds;
    double units = seconds * document.clock.speed * document.clock.unitsPerSecond;
    auto step = static_cast<int64_t>(std::llround(units));
    int64_t time = document.clock.current + (playback.forwards ? step : -step);
    time = AtTheEnds(document, time);
    // A range smaller than the turn leaves the time inside it.
    time =
        std::max<int64_t>(document.clock.minimum, std::min<int64_t>(time, document.clock.maximum));
    bool moved = time != document.clock.current;
    document.clock.current = static_cast<int32_t>(time);
    return moved;
}

} // namespace refhost
