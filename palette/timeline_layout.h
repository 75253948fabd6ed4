// The timeline's layout: where time 0 sits, how many pixels a second takes, how tall a row
// is, and the marquee being dragged. The zoom and the drags change them while the plug-in
// is loaded.
#pragma once

#include <cstdint>

#include "host/cocoa/geometry.h"

// Pixels from the view's left edge to the x of time 0.
inline constexpr int16_t kStartOffset = 6;
// Pixels between ruler grid lines and between ruler labels.
inline constexpr float kRulerDivision = 64.0f;
// Pixels per second.
inline float gScaleFactor = 16.0f;
// Height in pixels of every row, of the ruler strip and of the name column's header.
inline int32_t gTextHeight = 14;
// A marquee drag is in progress, over gMarquee (timeline coordinates).
inline bool gDoingMarqueeSelection = false;
inline NSRect gMarquee{};
