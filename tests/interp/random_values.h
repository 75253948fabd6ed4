// Reproducible random inputs for the blend properties, and a bitwise comparison.
#pragma once

#include <cstring>
#include <random>

#include "host/matrix4x4.h"
#include "host/vectors.h"

class RandomValues {
public:
    explicit RandomValues(unsigned seed) : engine(seed) {}

    float Uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(engine);
    }
    CVector3D Vector(float range) {
        return {Uniform(-range, range), Uniform(-range, range), Uniform(-range, range)};
    }
    CPoint3D Point(float range) {
        CVector3D v = Vector(range);
        return {v.x, v.y, v.z};
    }
    // Positive scale, then a turn about a random axis, then a shift.
    CMatrix4x4 Transform() {
        return ScaleMat({Uniform(0.2f, 3), Uniform(0.2f, 3), Uniform(0.2f, 3)}) *
               RotateMat(Vector(1), Uniform(-3.1f, 3.1f)) * TranslateMat(Vector(20));
    }

private:
    std::mt19937 engine;
};

template <typename T>
bool SameBits(T const& a, T const& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}
