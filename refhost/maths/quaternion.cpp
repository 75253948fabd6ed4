#include "host/quaternion.h"

#include <cmath>

namespace {

double Dot(CQuaternion const& a, CQuaternion const& b) {
    return static_cast<double>(a.w) * b.w + static_cast<double>(a.x) * b.x +
           static_cast<double>(a.y) * b.y + static_cast<double>(a.z) * b.z;
}

CQuaternion Normalised(double w, double x, double y, double z) {
    double length = std::sqrt(w * w + x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return {};
    }
    return {static_cast<float>(w / length), static_cast<float>(x / length),
            static_cast<float>(y / length), static_cast<float>(z / length)};
}

} // namespace

CQuaternion::CQuaternion(CMatrix4x4 const& r) : CQuaternion() {
    // Shepperd's method: divide by the largest of the four candidates for stability. The
    // matrix is the transpose of the column-vector form, so r[i][j] is that form's [j][i].
    double m00 = r[0][0], m11 = r[1][1], m22 = r[2][2];
    double trace = m00 + m11 + m22;
    double qw, qx, qy, qz;
    if (trace > 0.0) {
        double s = std::sqrt(trace + 1.0) * 2.0;
        qw = 0.25 * s;
        qx = (static_cast<double>(r[1][2]) - r[2][1]) / s;
        qy = (static_cast<double>(r[2][0]) - r[0][2]) / s;
        qz = (static_cast<double>(r[0][1]) - r[1][0]) / s;
    } else if (m00 > m11 && m00 > m22) {
        double s = std::sqrt(1.0 + m00 - m11 - m22) * 2.0;
        qw = (static_cast<double>(r[1][2]) - r[2][1]) / s;
        qx = 0.25 * s;
        qy = (static_cast<double>(r[1][0]) + r[0][1]) / s;
        qz = (static_cast<double>(r[2][0]) + r[0][2]) / s;
    } else if (m11 > m22) {
        double s = std::sqrt(1.0 + m11 - m00 - m22) * 2.0;
        qw = (static_cast<double>(r[2][0]) - r[0][2]) / s;
        qx = (static_cast<double>(r[1][0]) + r[0][1]) / s;
        qy = 0.25 * s;
        qz = (static_cast<double>(r[2][1]) + r[1][2]) / s;
    } else {
        double s = std::sqrt(1.0 + m22 - m00 - m11) * 2.0;
        qw = (static_cast<double>(r[0][1]) - r[1][0]) / s;
        qx = (static_cast<double>(r[2][0]) + r[0][2]) / s;
        qy = (static_cast<double>(r[2][1]) + r[1][2]) / s;
        qz = 0.25 * s;
    }
    if (qw < 0.0) {
        qw = -qw, qx = -qx, qy = -qy, qz = -qz;
    }
    *this = Normalised(qw, qx, qy, qz);
}

CQuaternion InterpolateLinear(CQuaternion const& a, CQuaternion const& b, float f) {
    double cosine = Dot(a, b);
    double sign = cosine < 0.0 ? -1.0 : 1.0;
    if (f == 0.0f) {
        return a;
    }
    if (f == 1.0f) {
        return sign > 0.0 ? b : CQuaternion(-b.w, -b.x, -b.y, -b.z);
    }
    cosine *= sign;
    double t = f;
    double weightA = 1.0 - t;
    double weightB = t;
    if (cosine < 0.9995) {
        double angle = std::acos(cosine > 1.0 ? 1.0 : cosine);
        double sine = std::sin(angle);
        weightA = std::sin((1.0 - t) * angle) / sine;
        weightB = std::sin(t * angle) / sine;
    }
    weightB *= sign;
    return Normalised(weightA * a.w + weightB * b.w, weightA * a.x + weightB * b.x,
                      weightA * a.y + weightB * b.y, weightA * a.z + weightB * b.z);
}
