#include "refhost/view3d/camera_projection.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "host/four_char_code.h"

namespace refhost::view3d {

namespace {

struct Vec {
    double x, y, z;
};
Vec Sub(TQ3Point3D const& a, TQ3Point3D const& b) {
    return {double{a.x} - b.x, double{a.y} - b.y, double{a.z} - b.z};
}
Vec Cross(Vec const& a, Vec const& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec const& a, Vec const& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Length(Vec const& v) {
    return std::sqrt(Dot(v, v));
}
Vec Scaled(Vec const& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

[[noreturn]] void Refuse(std::string const& what) {
    throw std::runtime_error("camera: " + what);
}

GlMatrix FromRows(std::array<std::array<double, 4>, 4> const& rows) {
    GlMatrix m{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            m[static_cast<std::size_t>(column * 4 + row)] = static_cast<float>(
                rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
        }
    }
    return m;
}

GlMatrix LookAt(TQ3CameraPlacement const& placement) {
    Vec forward = Sub(placement.pointOfInterest, placement.cameraLocation);
    double const distance = Length(forward);
    if (distance == 0) {
        Refuse("the location and the point of interest are the same point");
    }
    forward = Scaled(forward, 1 / distance);
    Vec const up{placement.upVector.x, placement.upVector.y, placement.upVector.z};
    Vec right = Cross(forward, up);
    double const rightLength = Length(right);
    if (rightLength < 1e-12) {
        Refuse("the up vector lies along the line of sight (or is zero)");
    }
    right = Scaled(right, 1 / rightLength);
    Vec const trueUp = Cross(right, forward);
    TQ3Point3D const& eye = placement.cameraLocation;
    Vec const e{eye.x, eye.y, eye.z};
    return FromRows({{{right.x, right.y, right.z, -Dot(right, e)},
                      {trueUp.x, trueUp.y, trueUp.z, -Dot(trueUp, e)},
                      {-forward.x, -forward.y, -forward.z, Dot(forward, e)},
                      {0, 0, 0, 1}}});
}

struct Extent {
    double left, right, bottom, top; // on the near plane (perspective) or anywhere (orth)
};

GlMatrix Frustum(Extent const& e, double near, double far) {
    return FromRows(
        {{{2 * near / (e.right - e.left), 0, (e.right + e.left) / (e.right - e.left), 0},
          {0, 2 * near / (e.top - e.bottom), (e.top + e.bottom) / (e.top - e.bottom), 0},
          {0, 0, -(far + near) / (far - near), -2 * far * near / (far - near)},
          {0, 0, -1, 0}}});
}

GlMatrix Ortho(Extent const& e, double near, double far) {
    return FromRows({{{2 / (e.right - e.left), 0, 0, -(e.right + e.left) / (e.right - e.left)},
                      {0, 2 / (e.top - e.bottom), 0, -(e.top + e.bottom) / (e.top - e.bottom)},
                      {0, 0, -2 / (far - near), -(far + near) / (far - near)},
                      {0, 0, 0, 1}}});
}

// Takes the view port's part of the unit square to the whole of clip space.
GlMatrix ViewPort(TQ3CameraViewPort const& port) {
    if (port.width == 0 || port.height == 0) {
        Refuse("the view port has zero width or height");
    }
    double const cx = double{port.origin.x} + port.width / 2.0;
    double const cy = double{port.origin.y} - port.height / 2.0;
    double const sx = 2.0 / port.width, sy = 2.0 / port.height;
    return FromRows({{{sx, 0, 0, -cx * sx}, {0, sy, 0, -cy * sy}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
}

Extent ExtentOf(refhost::scene::Camera const& camera, double near) {
    switch (camera.Kind()) {
    case "vana"_4cc: {
        double const half = std::tan(camera.fieldOfView / 2.0);
        double const aspect = camera.aspectRatio;
        if (!(half > 0) || !std::isfinite(half) || !(aspect > 0)) {
            Refuse("the field of view must lie between 0 and pi and the aspect ratio be "
                   "positive");
        }
        double const h = aspect >= 1 ? near * half : near * half / aspect;
        double const w = aspect >= 1 ? h * aspect : near * half;
        return {-w, w, -h, h};
    }
    case "vwpl"_4cc: {
        if (!(camera.viewPlane > 0) || camera.halfWidth == 0 || camera.halfHeight == 0) {
            Refuse("the view plane must lie in front of the camera with a size");
        }
        double const s = near / camera.viewPlane;
        return {(double{camera.centreX} - camera.halfWidth) * s,
                (double{camera.centreX} + camera.halfWidth) * s,
                (double{camera.centreY} - camera.halfHeight) * s,
                (double{camera.centreY} + camera.halfHeight) * s};
    }
    case "orth"_4cc:
        if (camera.left == camera.right || camera.top == camera.bottom) {
            Refuse("the orthographic box has zero width or height");
        }
        return {camera.left, camera.right, camera.bottom, camera.top};
    default:
        Refuse("unknown camera kind");
    }
}

} // namespace

GlMatrix Multiply(GlMatrix const& a, GlMatrix const& b) {
    GlMatrix m{};
    for (std::size_t column = 0; column < 4; ++column) {
        for (std::size_t row = 0; row < 4; ++row) {
            float sum = 0;
            for (std::size_t k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            m[column * 4 + row] = sum;
        }
    }
    return m;
}

std::array<float, 4> Apply(GlMatrix const& m, std::array<float, 4> const& v) {
    std::array<float, 4> r{};
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t k = 0; k < 4; ++k) {
            r[row] += m[k * 4 + row] * v[k];
        }
    }
    return r;
}

CameraMatrices MatricesOf(refhost::scene::Camera const& camera) {
    TQ3CameraData const& data = camera.data;
    bool const orthographic = camera.Kind() == "orth"_4cc;
    double const near = data.range.hither, far = data.range.yon;
    if ((!orthographic && !(near > 0)) || !(far > near)) {
        Refuse("the range must have 0 < hither < yon (hither " + std::to_string(near) + ", yon " +
               std::to_string(far) + ")");
    }
    Extent const extent = ExtentOf(camera, near);
    GlMatrix const lens = orthographic ? Ortho(extent, near, far) : Frustum(extent, near, far);
    return {LookAt(data.placement), Multiply(ViewPort(data.viewPort), lens),
            data.placement.cameraLocation, orthographic};
}

std::optional<TQ3Point2D> PixelOf(CameraMatrices const& camera, TQ3Point3D const& point, int width,
                                  int height) {
    std::array<float, 4> const clip =
        Apply(Multiply(camera.projection, camera.view), {point.x, point.y, point.z, 1});
    if (!(clip[3] > 0) || clip[2] < -clip[3] || clip[2] > clip[3]) {
        return std::nullopt;
    }
    float const x = clip[0] / clip[3], y = clip[1] / clip[3];
    return TQ3Point2D{(x + 1) / 2 * static_cast<float>(width),
                      (1 - y) / 2 * static_cast<float>(height)};
}

} // namespace refhost::view3d
