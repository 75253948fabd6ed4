#include "interp/matrix_tween.h"

#include "host/matrix4x4.h"
#include "host/quaternion.h"
#include "interp/value_tween.h"

namespace {

// Same rotation at both ends: an entry-by-entry blend is exact for the rotation and moves
// every point, the pivot included, on a straight line.
void BlendEntries(TQ3Matrix4x4* current, TQ3Matrix4x4 const& target, float f) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            TweenFloat(current->value[i][j], target.value[i][j], f);
        }
    }
}

// a * (1 - f) + f * b with the weight and the sum in double and f * b in float. Kept to
// this exact rounding so that a document plays back the very matrices it always has.
float Mix(float a, float b, float f) {
    return static_cast<float>(static_cast<double>(a) * (1.0 - static_cast<double>(f)) +
                              static_cast<double>(f * b));
}

// The two matrices with their rotations divided out, and the blended rotation.
struct Decomposed {
    CMatrix4x4 unrotatedA, unrotatedB;
    CMatrix4x4 scaleA, scaleB;
    CMatrix4x4 rotation;
};

Decomposed Decompose(CMatrix4x4 const& a, CMatrix4x4 const& b, CMatrix4x4 const& rotationA,
                     CMatrix4x4 const& rotationB, float f) {
    Decomposed d{a, b, {}, {}, {}};
    d.unrotatedA *= InverseOf(rotationA);
    d.unrotatedB *= InverseOf(rotationB);
    d.scaleA = d.unrotatedA.ExtractScale();
    d.scaleB = d.unrotatedB.ExtractScale();
    d.rotation = CMatrix4x4(InterpolateLinear(CQuaternion(rotationA), CQuaternion(rotationB), f));
    return d;
}

CMatrix4x4 BlendedScale(Decomposed const& d, float f) {
    CMatrix4x4 scale(1.0);
    for (int i = 0; i < 3; ++i) {
        scale[i][i] = Mix(d.scaleA[i][i], d.scaleB[i][i], f);
    }
    return scale;
}

} // namespace

void TweenMatrix(TQ3Matrix4x4* current, TQ3Matrix4x4 const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    if (f == 1.0f) {
        *current = target;
        return;
    }
    CMatrix4x4 const a(*current);
    CMatrix4x4 const b(target);
    CMatrix4x4 const rotationA = a.ExtractRotation();
    CMatrix4x4 const rotationB = b.ExtractRotation();
    if (rotationA == rotationB) {
        BlendEntries(current, target, f);
        return;
    }
    Decomposed const d = Decompose(a, b, rotationA, rotationB, f);
    CMatrix4x4 scale = BlendedScale(d, f);
    for (int i = 0; i < 3; ++i) {
        scale[3][i] = Mix(d.unrotatedA[3][i], d.unrotatedB[3][i], f);
    }
    *current = scale * d.rotation;
}

void TweenMatrix(TQ3Matrix4x4* current, TQ3Matrix4x4 const& target, float f,
                 CPoint3D const& pivot) {
    if (f == 0.0f) {
        return;
    }
    if (f == 1.0f) {
        *current = target;
        return;
    }
    CMatrix4x4 const a(*current);
    CMatrix4x4 const b(target);
    CMatrix4x4 const rotationA = a.ExtractRotation();
    CMatrix4x4 const rotationB = b.ExtractRotation();
    if (rotationA == rotationB) {
        BlendEntries(current, target, f);
        return;
    }
    CPoint3D const pivotAtF = TweenPoint3D(pivot * a, pivot * b, f);
    Decomposed const d = Decompose(a, b, rotationA, rotationB, f);
    // Scale and rotation only; the translation comes from where the pivot has to be.
    CMatrix4x4 const turned = BlendedScale(d, f) * d.rotation;
    CPoint3D const pivotTurned = pivot * turned;
    CVector3D const shift{pivotAtF.x - pivotTurned.x, pivotAtF.y - pivotTurned.y,
                          pivotAtF.z - pivotTurned.z};
    *current = turned * TranslateMat(shift);
}
