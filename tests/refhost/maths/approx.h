// Approximate comparisons and independent reference computations for the maths tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "host/matrix4x4.h"
#include "host/quaternion.h"

namespace maths_test {

inline constexpr double kPi = 3.14159265358979323846;

inline ::testing::AssertionResult Near(CMatrix4x4 const& actual, CMatrix4x4 const& expected,
                                       double tolerance = 1e-5) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (!(std::fabs(actual[i][j] - expected[i][j]) <= tolerance)) {
                return ::testing::AssertionFailure()
                       << "entry [" << i << "][" << j << "] is " << actual[i][j] << ", expected "
                       << expected[i][j];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Near(TQ3Point3D const& actual, TQ3Point3D const& expected,
                                       double tolerance = 1e-5) {
    if (std::fabs(actual.x - expected.x) <= tolerance &&
        std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not (" << expected.x
           << ", " << expected.y << ", " << expected.z << ")";
}

inline ::testing::AssertionResult Near(TQ3Vector3D const& actual, TQ3Vector3D const& expected,
                                       double tolerance = 1e-5) {
    return Near(TQ3Point3D{actual.x, actual.y, actual.z},
                TQ3Point3D{expected.x, expected.y, expected.z}, tolerance);
}

// Rodrigues' formula, written out independently of the library: v turned by angle about
// the unit axis k, counter-clockwise when k points at the viewer.
inline CVector3D Rodrigues(CVector3D const& v, CVector3D const& k, double angle) {
    double c = std::cos(angle), s = std::sin(angle);
    double kx = k.x, ky = k.y, kz = k.z;
    double dot = kx * v.x + ky * v.y + kz * v.z;
    double cx = ky * v.z - kz * v.y, cy = kz * v.x - kx * v.z, cz = kx * v.y - ky * v.x;
    return {static_cast<float>(v.x * c + cx * s + kx * dot * (1 - c)),
            static_cast<float>(v.y * c + cy * s + ky * dot * (1 - c)),
            static_cast<float>(v.z * c + cz * s + kz * dot * (1 - c))};
}

struct Random {
    std::mt19937 engine{20261206};
    float Uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(engine);
    }
    CVector3D UnitVector() {
        for (;;) {
            CVector3D v{Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1)};
            double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            if (length > 0.1 && length <= 1.0) {
                return {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
                        static_cast<float>(v.z / length)};
            }
        }
    }
};

inline bool IsProperRotation(CMatrix4x4 const& r, double tolerance = 1e-5) {
    CMatrix4x4 product = r;
    // R times its transpose is the identity, and the determinant is +1.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double dot = 0;
            for (int k = 0; k < 3; ++k) {
                dot += static_cast<double>(r[i][k]) * r[j][k];
            }
            if (std::fabs(dot - (i == j ? 1.0 : 0.0)) > tolerance) {
                return false;
            }
        }
    }
    return std::fabs(Determinant(product) - 1.0) <= tolerance * 10;
}

} // namespace maths_test
