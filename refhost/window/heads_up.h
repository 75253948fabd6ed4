// The heads-up line of the 3D view: the current time, the document's range and the frame
// rate of playback, written in the picture's top left corner.
#pragma once

#include <string>

#include "refhost/document/document.h"
#include "refhost/toolkit/render.h"

namespace refhost::window {

// "2.00 s  range 0.00 to 6.00 s  30 fps" for the clock and a frame rate.
std::string HeadsUpText(ClockSettings const& clock, double framesPerSecond);

// Writes the line over the picture, light on a dark band, in its top left corner.
void DrawHeadsUp(Bitmap& picture, std::string const& text);

} // namespace refhost::window
