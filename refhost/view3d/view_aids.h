// What the 3D view draws over the scene to help an animator: lines and dots in the world
// (motion paths, their tween points) and ghosts (members of the scene drawn faintly at
// another placement). Aids are seen, never picked: a click on one selects nothing.
#pragma once

#include <vector>

#include "host/matrix4x4.h"
#include "host/qd3d_types.h"

struct OpaqueTQ3Object;

namespace refhost::view3d {

// A line through points of the world, one after the other, drawn over the scene.
struct AidLine {
    std::vector<TQ3Point3D> points;
    TQ3ColorRGB colour{1, 1, 1};
};

// A round dot at a point of the world, `diameter` pixels across, drawn over the lines.
struct AidDot {
    TQ3Point3D at{};
    TQ3ColorRGB colour{1, 1, 1};
    float diameter = 7;
};

// A member of the document's groups (borrowed) drawn again with `change` applied after its
// own placement (row vectors: a point p of it is drawn at p * placement * change), see-through
// at `opacity` of its own opacity.
struct Ghost {
    OpaqueTQ3Object* member = nullptr;
    CMatrix4x4 change{1.0};
    float opacity = 0.3f;
};

// Which aids a view shows (the window's keys, a script's commands, a render's options).
struct AidSwitches {
    bool paths = false;  // motion paths of the selection
    bool ghosts = false; // the selection at its tween points around the current time
    bool grid = false;   // the ground's grid and the axis triad
    bool hud = false;    // the heads-up line: time, range and frame rate
};

struct ViewAids {
    std::vector<AidLine> lines;
    std::vector<AidDot> dots;
    std::vector<Ghost> ghosts;
    // A grid on the ground (y = 0), its spacing a power of ten from the eye's height above it
    // (every tenth line stronger, the x axis red and the z axis blue), fading with distance
    // toward the horizon; drawn over the ground, under what stands on it.
    bool grid = false;
    // A small triad of the x (red), y (green) and z (blue) axes at the bottom left corner,
    // turned as the camera sees them.
    bool axes = false;
    bool Empty() const { return lines.empty() && dots.empty() && ghosts.empty() && !grid && !axes; }
};

// The spacing of the ground grid's lines for an eye at `height` above the ground: the power
// of ten at or below it (1 for heights from 1 to 10), never below 1/1000.
float GridSpacing(float height);

} // namespace refhost::view3d
