// Where glTF nodes go: this host's row-vector matrices, lights and cameras as glTF's
// translation, rotation and scale (column vectors; a light or camera looks down its -z with y
// up), and a camera's lens in glTF's terms. Pure functions; nothing here throws.
#pragma once

#include <array>
#include <vector>

#include <tiny_gltf.h>

#include "host/matrix4x4.h"
#include "refhost/gltf/scene_snapshot.h"

namespace refhost::gltf {

using Quaternion = std::array<double, 4>; // x, y, z, w as glTF keeps them

// A node's translation, rotation (a unit quaternion) and scale.
struct Trs {
    std::array<double, 3> t{0, 0, 0};
    Quaternion r{0, 0, 0, 1};
    std::array<double, 3> s{1, 1, 1};
};

// A matrix of row vectors (scale, then rotation, then translation) as glTF's TRS, the
// translation being where the point pivot goes.
Trs Decompose(CMatrix4x4 const& m, TQ3Point3D const& pivot = {0, 0, 0});

// A light's node: at its location, turned toward its direction unless it is a point light.
Trs LightTrs(LightValues const& light);

// The camera's placement as a node looking down its -z with y up.
Trs CameraTrs(CameraValues const& camera);

// What glTF's camera holds of a camera: perspective (vertical field of view as height, aspect
// as width) or orthographic (half sizes), and its near and far planes. A view angle is that of
// the camera's shorter side; a view plane camera is the perspective that sees its window.
struct Lens {
    bool orthographic = false;
    double width = 1, height = 1;
    float hither = 1e-4f, yon = 2e-4f;
};

// The camera's lens, every value kept within what glTF accepts (sizes and planes positive,
// the far plane beyond the near one, a field of view short of a half turn).
Lens LensOf(CameraValues const& camera);

// Sets the node's translation, rotation and scale and clears any matrix it had.
void SetTrs(tinygltf::Node& node, Trs const& trs);

// The matrix as a glTF node's matrix (column vectors, column by column).
std::vector<double> MatrixValues(CMatrix4x4 const& m);

} // namespace refhost::gltf
