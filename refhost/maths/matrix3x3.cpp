#include "host/matrix3x3.h"

#include <cmath>

CMatrix3x3::CMatrix3x3() : CMatrix3x3(1.0) {}

CMatrix3x3::CMatrix3x3(double scale) : TQ3Matrix3x3{} {
    value[0][0] = value[1][1] = static_cast<float>(scale);
    value[2][2] = 1.0f;
}

CMatrix3x3::CMatrix3x3(TQ3Matrix3x3 const& m) : TQ3Matrix3x3(m) {}

CMatrix3x3 CMatrix3x3::operator*(CMatrix3x3 const& other) const {
    CMatrix3x3 product(0.0);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k) {
                sum += static_cast<double>(value[i][k]) * other.value[k][j];
            }
            product.value[i][j] = static_cast<float>(sum);
        }
    }
    return product;
}

CMatrix3x3& CMatrix3x3::operator*=(CMatrix3x3 const& other) {
    return *this = *this * other;
}

bool CMatrix3x3::operator==(CMatrix3x3 const& other) const {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (value[i][j] != other.value[i][j]) {
                return false;
            }
        }
    }
    return true;
}

void CMatrix3x3::Decompose(CVector2D& scale, float& angle, CVector2D& translation) const {
    // The upper 2x2 is ScaleMat * rotation: row 0 is su (cos, sin), row 1 is sv (-sin, cos).
    double ux = value[0][0], uy = value[0][1];
    double vx = value[1][0], vy = value[1][1];
    double su = std::hypot(ux, uy);
    double theta = 0.0;
    double sv = 0.0;
    if (su > 0.0) {
        theta = std::atan2(uy, ux);
        sv = -std::sin(theta) * vx + std::cos(theta) * vy;
    } else {
        sv = std::hypot(vx, vy);
        if (sv > 0.0) {
            theta = std::atan2(-vx, vy);
        }
    }
    scale = CVector2D(static_cast<float>(su), static_cast<float>(sv));
    angle = static_cast<float>(theta);
    translation = CVector2D(value[2][0], value[2][1]);
}

CMatrix3x3 TranslateMat(float du, float dv) {
    CMatrix3x3 m(1.0);
    m[2][0] = du;
    m[2][1] = dv;
    return m;
}

CMatrix3x3 ScaleMat(float su, float sv) {
    CMatrix3x3 m(1.0);
    m[0][0] = su;
    m[1][1] = sv;
    return m;
}

CMatrix3x3 RotateMat(TQ3Point2D const& centre, float radians) {
    CMatrix3x3 rotation(1.0);
    float c = static_cast<float>(std::cos(static_cast<double>(radians)));
    float s = static_cast<float>(std::sin(static_cast<double>(radians)));
    rotation[0][0] = c;
    rotation[0][1] = s;
    rotation[1][0] = -s;
    rotation[1][1] = c;
    return TranslateMat(-centre.x, -centre.y) * rotation * TranslateMat(centre.x, centre.y);
}

CParam2D operator*(CParam2D const& p, CMatrix3x3 const& m) {
    double u = static_cast<double>(p.u) * m[0][0] + static_cast<double>(p.v) * m[1][0] + m[2][0];
    double v = static_cast<double>(p.u) * m[0][1] + static_cast<double>(p.v) * m[1][1] + m[2][1];
    return {static_cast<float>(u), static_cast<float>(v)};
}
