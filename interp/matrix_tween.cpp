#include "interp/matrix_tween.h"

#include <array>
#include <cmath>
#include <cstring>

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

// The two matrices with their rotations divided out.
struct Decomposed {
    CMatrix4x4 unrotatedA, unrotatedB;
    CMatrix4x4 scaleA, scaleB;
};

Decomposed Decompose(CMatrix4x4 const& a, CMatrix4x4 const& b, CMatrix4x4 const& rotationA,
                     CMatrix4x4 const& rotationB) {
    Decomposed d{a, b, {}, {}};
    d.unrotatedA *= InverseOf(rotationA);
    d.unrotatedB *= InverseOf(rotationB);
    d.scaleA = d.unrotatedA.ExtractScale();
    d.scaleB = d.unrotatedB.ExtractScale();
    return d;
}

std::array<float, 3> Diagonal(CMatrix4x4 const& scale) {
    return {scale[0][0], scale[1][1], scale[2][2]};
}

CMatrix4x4 BlendedScale(std::array<float, 3> const& from, std::array<float, 3> const& to, float f) {
    CMatrix4x4 scale(1.0);
    for (int i = 0; i < 3; ++i) {
        scale[i][i] = Mix(from[static_cast<std::size_t>(i)], to[static_cast<std::size_t>(i)], f);
    }
    return scale;
}

// The two products of a blend about a pivot have fixed shapes: a diagonal scale times a
// rotation (both with last row and column 0, 0, 0, 1), and that times a translation. The
// library's product sums a[i][k] * b[k][j] over k in double, starting from 0.0; where every
// term but one multiplies a zero entry, the sum is that one term, or +0 when it is zero.
// So ScaleRows and Translated give the library's products bit for bit with 9 multiplications
// instead of 128, as long as the entries are finite (zero times an infinity is no zero);
// they answer false, changing nothing, and the caller multiplies otherwise.
float SingleTerm(double term) {
    return term == 0.0 ? 0.0f : static_cast<float>(term);
}

// The rotation (last row and column 0, 0, 0, 1) becomes the product of the diagonal scale
// and itself.
bool ScaleRows(std::array<float, 3> const& scale, CMatrix4x4* rotation) {
    CMatrix4x4& m = *rotation;
    for (std::size_t i = 0; i < 3; ++i) {
        auto const row = static_cast<int>(i);
        if (!std::isfinite(scale[i]) || !std::isfinite(m[row][0]) || !std::isfinite(m[row][1]) ||
            !std::isfinite(m[row][2])) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        auto const s = static_cast<double>(scale[static_cast<std::size_t>(i)]);
        for (int j = 0; j < 3; ++j) {
            m[i][j] = SingleTerm(s * m[i][j]);
        }
    }
    return true;
}

bool Translated(CMatrix4x4* turned, CVector3D const& shift) {
    if (!std::isfinite(shift.x) || !std::isfinite(shift.y) || !std::isfinite(shift.z)) {
        return false;
    }
    (*turned)[3][0] = SingleTerm(shift.x);
    (*turned)[3][1] = SingleTerm(shift.y);
    (*turned)[3][2] = SingleTerm(shift.z);
    return true;
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
    Decomposed const d = Decompose(a, b, rotationA, rotationB);
    CMatrix4x4 const rotation(InterpolateLinear(CQuaternion(rotationA), CQuaternion(rotationB), f));
    CMatrix4x4 scale = BlendedScale(Diagonal(d.scaleA), Diagonal(d.scaleB), f);
    for (int i = 0; i < 3; ++i) {
        scale[3][i] = Mix(d.unrotatedA[3][i], d.unrotatedB[3][i], f);
    }
    *current = scale * rotation;
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
    *current = CPivotMatrixBlend(*current, target, pivot).At(f);
}

CPivotMatrixBlend::CPivotMatrixBlend(TQ3Matrix4x4 const& from, TQ3Matrix4x4 const& to,
                                     CPoint3D const& pivot)
    : fMade(true), fFrom(from), fTo(to), fPivot(pivot) {
    CMatrix4x4 const a(from);
    CMatrix4x4 const b(to);
    CMatrix4x4 const rotationA = a.ExtractRotation();
    CMatrix4x4 const rotationB = b.ExtractRotation();
    fSameRotation = rotationA == rotationB;
    if (fSameRotation) {
        return;
    }
    fPivotFrom = pivot * a;
    fPivotTo = pivot * b;
    Decomposed const d = Decompose(a, b, rotationA, rotationB);
    fScaleFrom = Diagonal(d.scaleA);
    fScaleTo = Diagonal(d.scaleB);
    fRotationFrom = CQuaternion(rotationA);
    fRotationTo = CQuaternion(rotationB);
}

CPlacementParts PlacementPartsOf(TQ3Matrix4x4 const& m) {
    CMatrix4x4 const matrix(m);
    CMatrix4x4 const rotation = matrix.ExtractRotation();
    CMatrix4x4 unrotated = matrix;
    unrotated *= InverseOf(rotation);
    CPlacementParts parts;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            parts.rotation[static_cast<std::size_t>(i * 3 + j)] = rotation[i][j];
        }
    }
    parts.quaternion = CQuaternion(rotation);
    parts.scale = Diagonal(unrotated.ExtractScale());
    return parts;
}

CPivotMatrixBlend::CPivotMatrixBlend(TQ3Matrix4x4 const& from, CPlacementParts const& fromParts,
                                     TQ3Matrix4x4 const& to, CPlacementParts const& toParts,
                                     CPoint3D const& pivot)
    : fMade(true), fFrom(from), fTo(to), fPivot(pivot) {
    // The rotations' last rows and columns are those of the identity: the upper 3x3 decide
    // equality as CMatrix4x4's comparison does (by value).
    fSameRotation = true;
    for (std::size_t k = 0; k < 9; ++k) {
        fSameRotation = fSameRotation && fromParts.rotation[k] == toParts.rotation[k];
    }
    if (fSameRotation) {
        return;
    }
    fPivotFrom = pivot * CMatrix4x4(from);
    fPivotTo = pivot * CMatrix4x4(to);
    fScaleFrom = fromParts.scale;
    fScaleTo = toParts.scale;
    fRotationFrom = fromParts.quaternion;
    fRotationTo = toParts.quaternion;
}

bool CPivotMatrixBlend::IsFor(TQ3Matrix4x4 const& from, TQ3Matrix4x4 const& to,
                              CPoint3D const& pivot) const {
    return fMade && std::memcmp(&fFrom, &from, sizeof from) == 0 &&
           std::memcmp(&fTo, &to, sizeof to) == 0 &&
           std::memcmp(&fPivot, &pivot, sizeof pivot) == 0;
}

TQ3Matrix4x4 CPivotMatrixBlend::At(float f) const {
    if (f == 0.0f) {
        return fFrom;
    }
    if (f == 1.0f) {
        return fTo;
    }
    if (fSameRotation) {
        TQ3Matrix4x4 blended = fFrom;
        BlendEntries(&blended, fTo, f);
        return blended;
    }
    CPoint3D const pivotAtF = TweenPoint3D(fPivotFrom, fPivotTo, f);
    // Scale and rotation only; the translation comes from where the pivot has to be.
    CMatrix4x4 turned(InterpolateLinear(fRotationFrom, fRotationTo, f));
    std::array<float, 3> const scale{Mix(fScaleFrom[0], fScaleTo[0], f),
                                     Mix(fScaleFrom[1], fScaleTo[1], f),
                                     Mix(fScaleFrom[2], fScaleTo[2], f)};
    if (!ScaleRows(scale, &turned)) {
        CMatrix4x4 const rotation = turned;
        turned = BlendedScale(fScaleFrom, fScaleTo, f) * rotation;
    }
    CPoint3D const pivotTurned = fPivot * turned;
    CVector3D const shift{pivotAtF.x - pivotTurned.x, pivotAtF.y - pivotTurned.y,
                          pivotAtF.z - pivotTurned.z};
    if (Translated(&turned, shift)) {
        return turned;
    }
    return turned * TranslateMat(shift);
}
