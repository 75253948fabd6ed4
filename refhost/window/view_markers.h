// Markers the 3D view draws over the scene for what has no surface to click: each point or
// spot light held by a member of the document's two groups (where its group's transform puts
// it), and the camera's point of interest. The markers are worked out once a picture, from
// the same projection the gestures use, and shared by drawing and picking.
#pragma once

#include <optional>
#include <vector>

#include "refhost/document/document.h"
#include "refhost/toolkit/render.h"
#include "refhost/window/view_projection.h"

namespace refhost::window {

enum class MarkerKind { light, pointOfInterest };

struct Marker {
    MarkerKind kind;
    OpaqueTQ3Object* member; // the group that holds the light; null for the point of interest
    bool selected;
    float x, y, depth; // pixel from the image's top left, distance along the line of sight
};

// Pixels from a marker's centre that still pick it.
inline constexpr float kMarkerReach = 8;

// The markers of the document's current view on a width x height image (those in front of
// the camera). The point of interest is the camera's, from `placement`.
std::vector<Marker> ViewMarkers(Document const& document, ViewProjection const& projection,
                                TQ3Point3D const& pointOfInterest, int width, int height);

// The light marker within kMarkerReach pixels of (x, y), the nearest to the camera first;
// nothing when there is none.
std::optional<Marker> LightMarkerAt(std::vector<Marker> const& markers, float x, float y);

// Draws the markers into the picture (rows from the top): a light as a small sun, a ring with
// four rays, yellow or in the selection colour when its group is selected; the point of
// interest as a small grey cross.
void DrawMarkers(Bitmap& picture, std::vector<Marker> const& markers, TQ3ColorRGB const& selection);

} // namespace refhost::window
