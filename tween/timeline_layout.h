// The timeline's fixed layout numbers, in one place for the plug-in's drawing and hit tests
// and for a host that points at the timeline the way a user does (its scripts). Standard
// library only, no state.
#pragma once

#include <cstdint>

// Pixels from the timeline view's left edge to the x of time 0.
inline constexpr int16_t kStartOffset = 6;
// Height in pixels of every row, of the ruler strip and of the name column's header, until
// the palette changes it.
inline constexpr int32_t kDefaultTextHeight = 14;
// The time slider reaches this far past the maximum mark, so its knob's left edge can stand
// over the maximum time.
inline constexpr float kSliderKnobAllowance = 12;
// How far from a tab, left or right, a click in the ruler strip still grabs it.
inline constexpr float kTabGrabDistance = 7;
// The tags of the timeline view and the time slider in the palette's content view.
inline constexpr long kTimelineViewTag = 2000;
inline constexpr long kTimelineSliderTag = 1000;
