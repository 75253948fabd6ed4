// What draws the 3D view window's picture of a document view. The window asks for a picture
// whenever the scene, the selection, the camera or the window's size changed.
#pragma once

#include <memory>

#include "refhost/toolkit/render.h"

struct OpaqueTQ3Object;

namespace refhost::window {

class ViewRenderer {
public:
    virtual ~ViewRenderer() = default;
    // The view (null: the front document's current view) as a width x height picture of the
    // front document's scene, rows from the top. Throws std::runtime_error with the reason
    // when it cannot draw.
    virtual Bitmap Render(OpaqueTQ3Object* view, int width, int height) = 0;
};

// A stand-in that needs no OpenGL: every member of the scene as the wire box of its bounds
// seen through the view's camera, the selected ones in the selection colour.
std::unique_ptr<ViewRenderer> MakeWireBoxRenderer();

} // namespace refhost::window
