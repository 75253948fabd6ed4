#include "interp/camera_placement_tween.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/vectors.h"
#include "interp/lerp.h"
#include "interp/value_tween.h"

using interp::Lerp;

namespace {

constexpr double kParallel = 0.01; // radians

// The turn about the meeting place of two lines of sight that cross at an angle.
class Swing {
public:
    Swing(CVector3D const& fromSight, CVector3D const& toSight, float angle, float f)
        : nA(fromSight), nB(toSight), fraction(f), sine(std::sin(angle)) {
        axis = Normalise(CrossProduct(nA, nB));
        side = Normalise(CrossProduct(nA, axis));
        float const sineF = std::sin(angle * f);
        float const cosineF = std::cos(angle * f);
        // Minus the line of sight turned by angle * f about the axis.
        swung = side * sineF - nA * cosineF;
    }

    // Where a point that goes from `from` to `to` is at the fraction: its distance along the
    // line of sight from the lines' closest points, blended, measured along the turned line
    // from a point sliding between those closest points.
    CPoint3D Move(CPoint3D const& from, CPoint3D const& to) const {
        CVector3D d = from - to;
        float const a = DotProduct(d, axis);
        d = d - axis * a;
        float const b = DotProduct(d, side) / sine;
        d = d + nB * b;
        float const c = DotProduct(d, nA);
        float const m = c * (1.0f - fraction) + fraction * b;
        return from - nA * c - axis * (fraction * a) - swung * m;
    }

private:
    CVector3D nA, nB;
    float fraction;
    float sine;
    CVector3D axis, side, swung;
};

// A unit vector perpendicular to n (a unit vector): n crossed with the coordinate axis it
// is least aligned with.
CVector3D AnyPerpendicular(CVector3D const& n) {
    float const x = std::fabs(n.x), y = std::fabs(n.y), z = std::fabs(n.z);
    CVector3D const axis = x <= y && x <= z ? CVector3D(1, 0, 0)
                           : y <= z         ? CVector3D(0, 1, 0)
                                            : CVector3D(0, 0, 1);
    return Normalise(CrossProduct(n, axis));
}

// The part of u perpendicular to the unit vector n, made unit length; zero when u is (close
// to) parallel to n, as a direction from it would be noise.
CVector3D PerpendicularPart(CVector3D const& u, CVector3D const& n) {
    CVector3D const rest = u - n * DotProduct(u, n);
    if (!(Pythag(rest) > 1e-4f * Pythag(u))) {
        return {};
    }
    return Normalise(rest);
}

// Opposite lines of sight: the camera has been turned round. A person turning round turns
// about the vertical, so the turn is about the up direction (the earlier one, else the later
// one, made perpendicular to the line of sight), and it pivots on the end that moves less:
// a camera moved to the far side of what it looks at orbits it, a camera turned round on
// the spot stays there. The small part of the later line of sight off the turning plane is
// blended in, so the turn ends exactly on it.
void TurnAround(TQ3CameraPlacement* current, TQ3CameraPlacement const& target, CVector3D const& nA,
                CVector3D const& nB, float f) {
    CPoint3D const fromEye = current->cameraLocation, toEye = target.cameraLocation;
    CPoint3D const fromLook = current->pointOfInterest, toLook = target.pointOfInterest;

    CVector3D axis = PerpendicularPart(current->upVector, nA);
    if (axis == CVector3D()) {
        axis = PerpendicularPart(target.upVector, nA);
    }
    if (axis == CVector3D()) {
        axis = AnyPerpendicular(nA);
    }
    CVector3D const sideways = CrossProduct(axis, nA);
    float const sine = DotProduct(CrossProduct(nA, nB), axis);
    float const cosine = DotProduct(nA, nB);
    // Exactly opposite gives no preferred way round; turn counter-clockwise about the up
    // direction.
    float const angle = sine == 0.0f ? std::numbers::pi_v<float> : std::atan2(sine, cosine);
    float const offPlane = DotProduct(nB, axis);
    float const inPlane = Pythag(nB - axis * offPlane);

    float const turned = angle * f;
    CVector3D const inPlaneSight = nA * std::cos(turned) + sideways * std::sin(turned);
    CVector3D const sight =
        Normalise(inPlaneSight * Lerp(1.0f, inPlane, f) + axis * (f * offPlane));
    float const length = Lerp(Pythag(fromLook - fromEye), Pythag(toLook - toEye), f);

    if (Pythag(toLook - fromLook) <= Pythag(toEye - fromEye)) {
        CPoint3D const look = TweenPoint3D(fromLook, toLook, f);
        current->pointOfInterest = look;
        current->cameraLocation = look - sight * length;
    } else {
        CPoint3D const eye = TweenPoint3D(fromEye, toEye, f);
        current->cameraLocation = eye;
        current->pointOfInterest = eye + sight * length;
    }
}

CVector3D BlendedUp(CVector3D const& from, CVector3D const& to, float f, CVector3D const& sight) {
    CVector3D const up{Lerp(from.x, to.x, f), Lerp(from.y, to.y, f), Lerp(from.z, to.z, f)};
    float const largest = std::max(Pythag(from), Pythag(to));
    CVector3D unit = Normalise(up);
    if (unit != CVector3D() && Pythag(up) > 1e-6f * largest) {
        return unit;
    }
    // The blend cancelled out: the camera rolls a half turn (or no up vector was stored).
    // Halfway through a roll the up vector is perpendicular to where it started.
    for (CVector3D const& candidate : {CrossProduct(sight, from), to, from}) {
        unit = Normalise(candidate);
        if (unit != CVector3D()) {
            return unit;
        }
    }
    return sight == CVector3D() ? CVector3D(0, 1, 0) : AnyPerpendicular(sight);
}

} // namespace

void TweenCameraPlacement(TQ3CameraPlacement* current, TQ3CameraPlacement const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    CPoint3D const fromEye = current->cameraLocation, toEye = target.cameraLocation;
    CPoint3D const fromLook = current->pointOfInterest, toLook = target.pointOfInterest;
    CVector3D const nA = Normalise(fromLook - fromEye);
    CVector3D const nB = Normalise(toLook - toEye);
    float const angle = AngleBetween(nA, nB);

    if (std::fabs(static_cast<double>(angle)) < kParallel) {
        current->cameraLocation = TweenPoint3D(fromEye, toEye, f);
        current->pointOfInterest = TweenPoint3D(fromLook, toLook, f);
    } else if (static_cast<double>(angle) > std::numbers::pi - kParallel) {
        TurnAround(current, target, nA, nB, f);
    } else {
        Swing const swing(nA, nB, angle, f);
        current->cameraLocation = swing.Move(fromEye, toEye);
        current->pointOfInterest = swing.Move(fromLook, toLook);
    }

    CVector3D const sight =
        Normalise(CPoint3D(current->pointOfInterest) - CPoint3D(current->cameraLocation));
    current->upVector = BlendedUp(current->upVector, target.upVector, f, sight);
}
