// Motion paths and ghosts of the selected animated objects, worked out from their stored tween
// points alone: nothing of the document changes (the scene, the clock, the plug-in's state),
// so a saved document keeps its bytes whether or not its paths were shown.
//
// A path follows the pivot (the centre of an object's bounding box that its tween points keep)
// through the world as playback places it: the first point before the first time, the last
// after the last, and between two points the pivot moves on the straight line between where
// the two placements put the later point's pivot, at the eased fraction of the earlier point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/qd3d_types.h"
#include "refhost/document/document.h"
#include "refhost/gltf/tween_lists.h"
#include "refhost/view3d/view_aids.h"

namespace refhost::window {

// Samples a second along a path.
inline constexpr double kPathSamplesPerSecond = 30;

// Where the pivot of an object with these tween points (ascending times, at least one) lies
// at time t.
TQ3Point3D PivotAt(std::vector<gltf::ObjectKey> const& keys, int32_t t);

struct MotionPath {
    OpaqueTQ3Object* member = nullptr; // borrowed: a selected member of the document
    std::vector<TQ3Point3D> samples;   // at the range's start, every 1/30 s, and its end
    std::vector<TQ3Point3D> points;    // the tween points' pivots, in time order
    std::vector<bool> pointSelected;   // selected in the timeline
};

// The paths of the document's selected members that have tween points, over its range.
std::vector<MotionPath> ComputeMotionPaths(Document const& document);

// The colours of the aids.
inline constexpr TQ3ColorRGB kPathColour{0.35f, 0.8f, 1.0f};
inline constexpr TQ3ColorRGB kPointColour{1.0f, 1.0f, 1.0f};
inline constexpr TQ3ColorRGB kCurrentColour{1.0f, 0.25f, 0.3f};

// The aids of a document, with its paths kept until what plays changes (the selected
// members, their tween points, the range or the clock's units): a frame that changes none of
// these reuses them.
class MotionAids {
public:
    // The aids to draw now (the grid with the axes); the host's selection colour (PL_GetColor(0))
    // marks the selected tween points.
    view3d::ViewAids const& Update(Document const& document, view3d::AidSwitches const& switches);
    // How many times paths were worked out.
    std::size_t Computations() const { return fComputations; }
    std::vector<MotionPath> const& Paths() const { return fPaths; }

private:
    std::string fKey;
    std::vector<MotionPath> fPaths;
    std::size_t fComputations = 0;
    view3d::ViewAids fAids;
};

} // namespace refhost::window
