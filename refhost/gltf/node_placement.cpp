#include "refhost/gltf/node_placement.h"

#include <algorithm>
#include <cmath>

#include "host/four_char_code.h"
#include "host/framework.h"

namespace refhost::gltf {

namespace {

// The rotation of a column-vector matrix c (c[row][column]) as a unit quaternion.
Quaternion FromColumns(double const c[3][3]) {
    double const trace = c[0][0] + c[1][1] + c[2][2];
    Quaternion q;
    if (trace > 0) {
        double const s = 0.5 / std::sqrt(trace + 1.0);
        q = {(c[2][1] - c[1][2]) * s, (c[0][2] - c[2][0]) * s, (c[1][0] - c[0][1]) * s, 0.25 / s};
    } else if (c[0][0] > c[1][1] && c[0][0] > c[2][2]) {
        double const s = 2.0 * std::sqrt(1.0 + c[0][0] - c[1][1] - c[2][2]);
        q = {0.25 * s, (c[0][1] + c[1][0]) / s, (c[0][2] + c[2][0]) / s, (c[2][1] - c[1][2]) / s};
    } else if (c[1][1] > c[2][2]) {
        double const s = 2.0 * std::sqrt(1.0 + c[1][1] - c[0][0] - c[2][2]);
        q = {(c[0][1] + c[1][0]) / s, 0.25 * s, (c[1][2] + c[2][1]) / s, (c[0][2] - c[2][0]) / s};
    } else {
        double const s = 2.0 * std::sqrt(1.0 + c[2][2] - c[0][0] - c[1][1]);
        q = {(c[0][2] + c[2][0]) / s, (c[1][2] + c[2][1]) / s, 0.25 * s, (c[1][0] - c[0][1]) / s};
    }
    double const n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& v : q) {
        v /= n;
    }
    return q;
}

// The rotation that turns -z to the direction d.
Quaternion TowardDirection(TQ3Vector3D const& d) {
    CVector3D const to = Normalise(CVector3D(d));
    double const dot = -to.z;
    if (dot < -0.999999) {
        return {1, 0, 0, 0};
    }
    // axis = (0, 0, -1) x to
    Quaternion q = {to.y, -to.x, 0, 1.0 + dot};
    double const n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[3] * q[3]);
    for (double& v : q) {
        v /= n;
    }
    return q;
}

std::vector<double> Values(std::array<double, 3> const& a) {
    return {a[0], a[1], a[2]};
}

} // namespace

Trs Decompose(CMatrix4x4 const& m, TQ3Point3D const& pivot) {
    CMatrix4x4 const rotation = m.ExtractRotation();
    CMatrix4x4 const scale = (m * InverseOf(rotation)).ExtractScale();
    double columns[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            columns[i][j] = rotation[j][i];
        }
    }
    Trs trs;
    trs.r = FromColumns(columns);
    trs.s = {scale[0][0], scale[1][1], scale[2][2]};
    CPoint3D const moved = CPoint3D(pivot) * m;
    trs.t = {moved.x, moved.y, moved.z};
    return trs;
}

Trs LightTrs(LightValues const& light) {
    Trs trs;
    trs.t = {light.location.x, light.location.y, light.location.z};
    if (light.kind != "pntl"_4cc) {
        trs.r = TowardDirection(light.direction);
    }
    return trs;
}

Trs CameraTrs(CameraValues const& camera) {
    TQ3CameraPlacement const& p = camera.data.placement;
    CVector3D const back = Normalise(CPoint3D(p.cameraLocation) - CPoint3D(p.pointOfInterest));
    CVector3D const right = Normalise(CrossProduct(CVector3D(p.upVector), back));
    CVector3D const up = CrossProduct(back, right);
    double const columns[3][3] = {
        {right.x, up.x, back.x}, {right.y, up.y, back.y}, {right.z, up.z, back.z}};
    Trs trs;
    trs.r = FromColumns(columns);
    trs.t = {p.cameraLocation.x, p.cameraLocation.y, p.cameraLocation.z};
    return trs;
}

Lens LensOf(CameraValues const& c) {
    Lens lens;
    lens.hither = std::max(c.data.range.hither, 1e-4f);
    lens.yon = std::max(c.data.range.yon, lens.hither * 2);
    if (c.kind == "orth"_4cc) {
        lens.orthographic = true;
        lens.width = std::max(std::fabs(c.right - c.left) / 2, 1e-4f);
        lens.height = std::max(std::fabs(c.top - c.bottom) / 2, 1e-4f);
        return lens;
    }
    double yfov = 1.0, aspect = 1.0;
    if (c.kind == "vwpl"_4cc && c.viewPlane > 0 && c.halfHeight > 0) {
        yfov = 2 * std::atan(c.halfHeight / c.viewPlane);
        aspect = c.halfWidth / c.halfHeight;
    } else if (c.aspectRatio > 0) {
        aspect = c.aspectRatio;
        yfov = aspect >= 1 ? c.fieldOfView : 2 * std::atan(std::tan(c.fieldOfView / 2) / aspect);
    }
    lens.height = std::clamp(yfov, 1e-3, M_PI - 1e-3);
    lens.width = std::max(aspect, 1e-3);
    return lens;
}

void SetTrs(tinygltf::Node& node, Trs const& trs) {
    node.matrix.clear();
    node.translation = Values(trs.t);
    node.rotation = {trs.r[0], trs.r[1], trs.r[2], trs.r[3]};
    node.scale = Values(trs.s);
}

std::vector<double> MatrixValues(CMatrix4x4 const& m) {
    // Row vectors stored row by row are glTF's column vectors stored column by column.
    std::vector<double> values;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            values.push_back(m[i][j]);
        }
    }
    return values;
}

} // namespace refhost::gltf
