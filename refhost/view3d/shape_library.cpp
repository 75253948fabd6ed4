#include "refhost/view3d/shape_library.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

#include "refhost/view3d/tessellation.h"

namespace refhost::view3d {

using namespace refhost::scene;

namespace {

// The geometry as the given kind, or null.
template <typename T>
T const* AsKind(scene::Geometry const& geometry) {
    bool const isOne = (geometry.classes & T::kClasses) == T::kClasses;
    return isOne ? static_cast<T const*>(&geometry) : nullptr;
}

// Appends the content that decides a geometry's shapes to a key, word by word (floats by
// their bits, so that equal keys mean equal shapes).
class KeyWriter {
public:
    explicit KeyWriter(std::vector<uint32_t>& key) : fKey(key) {}

    void Word(uint32_t w) { fKey.push_back(w); }
    void Float(float f) { Word(std::bit_cast<uint32_t>(f)); }
    void Point(TQ3Point3D const& p) { Float(p.x), Float(p.y), Float(p.z); }
    void Vector(TQ3Vector3D const& v) { Float(v.x), Float(v.y), Float(v.z); }
    void Colour(TQ3ColorRGB const& c) { Float(c.r), Float(c.g), Float(c.b); }
    void Floats(float const* f, std::size_t n) {
        Word(static_cast<uint32_t>(n));
        for (std::size_t i = 0; i < n; ++i) {
            Float(f[i]);
        }
    }

    // What a face's or vertex's own set gives its corners: colour, opacity and (for
    // triangles) the texture coordinate.
    void Set(OpaqueTQ3Object* object, bool withUV) {
        auto const* set = As<AttributeSet>(object);
        if (!set) {
            Word(0);
            return;
        }
        bool const uv = withUV && set->surfaceUV;
        Word(1u | (set->diffuse ? 2u : 0u) | (set->transparency ? 4u : 0u) | (uv ? 8u : 0u));
        if (set->diffuse) {
            Colour(*set->diffuse);
        }
        if (set->transparency) {
            Colour(*set->transparency);
        }
        if (uv) {
            Float(set->surfaceUV->u), Float(set->surfaceUV->v);
        }
    }

    void Geometry(scene::Geometry const& geometry) {
        Word(geometry.classes);
        if (auto const* box = AsKind<Box>(geometry)) {
            Point(box->origin);
            Vector(box->orientation), Vector(box->majorAxis), Vector(box->minorAxis);
            for (OpaqueTQ3Object* set : box->faceSets) {
                Set(set, false);
            }
        } else if (auto const* triangle = AsKind<Triangle>(geometry)) {
            for (Vertex const& v : triangle->vertices) {
                Point(v.point);
                Set(v.set, true);
            }
        } else if (auto const* mesh = AsKind<TriMesh>(geometry)) {
            Floats(reinterpret_cast<float const*>(mesh->points.data()), mesh->points.size() * 3);
            Word(static_cast<uint32_t>(mesh->triangles.size()));
            for (auto const& t : mesh->triangles) {
                Word(t[0]), Word(t[1]), Word(t[2]);
            }
            Floats(reinterpret_cast<float const*>(mesh->uvs.data()), mesh->uvs.size() * 2);
            Floats(reinterpret_cast<float const*>(mesh->normals.data()), mesh->normals.size() * 3);
            Word(static_cast<uint32_t>(mesh->faceSets.size()));
            for (OpaqueTQ3Object* set : mesh->faceSets) {
                Set(set, false);
            }
        } else if (auto const* curve = AsKind<NURBCurve>(geometry)) {
            Word(curve->order);
            Floats(reinterpret_cast<float const*>(curve->controlPoints.data()),
                   curve->controlPoints.size() * 4);
            Floats(curve->knots.data(), curve->knots.size());
        } else if (auto const* patch = AsKind<NURBPatch>(geometry)) {
            Word(patch->uOrder), Word(patch->vOrder), Word(patch->rows), Word(patch->columns);
            Floats(reinterpret_cast<float const*>(patch->controlPoints.data()),
                   patch->controlPoints.size() * 4);
            Floats(patch->uKnots.data(), patch->uKnots.size());
            Floats(patch->vKnots.data(), patch->vKnots.size());
        }
    }

private:
    std::vector<uint32_t>& fKey;
};

CVector3D Normal(CPoint3D const& a, CPoint3D const& b, CPoint3D const& c) {
    CVector3D const u = b - a, v = c - a;
    CVector3D n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    return n.Normalise();
}

// A corner's own colour from its set, where the set gives one.
void OwnColour(OpaqueTQ3Object* object, ShapeVertex& v) {
    v.colour = {1, 1, 1, 1};
    v.own = {0, 0};
    auto const* set = As<AttributeSet>(object);
    if (!set) {
        return;
    }
    if (set->diffuse) {
        v.colour[0] = set->diffuse->r, v.colour[1] = set->diffuse->g, v.colour[2] = set->diffuse->b;
        v.own[0] = 1;
    }
    if (set->transparency) {
        v.colour[3] = Opacity(*set->transparency);
        v.own[1] = 1;
    }
}

// Bounds, mean and colour needs of the vertices [range.first, end).
void Measure(ShapeRange& range, std::vector<ShapeVertex> const& vertices) {
    range.count = static_cast<uint32_t>(vertices.size()) - range.first;
    range.low = range.high = vertices[range.first].position;
    range.closed = vertices[range.first].closed > 0;
    float const n = static_cast<float>(range.count);
    for (std::size_t i = range.first; i < vertices.size(); ++i) {
        ShapeVertex const& v = vertices[i];
        for (std::size_t k = 0; k < 3; ++k) {
            range.low[k] = std::min(range.low[k], v.position[k]);
            range.high[k] = std::max(range.high[k], v.position[k]);
            range.centre[k] += v.position[k] / n;
        }
        range.ownTranslucent = range.ownTranslucent || (v.own[1] > 0 && v.colour[3] < 1.0f);
        range.inheritsAlpha = range.inheritsAlpha || v.own[1] == 0;
    }
}

float Dot(CVector3D const& a, CVector3D const& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A point inside the geometry when it is a closed convex shape (a box with volume) in its
// own coordinates; its faces then turn outwards from it. (Placed by a projective matrix, a
// box need not stay convex.)
std::optional<CPoint3D> Inside(Geometry const& geometry, CMatrix4x4 const* world) {
    auto const* box = AsKind<Box>(geometry);
    if (!box || world) {
        return std::nullopt;
    }
    CVector3D const a = box->minorAxis, b = box->orientation, c = box->majorAxis;
    CVector3D const bc{b.y * c.z - b.z * c.y, b.z * c.x - b.x * c.z, b.x * c.y - b.y * c.x};
    if (!(std::fabs(Dot(a, bc)) > 1e-12f)) {
        return std::nullopt; // flat: both sides of it show
    }
    TQ3Point3D const o = box->origin;
    return CPoint3D{o.x + (a.x + b.x + c.x) / 2, o.y + (a.y + b.y + c.y) / 2,
                    o.z + (a.z + b.z + c.z) / 2};
}

CPoint3D Place(TQ3Point3D const& p, CMatrix4x4 const* world) {
    return world ? CPoint3D(p) * *world : CPoint3D(p);
}

// A corner's own normal placed by the inverse of a placing matrix: the plane through the
// corner across the normal, (n, -n.p), goes to inverse * plane, which holds under projective
// matrices too, and keeps the side the normal points to wherever w stays positive.
CVector3D PlacedNormal(Corner const& corner, CMatrix4x4 const& inverse) {
    CVector3D const n = corner.normal;
    float const plane[4] = {n.x, n.y, n.z, -Dot(n, CPoint3D(corner.point) - CPoint3D())};
    float placed[3] = {0, 0, 0};
    for (int row = 0; row < 3; ++row) {
        for (int k = 0; k < 4; ++k) {
            placed[row] += inverse[row][k] * plane[k];
        }
    }
    return Normalise(CVector3D(placed[0], placed[1], placed[2]));
}

} // namespace

std::size_t ShapeLibrary::KeyHash::operator()(std::vector<uint32_t> const& key) const {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t w : key) {
        h = (h ^ w) * 1099511628211ull;
    }
    return static_cast<std::size_t>(h ^ (h >> 29));
}

void ShapeLibrary::BeginFrame() {
    ++fFrame;
    if (fVertices.size() > 2 * fUsedVertices + 65536) {
        fByKey.clear();
        fRanges.clear();
        fLastUsed.clear();
        fVertices.clear();
        ++fGeneration;
    }
    fUsedVertices = 0;
}

ShapeLibrary::Shapes ShapeLibrary::Of(Geometry const& geometry, CMatrix4x4 const* world) {
    fKey.clear();
    KeyWriter key(fKey);
    key.Geometry(geometry);
    if (world) {
        key.Floats(&world->value[0][0], 16);
    }
    auto found = fByKey.find(fKey);
    if (found == fByKey.end()) {
        Shapes const built = Build(geometry, world);
        found = fByKey.emplace(fKey, built).first;
    }
    MarkUsed(found->second);
    return found->second;
}

void ShapeLibrary::MarkUsed(Shapes const& shapes) {
    for (uint32_t i = 0; i < shapes.count; ++i) {
        uint32_t const id = shapes.ids[i];
        if (fLastUsed[id] != fFrame) {
            fLastUsed[id] = fFrame;
            fUsedVertices += fRanges[id].count;
        }
    }
}

ShapeLibrary::Shapes ShapeLibrary::Build(Geometry const& geometry, CMatrix4x4 const* world) {
    Tessellation const shape = Tessellate(geometry);
    Shapes out;
    auto add = [&](ShapeRange range) {
        if (range.first == fVertices.size()) {
            return;
        }
        Measure(range, fVertices);
        out.ids[out.count++] = static_cast<uint32_t>(fRanges.size());
        fRanges.push_back(range);
        fLastUsed.push_back(0);
    };
    ShapeRange lines;
    lines.lines = true;
    lines.first = static_cast<uint32_t>(fVertices.size());
    for (auto const& segment : shape.segments) {
        for (TQ3Point3D const& point : segment) {
            CPoint3D const p = Place(point, world);
            fVertices.push_back({{p.x, p.y, p.z}, {0, 0, 0}, {0, 0}, {1, 1, 1, 1}, {0, 0}, 0});
        }
    }
    add(lines);
    ShapeRange triangles;
    triangles.first = static_cast<uint32_t>(fVertices.size());
    std::optional<CPoint3D> const inside = Inside(geometry, world);
    std::optional<CMatrix4x4> const inverse =
        world ? std::optional<CMatrix4x4>(InverseOf(*world)) : std::nullopt;
    for (auto const& triangle : shape.triangles) {
        std::array<CPoint3D, 3> p;
        for (std::size_t k = 0; k < 3; ++k) {
            p[k] = Place(triangle[k].point, world);
        }
        CVector3D normal = Normal(p[0], p[1], p[2]);
        if (normal == TQ3Vector3D{0, 0, 0}) {
            continue; // a triangle without area shows nothing
        }
        if (inside && Dot(normal, p[0] - *inside) < 0) {
            normal = -normal;
        }
        for (std::size_t k = 0; k < 3; ++k) {
            Corner const& corner = triangle[k];
            CVector3D const own = inverse ? PlacedNormal(corner, *inverse) : corner.normal;
            CVector3D const n = ShadingNormal(own, normal);
            ShapeVertex v{{p[k].x, p[k].y, p[k].z},
                          {n.x, n.y, n.z},
                          {triangle[k].uv.u, triangle[k].uv.v},
                          {},
                          {},
                          inside ? 1.0f : 0.0f};
            OwnColour(triangle[k].set, v);
            fVertices.push_back(v);
        }
    }
    add(triangles);
    return out;
}

} // namespace refhost::view3d
