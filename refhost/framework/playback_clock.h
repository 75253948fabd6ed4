// The host's playback: while a document plays, its current time moves on with every frame
// the host shows.
#pragma once

#include "refhost/document/document.h"

namespace refhost {

// Moves the document's current time on by a frame that took wallSeconds to show, as its
// playback state says (see PL_SetAnimationMode and PL_SetPlayDirection). Returns whether
// the current time changed. A paused or stopped document does not move.
bool AdvanceClock(Document& document, double wallSeconds);

} // namespace refhost
