// A document made from nothing, for a user who starts a new piece of work: the clock, one
// view with its camera and lights, and a box for each name given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/scene.h"
#include "refhost/document/document.h"

namespace refhost {

// The lights a new view gets: an ambient light "Ambient light" (0.3, white) and a directional
// light "Sun" (0.9, warm white, from above and behind the camera's left).
CLightGroupObject StandardLights();

// A new document: 600 time units a second, the range 0 to 10 s at 0 s; one view whose view
// angle camera "Camera" (4:3) looks at the origin from above and to the right, far enough
// to see every box, lit by StandardLights(); and for each name a unit box in a display group
// of that name with a transform, side by side along x in the order given, centred on the
// origin, each with a diffuse colour of its own. Nothing is selected and nothing is recorded.
// The document has no file yet (path empty). Throws std::invalid_argument naming an empty or
// repeated name.
std::unique_ptr<Document> NewDocument(std::vector<std::string> const& boxNames);

} // namespace refhost
