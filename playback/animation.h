// The animation pass: brings the scene to the host's current time.
#pragma once

#include <cstdint>
#include <map>

// Per host view (its reference, ordered by address), the current time of its last
// animation pass. Entries stay while the plug-in is loaded, except that of a view whose
// document has just opened (ForgetFrontViewPass).
extern std::map<char*, int32_t> gMapLastUpdate;

// The front document has just been opened: its view has had no pass yet, though a closed
// document's view may have had the same address. Without this its first pass would take the
// closed view's time as the previous one and turn the effects by the difference.
void ForgetFrontViewPass();

// Rebuilds the caches when they are stale; then, once per view and distinct current time,
// applies every row's tween points and runs the colour, light and texture effects.
void DoAnimation();
// Every row of gTimeLineCache applies itself at the current time.
void DoTweenAnimation();
// The effects for the time between the view's previous pass and now.
void DoObjectAnimation(int32_t now, int32_t previous);
// The scene follows an edit of what plays (tween points moved, mirrored, deleted, pasted or
// eased, the range changed): the caches are rebuilt when marked stale, every row applies
// itself again at the current time, though it did at this time already, and the host is
// asked to redraw the document views. The effects are left where they are: no time passed.
void AnimateAfterEdit();
