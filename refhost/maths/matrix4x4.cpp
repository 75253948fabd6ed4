#include "host/matrix4x4.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "host/quaternion.h"

namespace {

using Row = std::array<double, 3>;

double Dot(Row const& a, Row const& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Row Cross(Row const& a, Row const& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Row Scaled(Row const& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}

Row Minus(Row const& a, Row const& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

double Length(Row const& a) {
    return std::sqrt(Dot(a, a));
}

std::array<Row, 3> UpperRows(CMatrix4x4 const& m) {
    std::array<Row, 3> rows;
    for (int i = 0; i < 3; ++i) {
        rows[i] = {m[i][0], m[i][1], m[i][2]};
    }
    return rows;
}

// A unit vector perpendicular to u: u crossed with the coordinate axis it is least
// aligned with.
Row Perpendicular(Row const& u) {
    int axis = 0;
    for (int i = 1; i < 3; ++i) {
        if (std::fabs(u[i]) < std::fabs(u[axis])) {
            axis = i;
        }
    }
    Row e{0.0, 0.0, 0.0};
    e[axis] = 1.0;
    Row p = Cross(u, e);
    return Scaled(p, 1.0 / Length(p));
}

// The orthonormal rows of the rotation part (see the decomposition rules in the header).
std::array<Row, 3> RotationRows(std::array<Row, 3> const& rows) {
    double largest = std::max({Length(rows[0]), Length(rows[1]), Length(rows[2])});
    if (!(largest > 0.0) || !std::isfinite(largest)) {
        return {Row{1.0, 0.0, 0.0}, Row{0.0, 1.0, 0.0}, Row{0.0, 0.0, 1.0}};
    }
    // Gram-Schmidt in the order x, y, z; a row with nothing left of its own is collapsed.
    double tolerance = largest * 1e-9;
    std::array<Row, 3> u{};
    std::array<bool, 3> found{};
    int foundCount = 0;
    for (int i = 0; i < 3; ++i) {
        Row v = rows[i];
        for (int k = 0; k < i; ++k) {
            if (found[k]) {
                v = Minus(v, Scaled(u[k], Dot(v, u[k])));
            }
        }
        double length = Length(v);
        if (length > tolerance) {
            u[i] = Scaled(v, 1.0 / length);
            found[i] = true;
            ++foundCount;
        }
    }
    if (foundCount == 3) {
        Row proper = Cross(u[0], u[1]);
        if (Dot(u[2], proper) < 0.0) {
            // Mirrored: reverse the axis that the matrix reverses most, so the mirror lands
            // in that axis's scale.
            int axis = 0;
            for (int i = 1; i < 3; ++i) {
                if (u[i][i] < u[axis][axis]) {
                    axis = i;
                }
            }
            u[axis] = Scaled(u[axis], -1.0);
        }
        u[2] = Cross(u[0], u[1]);
        return u;
    }
    if (foundCount == 2) {
        int missing = !found[0] ? 0 : (!found[1] ? 1 : 2);
        u[missing] = Cross(u[(missing + 1) % 3], u[(missing + 2) % 3]);
        return u;
    }
    int known = found[0] ? 0 : (found[1] ? 1 : 2);
    u[(known + 1) % 3] = Perpendicular(u[known]);
    u[(known + 2) % 3] = Cross(u[known], u[(known + 1) % 3]);
    return u;
}

CMatrix4x4 FromRows(std::array<Row, 3> const& rows) {
    CMatrix4x4 m;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m[i][j] = static_cast<float>(rows[i][j]);
        }
    }
    return m;
}

} // namespace

CMatrix4x4::CMatrix4x4() : CMatrix4x4(1.0) {}

CMatrix4x4::CMatrix4x4(double scale) : TQ3Matrix4x4{} {
    value[0][0] = value[1][1] = value[2][2] = static_cast<float>(scale);
    value[3][3] = 1.0f;
}

CMatrix4x4::CMatrix4x4(TQ3Matrix4x4 const& m) : TQ3Matrix4x4(m) {}

CMatrix4x4::CMatrix4x4(CQuaternion const& q) : CMatrix4x4(1.0) {
    double w = q.w, x = q.x, y = q.y, z = q.z;
    double rows[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y)},
                         {2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x)},
                         {2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y)}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            value[i][j] = static_cast<float>(rows[i][j]);
        }
    }
}

CMatrix4x4 CMatrix4x4::operator*(CMatrix4x4 const& other) const {
    CMatrix4x4 product(0.0);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(value[i][k]) * other.value[k][j];
            }
            product.value[i][j] = static_cast<float>(sum);
        }
    }
    return product;
}

CMatrix4x4& CMatrix4x4::operator*=(CMatrix4x4 const& other) {
    return *this = *this * other;
}

bool CMatrix4x4::operator==(CMatrix4x4 const& other) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (value[i][j] != other.value[i][j]) {
                return false;
            }
        }
    }
    return true;
}

CMatrix4x4 CMatrix4x4::ExtractRotation() const {
    return FromRows(RotationRows(UpperRows(*this)));
}

CMatrix4x4 CMatrix4x4::ExtractScale() const {
    std::array<Row, 3> rows = UpperRows(*this);
    std::array<Row, 3> rotation = RotationRows(rows);
    CMatrix4x4 scale(0.0);
    for (int i = 0; i < 3; ++i) {
        scale.value[i][i] = static_cast<float>(Dot(rows[i], rotation[i]));
    }
    return scale;
}

double Determinant(CMatrix4x4 const& m) {
    // Elimination with partial pivoting in double precision.
    double a[4][4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m[i][j];
        }
    }
    double determinant = 1.0;
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row) {
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column])) {
                pivot = row;
            }
        }
        if (a[pivot][column] == 0.0) {
            return 0.0;
        }
        if (pivot != column) {
            std::swap(a[pivot], a[column]);
            determinant = -determinant;
        }
        determinant *= a[column][column];
        for (int row = column + 1; row < 4; ++row) {
            double factor = a[row][column] / a[column][column];
            for (int j = column; j < 4; ++j) {
                a[row][j] -= factor * a[column][j];
            }
        }
    }
    return determinant;
}

CMatrix4x4 InverseOf(CMatrix4x4 const& m) {
    // Gauss-Jordan elimination with partial pivoting in double precision. A pivot that is
    // negligible beside the matrix's largest entry means the matrix is singular.
    double a[4][8];
    double largest = 0.0;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
            largest = std::max(largest, std::fabs(a[i][j]));
        }
    }
    if (!(largest > 0.0) || !std::isfinite(largest)) {
        return CMatrix4x4(1.0);
    }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row) {
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column])) {
                pivot = row;
            }
        }
        if (std::fabs(a[pivot][column]) <= largest * 1e-12) {
            return CMatrix4x4(1.0);
        }
        std::swap(a[pivot], a[column]);
        double scale = 1.0 / a[column][column];
        for (double& entry : a[column]) {
            entry *= scale;
        }
        for (int row = 0; row < 4; ++row) {
            if (row != column && a[row][column] != 0.0) {
                double factor = a[row][column];
                for (int j = 0; j < 8; ++j) {
                    a[row][j] -= factor * a[column][j];
                }
            }
        }
    }
    CMatrix4x4 inverse(0.0);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            inverse[i][j] = static_cast<float>(a[i][j + 4]);
        }
    }
    return inverse;
}

CMatrix4x4 TranslateMat(CVector3D const& d) {
    CMatrix4x4 m(1.0);
    m[3][0] = d.x;
    m[3][1] = d.y;
    m[3][2] = d.z;
    return m;
}

CMatrix4x4 ScaleMat(CVector3D const& s) {
    CMatrix4x4 m(1.0);
    m[0][0] = s.x;
    m[1][1] = s.y;
    m[2][2] = s.z;
    return m;
}

CMatrix4x4 RotateMat(CVector3D const& axis, float radians) {
    CVector3D n = Normalise(axis);
    if (n == CVector3D()) {
        return CMatrix4x4(1.0);
    }
    double c = std::cos(static_cast<double>(radians));
    double s = std::sin(static_cast<double>(radians));
    double t = 1.0 - c;
    double x = n.x, y = n.y, z = n.z;
    double rows[3][3] = {{c + t * x * x, t * x * y + s * z, t * x * z - s * y},
                         {t * x * y - s * z, c + t * y * y, t * y * z + s * x},
                         {t * x * z + s * y, t * y * z - s * x, c + t * z * z}};
    CMatrix4x4 m(1.0);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m[i][j] = static_cast<float>(rows[i][j]);
        }
    }
    return m;
}

CMatrix4x4 RotateMat(CPoint3D const& centre, CVector3D const& axis, float radians) {
    CVector3D offset{centre.x, centre.y, centre.z};
    return TranslateMat(-offset) * RotateMat(axis, radians) * TranslateMat(offset);
}

CPoint3D operator*(CPoint3D const& p, CMatrix4x4 const& m) {
    double result[4];
    for (int j = 0; j < 4; ++j) {
        result[j] = static_cast<double>(p.x) * m[0][j] + static_cast<double>(p.y) * m[1][j] +
                    static_cast<double>(p.z) * m[2][j] + m[3][j];
    }
    double w = result[3];
    if (w != 1.0 && w != 0.0) {
        for (int j = 0; j < 3; ++j) {
            result[j] /= w;
        }
    }
    return {static_cast<float>(result[0]), static_cast<float>(result[1]),
            static_cast<float>(result[2])};
}

CVector3D operator*(CVector3D const& v, CMatrix4x4 const& m) {
    double result[3];
    for (int j = 0; j < 3; ++j) {
        result[j] = static_cast<double>(v.x) * m[0][j] + static_cast<double>(v.y) * m[1][j] +
                    static_cast<double>(v.z) * m[2][j];
    }
    return {static_cast<float>(result[0]), static_cast<float>(result[1]),
            static_cast<float>(result[2])};
}
