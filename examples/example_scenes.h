// The example documents a new user can open, made with the scene library so that they
// always match what the host saves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "refhost/document/document.h"

namespace examples {

// A box with a checked texture turned on its faces, lit by a sun, seen from above.
std::unique_ptr<refhost::Document> TexturedBox();
// A box painted in one colour of its own (no texture, so colour changes show) on a floor.
std::unique_ptr<refhost::Document> PaintedCrate();
// A group of shapes with coloured faces and vertices: a box with a colour per face, a
// triangle with a colour per corner, a textured mesh, a NURB curve and patch.
std::unique_ptr<refhost::Document> ColouredShapes();
// A scene with every kind of light (ambient, directional, point, spot) and one view per
// kind of camera (view angle, view plane, orthographic).
std::unique_ptr<refhost::Document> LightsAndCameras();

struct Example {
    std::string fileName;
    std::unique_ptr<refhost::Document> (*make)();
};
std::vector<Example> const& AllExamples();

} // namespace examples
