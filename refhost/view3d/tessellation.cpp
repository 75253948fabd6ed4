#include "refhost/view3d/tessellation.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "host/vectors.h"

namespace refhost::view3d {

using namespace refhost::scene;

namespace {

TQ3Point3D Plus(TQ3Point3D p, TQ3Vector3D const& v, float s) {
    return {p.x + v.x * s, p.y + v.y * s, p.z + v.z * s};
}

void AddQuad(Tessellation& out, std::array<TQ3Point3D, 4> const& p,
             std::array<TQ3Param2D, 4> const& uv, OpaqueTQ3Object* set) {
    auto corner = [&](std::size_t k) { return Corner{p[k], uv[k], {0, 0, 0}, set}; };
    out.triangles.push_back({corner(0), corner(1), corner(2)});
    out.triangles.push_back({corner(0), corner(2), corner(3)});
}

Tessellation BoxFaces(Box const& box) {
    Tessellation out;
    std::array<TQ3Vector3D, 3> const axes{box.minorAxis, box.orientation, box.majorAxis};
    std::array<TQ3Param2D, 4> const uv{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        TQ3Vector3D const& a = axes[(axis + 1) % 3];
        TQ3Vector3D const& b = axes[(axis + 2) % 3];
        for (std::size_t end = 0; end < 2; ++end) {
            TQ3Point3D const base = Plus(box.origin, axes[axis], static_cast<float>(end));
            std::array<TQ3Point3D, 4> const p{base, Plus(base, a, 1), Plus(Plus(base, a, 1), b, 1),
                                              Plus(base, b, 1)};
            AddQuad(out, p, uv, box.faceSets[axis * 2 + end]);
        }
    }
    return out;
}

TQ3Param2D SurfaceUV(OpaqueTQ3Object* set) {
    auto* attributes = As<AttributeSet>(set);
    return attributes && attributes->surfaceUV ? *attributes->surfaceUV : TQ3Param2D{0, 0};
}

Tessellation TriangleFace(Triangle const& triangle) {
    Tessellation out;
    std::array<Corner, 3> corners;
    for (std::size_t i = 0; i < 3; ++i) {
        Vertex const& v = triangle.vertices[i];
        corners[i] = Corner{v.point, SurfaceUV(v.set), {0, 0, 0}, v.set};
    }
    out.triangles.push_back(corners);
    return out;
}

Tessellation MeshFaces(TriMesh const& mesh) {
    Tessellation out;
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        OpaqueTQ3Object* set = t < mesh.faceSets.size() ? mesh.faceSets[t] : nullptr;
        std::array<Corner, 3> corners;
        for (std::size_t k = 0; k < 3; ++k) {
            uint32_t const index = mesh.triangles[t][k];
            if (index >= mesh.points.size()) {
                throw std::runtime_error("triangle mesh: triangle " + std::to_string(t) +
                                         " names point " + std::to_string(index) + " of " +
                                         std::to_string(mesh.points.size()));
            }
            corners[k] = Corner{
                mesh.points[index], index < mesh.uvs.size() ? mesh.uvs[index] : TQ3Param2D{0, 0},
                index < mesh.normals.size() ? Normalise(mesh.normals[index]) : CVector3D{0, 0, 0},
                set};
        }
        out.triangles.push_back(corners);
    }
    return out;
}

// A B-spline basis of one direction: the order, the knots and the number of points.
struct Basis {
    std::size_t order;
    std::vector<float> const& knots;
    std::size_t count;

    void Check(char const* what) const {
        std::string const where = std::string(what) + ": ";
        if (order < 2 || count < order) {
            throw std::runtime_error(where + "order " + std::to_string(order) + " needs at least " +
                                     "that many control points, found " + std::to_string(count));
        }
        if (knots.size() != count + order) {
            throw std::runtime_error(where + "expected " + std::to_string(count + order) +
                                     " knots, found " + std::to_string(knots.size()));
        }
        if (!std::is_sorted(knots.begin(), knots.end())) {
            throw std::runtime_error(where + "the knots decrease");
        }
        if (!(Last() > First())) {
            throw std::runtime_error(where + "the knots span no parameter range");
        }
    }
    float First() const { return knots[order - 1]; }
    float Last() const { return knots[count]; }

    // The weights of every control point at t (Cox-de Boor, the last span closed at its end).
    std::vector<double> At(float t) const {
        std::size_t span = order - 1;
        while (span + 1 < count && t >= knots[span + 1]) {
            ++span;
        }
        std::vector<double> n(count + order, 0.0);
        n[span] = 1.0;
        for (std::size_t k = 2; k <= order; ++k) {
            for (std::size_t i = 0; i + k <= count + order - 1; ++i) {
                double value = 0;
                double const d1 = double{knots[i + k - 1]} - knots[i];
                double const d2 = double{knots[i + k]} - knots[i + 1];
                if (d1 > 0) {
                    value += (t - double{knots[i]}) / d1 * n[i];
                }
                if (d2 > 0) {
                    value += (double{knots[i + k]} - t) / d2 * n[i + 1];
                }
                n[i] = value;
            }
        }
        n.resize(count);
        return n;
    }
};

TQ3Point3D Homogeneous(std::array<double, 4> const& sum, char const* what) {
    if (sum[3] == 0) {
        throw std::runtime_error(std::string(what) + ": the weights add up to zero");
    }
    return {static_cast<float>(sum[0] / sum[3]), static_cast<float>(sum[1] / sum[3]),
            static_cast<float>(sum[2] / sum[3])};
}

float Lerp(float a, float b, int i, int n) {
    return a + (b - a) * static_cast<float>(i) / static_cast<float>(n);
}

Tessellation CurveSegments(NURBCurve const& curve) {
    Basis const basis{curve.order, curve.knots, curve.controlPoints.size()};
    basis.Check("NURB curve");
    int const samples =
        kCurveSamples * static_cast<int>(curve.controlPoints.size() - curve.order + 1);
    Tessellation out;
    TQ3Point3D previous = CurvePoint(curve, basis.First());
    for (int i = 1; i <= samples; ++i) {
        TQ3Point3D const next = CurvePoint(curve, Lerp(basis.First(), basis.Last(), i, samples));
        out.segments.push_back({previous, next});
        previous = next;
    }
    return out;
}

Tessellation PatchFaces(NURBPatch const& patch) {
    if (patch.controlPoints.size() != std::size_t{patch.rows} * patch.columns) {
        throw std::runtime_error("NURB patch: expected rows x columns control points");
    }
    Basis const u{patch.uOrder, patch.uKnots, patch.columns};
    Basis const v{patch.vOrder, patch.vKnots, patch.rows};
    u.Check("NURB patch (u)");
    v.Check("NURB patch (v)");
    int const nu = kPatchSamples * static_cast<int>(patch.columns - patch.uOrder + 1);
    int const nv = kPatchSamples * static_cast<int>(patch.rows - patch.vOrder + 1);
    std::vector<Corner> grid;
    for (int j = 0; j <= nv; ++j) {
        std::vector<double> const wv = v.At(Lerp(v.First(), v.Last(), j, nv));
        for (int i = 0; i <= nu; ++i) {
            std::vector<double> const wu = u.At(Lerp(u.First(), u.Last(), i, nu));
            std::array<double, 4> sum{};
            for (std::size_t row = 0; row < patch.rows; ++row) {
                for (std::size_t column = 0; column < patch.columns; ++column) {
                    double const w = wv[row] * wu[column];
                    auto const& p = patch.controlPoints[row * patch.columns + column];
                    for (std::size_t k = 0; k < 4; ++k) {
                        sum[k] += w * p[k];
                    }
                }
            }
            grid.push_back(Corner{Homogeneous(sum, "NURB patch"),
                                  {static_cast<float>(i) / static_cast<float>(nu),
                                   static_cast<float>(j) / static_cast<float>(nv)},
                                  {0, 0, 0},
                                  nullptr});
        }
    }
    Tessellation out;
    auto at = [&](int i, int j) { return grid[static_cast<std::size_t>(j * (nu + 1) + i)]; };
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            out.triangles.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            out.triangles.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    }
    return out;
}

} // namespace

TQ3Point3D CurvePoint(NURBCurve const& curve, float t) {
    Basis const basis{curve.order, curve.knots, curve.controlPoints.size()};
    basis.Check("NURB curve");
    std::vector<double> const weights = basis.At(std::clamp(t, basis.First(), basis.Last()));
    std::array<double, 4> sum{};
    for (std::size_t i = 0; i < weights.size(); ++i) {
        for (std::size_t k = 0; k < 4; ++k) {
            sum[k] += weights[i] * curve.controlPoints[i][k];
        }
    }
    return Homogeneous(sum, "NURB curve");
}

Tessellation Tessellate(Geometry const& geometry) {
    if (auto const* box = dynamic_cast<Box const*>(&geometry)) {
        return BoxFaces(*box);
    }
    if (auto const* triangle = dynamic_cast<Triangle const*>(&geometry)) {
        return TriangleFace(*triangle);
    }
    if (auto const* mesh = dynamic_cast<TriMesh const*>(&geometry)) {
        return MeshFaces(*mesh);
    }
    if (auto const* curve = dynamic_cast<NURBCurve const*>(&geometry)) {
        return CurveSegments(*curve);
    }
    if (auto const* patch = dynamic_cast<NURBPatch const*>(&geometry)) {
        return PatchFaces(*patch);
    }
    return {};
}

} // namespace refhost::view3d
