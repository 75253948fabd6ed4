// The timeline's edits as the user sees them: each edit of the stored tween points is one
// step the host can undo, the scene follows it at once, and a gesture never works on rows
// that a change on the host's side (an undo, a recording) has left stale.
#pragma once

#include <cstdint>

class NSView;

// Rebuilds the rows now if a rebuild is pending, so that a gesture reads and writes rows that
// match the stored lists; marks the timeline and name column for redisplay when it did.
void MakePendingRebuild();

// Registers an undo step with the host: the document as it is now, before an edit.
void BeginTimelineEdit();
// After an edit: the scene is animated again at the current time and its views redrawn, the
// host hears that the document changed, and the palette's timeline and name column redraw.
void EndTimelineEdit();

// The palette's time step in host units (the step field, in seconds), or 0 when it is not a
// positive number.
int32_t TimelineStepUnits();
// Snapping of drags and of the scrubbed time to whole steps: on unless turned off in the
// palette or held off with the option (alt) key for one gesture.
inline bool gSnapToStep = true;
// time rounded to the nearest whole multiple of step; time itself when step is not positive.
int32_t SnapTime(int32_t time, int32_t step);
