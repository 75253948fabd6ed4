#include "refhost/window/view_projection.h"

#include <algorithm>
#include <cmath>

namespace refhost::window {

namespace {

CVector3D Between(TQ3Point3D const& from, TQ3Point3D const& to) {
    return CVector3D(to.x - from.x, to.y - from.y, to.z - from.z);
}

TQ3Point3D Plus(TQ3Point3D const& p, CVector3D const& v) {
    return TQ3Point3D{p.x + v.x, p.y + v.y, p.z + v.z};
}

// v turned by angle about the unit axis (Rodrigues' formula).
CVector3D Turned(CVector3D const& v, CVector3D const& axis, float angle) {
    float const c = std::cos(angle), s = std::sin(angle);
    return v * c + CrossProduct(axis, v) * s + axis * (DotProduct(axis, v) * (1 - c));
}

} // namespace

std::optional<ViewProjection> ProjectionOf(TQ3CameraPlacement const& placement, float fieldOfView,
                                           float aspectXToY) {
    CVector3D const sight = Between(placement.cameraLocation, placement.pointOfInterest);
    if (Pythag(sight) <= 0) {
        return std::nullopt;
    }
    CVector3D const forward = Normalise(sight);
    CVector3D const side = CrossProduct(forward, CVector3D(placement.upVector));
    if (Pythag(side) < 1e-6f) {
        return std::nullopt;
    }
    CVector3D const right = Normalise(side);
    CVector3D const up = CrossProduct(right, forward);
    float const fov = fieldOfView > 0 ? fieldOfView : kDefaultFieldOfView;
    float const aspect = aspectXToY > 0 ? aspectXToY : 1.0f;
    float const half = std::tan(fov / 2);
    // The field of view spans the shorter side.
    float const halfX = aspect >= 1 ? half * aspect : half;
    float const halfY = aspect >= 1 ? half : half / aspect;
    return ViewProjection{placement.cameraLocation, forward, right, up, halfX, halfY};
}

std::optional<Pixel> PixelOf(ViewProjection const& projection, TQ3Point3D const& point, int width,
                             int height) {
    CVector3D const d = Between(projection.location, point);
    float const depth = DotProduct(d, projection.forward);
    if (depth <= 1e-6f) {
        return std::nullopt;
    }
    float const nx = DotProduct(d, projection.right) / (depth * projection.tanHalfX);
    float const ny = DotProduct(d, projection.up) / (depth * projection.tanHalfY);
    return Pixel{(nx + 1) / 2 * static_cast<float>(width),
                 (1 - ny) / 2 * static_cast<float>(height), depth};
}

ImageRect Letterbox(int windowWidth, int windowHeight, float aspectXToY) {
    int const w = std::max(windowWidth, 1), h = std::max(windowHeight, 1);
    if (!(aspectXToY > 0) || !std::isfinite(aspectXToY)) {
        return {0, 0, w, h};
    }
    // The full width when the window is the taller of the two shapes, the full height
    // otherwise.
    int width = w, height = h;
    if (static_cast<float>(w) / static_cast<float>(h) > aspectXToY) {
        width = std::clamp(static_cast<int>(std::lround(static_cast<float>(h) * aspectXToY)), 1, w);
    } else {
        height =
            std::clamp(static_cast<int>(std::lround(static_cast<float>(w) / aspectXToY)), 1, h);
    }
    return {(w - width) / 2, (h - height) / 2, width, height};
}

CVector3D ViewPlaneMove(ViewProjection const& projection, float depth, float dx, float dy,
                        int width, int height) {
    float const perX = 2 * depth * projection.tanHalfX / static_cast<float>(width > 0 ? width : 1);
    float const perY =
        2 * depth * projection.tanHalfY / static_cast<float>(height > 0 ? height : 1);
    return projection.right * (dx * perX) + projection.up * (-dy * perY);
}

TQ3CameraPlacement Orbit(TQ3CameraPlacement const& placement, float across, float along) {
    CVector3D const up = Normalise(CVector3D(placement.upVector));
    CVector3D offset = Between(placement.pointOfInterest, placement.cameraLocation);
    offset = Turned(offset, up, -across);
    CVector3D const right = Normalise(CrossProduct(-offset, up));
    CVector3D turned = Turned(offset, right, -along);
    // Never over the top: the line of sight stays away from the up vector.
    if (Pythag(CrossProduct(Normalise(turned), up)) > 0.05f) {
        offset = turned;
    }
    TQ3CameraPlacement moved = placement;
    moved.cameraLocation = Plus(placement.pointOfInterest, offset);
    return moved;
}

TQ3CameraPlacement Pan(TQ3CameraPlacement const& placement, CVector3D const& move) {
    TQ3CameraPlacement moved = placement;
    moved.cameraLocation = Plus(placement.cameraLocation, move);
    moved.pointOfInterest = Plus(placement.pointOfInterest, move);
    return moved;
}

TQ3CameraPlacement Dolly(TQ3CameraPlacement const& placement, float factor) {
    CVector3D const offset = Between(placement.pointOfInterest, placement.cameraLocation);
    float const distance = Pythag(offset);
    float const wanted = std::fmax(distance * factor, 0.001f);
    TQ3CameraPlacement moved = placement;
    if (distance > 0) {
        moved.cameraLocation = Plus(placement.pointOfInterest, offset * (wanted / distance));
    }
    return moved;
}

} // namespace refhost::window
