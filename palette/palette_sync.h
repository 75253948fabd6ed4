// What the rest of the plug-in asks of the palette window: its visibility, the redisplay
// of its views and the controls that show the host's clock. Controls are found by tag in
// the panel's content view or in its drawer's; a control the panel lacks is skipped.
#pragma once

#include <initializer_list>

#include "tween/timeline_layout.h"

// Tags of the palette's controls.
inline constexpr int kTimeSliderTag = kTimelineSliderTag;
inline constexpr int kPlayBackwardTag = 1003;
inline constexpr int kStopTag = 1004;
inline constexpr int kPlayForwardTag = 1005;
inline constexpr int kStepFieldTag = 1014;
inline constexpr int kTimeLineTag = kTimelineViewTag;
inline constexpr int kNameColumnTag = 2002;
inline constexpr int kSplitViewTag = 2006;
inline constexpr int kMinTimeFieldTag = 10002;
inline constexpr int kCurTimeFieldTag = 10003;
inline constexpr int kMaxTimeFieldTag = 10004;
inline constexpr int kSpeedSliderTag = 10011;
inline constexpr int kSpeedMinFieldTag = 10012;
inline constexpr int kSpeedFieldTag = 10013;
inline constexpr int kSpeedMaxFieldTag = 10014;
inline constexpr int kSnapToggleTag = 10015;

// Whether the palette panel is shown.
bool PaletteIsVisible();
// Marks the views with these tags (in the panel's content view) for redisplay.
void MarkPaletteViewsForRedisplay(std::initializer_list<int> tags);
// Shows the transport state: stop pressed while paused, else play forward or backward.
void ShowTransportState(bool paused, bool forwards);
// Puts the time slider where the host's current time lies between its minimum and maximum.
void SetTimeSliderFromClock();
// Whether the panel's drawer is open.
bool DrawerIsOpen();
// Sets a drawer field to a number and marks it for redisplay.
void SetDrawerField(int tag, double value);
// Brings the time slider and the drawer's start, current and end fields up to the host's
// clock where it changed since they last showed it, whoever changed it (the palette, the
// host's keys, a script); the timeline and the names are then marked for redisplay. A field
// whose time did not change is left alone, so that typing into it is not overwritten. True
// when anything changed.
bool ShowClockChanges();
