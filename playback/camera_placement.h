// Moving the view's camera along with a camera tween point's matrix.
#pragma once

#include "tween/tween_records.h"

class CCameraObject;

// Blends prev's matrix toward next's by f (about the origin) and puts the camera's location
// or point of interest (by next's animate) where the blend puts the origin, the other end
// following by next's animateBy. The line of sight never comes out zero, and the up vector
// comes out of unit length and perpendicular to the line of sight; range and view port stay.
void PlaceCamera(CCameraObject& camera, CameraTweenRecord const& prev,
                 CameraTweenRecord const& next, float f);
