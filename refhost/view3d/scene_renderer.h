// The 3D view: a document's scene seen through one of its views, drawn with OpenGL into an
// image. Every geometry of the scene library is drawn (NURB patches tessellated, NURB curves
// as lines), shaded by the view's lights and the lights among the scene's objects; surfaces
// that are less than opaque are blended over what lies behind them; the members of the
// selected group are outlined in the selection colour. See scene_gather.h for how attribute
// sets apply and camera_projection.h for how the camera fills the image.
#pragma once

#include <cstddef>
#include <memory>

#include "host/qd3d_types.h"
#include "refhost/toolkit/render.h"
#include "refhost/view3d/view_aids.h"

struct OpaqueTQ3Object;

namespace refhost::view3d {

// What to draw: a view (its camera and light group), the two groups of a document's scene
// (either may be null), and the colour of the selected group's outline. All borrowed.
struct SceneSource {
    OpaqueTQ3Object* view = nullptr;
    OpaqueTQ3Object* selected = nullptr;
    OpaqueTQ3Object* others = nullptr;
    TQ3ColorRGB selectionColour{1.0f, 0.6f, 0.0f};
    ViewAids const* aids = nullptr; // borrowed; drawn over the scene when given
};

// Where nothing is drawn.
inline constexpr TQ3ColorRGB kBackground{0.16f, 0.17f, 0.2f};
// The width in pixels of the selection outline around a selected object.
inline constexpr int kOutlineWidth = 2;
// The axis triad's square (ViewAids::axes) and its distance from the image's bottom left
// corner, in pixels.
inline constexpr int kAxesSize = 64;
inline constexpr int kAxesMargin = 6;
// Samples a pixel of the scene is drawn with, unless a renderer is told otherwise.
inline constexpr int kDefaultSamples = 4;

// Owns the OpenGL objects it draws with. It needs an OpenGL 3.3 core context current on the
// calling thread when it is made, whenever it renders and when it is destroyed (a headless
// GlContext, or a window's context). Between frames it keeps the shapes of the geometries it
// drew (copies, found again by content: nothing that points into the scene) and the last
// frame's instances, so that a frame uploads only new shapes and changed instances. Objects
// sharing a shape and a material are drawn with one call. A render changes the context's
// state (depth test, blending, the bound program, vertex array, buffers and textures) and
// leaves framebuffer 0 bound.
class SceneRenderer {
public:
    // Draws each pixel as the mean of `samples` samples (1 to 64, taken up to the next square:
    // a grid of 1, 4, 9... in the pixel; fewer for images too large for OpenGL at that
    // size), so that edges are smooth. Throws std::runtime_error when no context is current, a
    // shader does not build or the count is out of range.
    explicit SceneRenderer(int samples = kDefaultSamples);
    SceneRenderer(SceneRenderer const&) = delete;
    SceneRenderer& operator=(SceneRenderer const&) = delete;
    ~SceneRenderer();

    // The view (null: the front document's current view, PL_GetTheView()) drawn into a
    // width x height image, with the front document's groups (PL_GetGroupObject) and the
    // host's selection colour (PL_GetColor(0)). Throws std::runtime_error with a clear
    // message on failure: no view, a view without a camera, a camera that shows nothing
    // (see MatricesOf), a size out of 1..the largest image OpenGL takes, a geometry that
    // cannot be tessellated, an OpenGL error.
    refhost::Bitmap Render(OpaqueTQ3Object* view, int width, int height);

    // The same with everything given.
    refhost::Bitmap Render(SceneSource const& source, int width, int height);

    // The aids drawn over the front document's scene by Render(view, ...) (borrowed until
    // set again; null for none).
    void SetAids(ViewAids const* aids) { fAids = aids; }

    // The member of the source's groups whose surface is front-most at pixel (x, y) (from the
    // image's top left) of the picture Render would draw at that size, by a pass of object
    // numbers drawn with the same camera; null where no member is (the background, an aid,
    // a ghost). Fails as Render does; a pixel outside the image is null.
    OpaqueTQ3Object* Pick(SceneSource const& source, int width, int height, int x, int y);
    // The same for the front document, as Render(view, ...) draws it.
    OpaqueTQ3Object* Pick(OpaqueTQ3Object* view, int width, int height, int x, int y);

    // The samples a pixel is drawn with (a square number).
    int Samples() const;

    // What the last render sent to OpenGL.
    struct FrameCounts {
        std::size_t shapeVerticesUploaded = 0;  // shapes new to the buffer
        std::size_t instancesUploaded = 0;      // the span of changed instances
        std::size_t mergedVerticesUploaded = 0; // when the opaque batches changed
        std::size_t draws = 0;                  // draw calls of the scene's surfaces
    };
    FrameCounts const& LastFrame() const;

private:
    SceneSource FrontSource(OpaqueTQ3Object* view) const;
    struct Gl;
    std::unique_ptr<Gl> fGl;
    ViewAids const* fAids = nullptr;
};

} // namespace refhost::view3d
