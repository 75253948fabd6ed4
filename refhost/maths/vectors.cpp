#include <cmath>

#include "host/vectors.h"

float DotProduct(CVector3D const& a, CVector3D const& b) {
    return static_cast<float>(static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                              static_cast<double>(a.z) * b.z);
}

CVector3D CrossProduct(CVector3D const& a, CVector3D const& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Pythag(CVector3D const& v) {
    return static_cast<float>(std::sqrt(static_cast<double>(v.x) * v.x +
                                        static_cast<double>(v.y) * v.y +
                                        static_cast<double>(v.z) * v.z));
}

CVector3D Normalise(CVector3D const& v) {
    double length = std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y +
                              static_cast<double>(v.z) * v.z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return {};
    }
    return {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
            static_cast<float>(v.z / length)};
}

CVector3D& CVector3D::Normalise() {
    *this = ::Normalise(*this);
    return *this;
}

float AngleBetween(CVector3D const& a, CVector3D const& b) {
    // atan2 of |a x b| and a . b keeps its accuracy where the arc cosine of a rounded
    // cosine loses it: near 0 and near pi.
    double cx = static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y;
    double cy = static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z;
    double cz = static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x;
    double sine = std::sqrt(cx * cx + cy * cy + cz * cz);
    double cosine = static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                    static_cast<double>(a.z) * b.z;
    if (sine == 0.0 && cosine == 0.0) {
        return 0.0f;
    }
    return static_cast<float>(std::atan2(sine, cosine));
}
