// What draws the 3D view window's picture of a document view. The window asks for a picture
// whenever the scene, the selection, the camera or the window's size changed.
#pragma once

#include <memory>
#include <optional>

#include "refhost/toolkit/render.h"
#include "refhost/view3d/view_aids.h"

struct OpaqueTQ3Object;

namespace refhost::window {

class ViewRenderer {
public:
    virtual ~ViewRenderer() = default;
    // The view (null: the front document's current view) as a width x height picture of the
    // front document's scene, rows from the top. Throws std::runtime_error with the reason
    // when it cannot draw.
    virtual Bitmap Render(OpaqueTQ3Object* view, int width, int height) = 0;
    // The member of the front document's groups front-most at pixel (x, y) of that picture
    // (null: none there), or nothing when this renderer cannot tell (the caller then picks by
    // bounds). Throws as Render does.
    virtual std::optional<OpaqueTQ3Object*> Pick(OpaqueTQ3Object* /*view*/, int /*width*/,
                                                 int /*height*/, int /*x*/, int /*y*/) {
        return std::nullopt;
    }
    // The aids drawn over the scene from now on (borrowed; null for none); ignored by a
    // renderer that cannot draw them.
    virtual void SetAids(view3d::ViewAids const* /*aids*/) {}
};

// A stand-in that needs no OpenGL: every member of the scene as the wire box of its bounds
// seen through the view's camera, the selected ones in the selection colour.
std::unique_ptr<ViewRenderer> MakeWireBoxRenderer();

} // namespace refhost::window
