#include "refhost/view3d/scene_gather.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "host/four_char_code.h"
#include "host/matrix4x4.h"
#include "refhost/view3d/inherited_surface.h"

namespace refhost::view3d {

using namespace refhost::scene;

namespace {

using Inherited = InheritedSurface;

// The rows of an instance's placement: world coordinate j is row j dotted with (x, y, z, 1).
InstanceData Placement(CMatrix4x4 const& m) {
    InstanceData data{};
    for (int j = 0; j < 3; ++j) {
        data.rows[j] = {m[0][j], m[1][j], m[2][j], m[3][j]};
    }
    return data;
}

// The frame's materials, each kept once however many geometries use it.
class MaterialTable {
public:
    explicit MaterialTable(std::vector<Material>& materials) : fMaterials(materials) {}

    uint32_t Of(bool lit, Surface const& surface) {
        Key key{};
        std::size_t n = 0;
        auto put = [&key, &n](float f) { key[n++] = std::bit_cast<uint32_t>(f); };
        key[n++] = lit ? 1 : 0;
        put(surface.specular.r), put(surface.specular.g), put(surface.specular.b);
        put(surface.shininess), put(surface.ambientCoefficient);
        for (auto const& row : surface.uvTransform.value) {
            for (float f : row) {
                put(f);
            }
        }
        auto const texture = reinterpret_cast<uintptr_t>(surface.texture);
        key[n++] = static_cast<uint32_t>(texture);
        key[n++] = static_cast<uint32_t>(uint64_t{texture} >> 32);
        if (!fMaterials.empty() && key == fLast) {
            return fLastId; // neighbouring geometries mostly share their material
        }
        auto [found, added] = fIds.try_emplace(key, static_cast<uint32_t>(fMaterials.size()));
        if (added) {
            fMaterials.push_back({lit, surface});
        }
        fLast = key;
        fLastId = found->second;
        return fLastId;
    }

private:
    using Key = std::array<uint32_t, 17>;
    struct KeyHash {
        std::size_t operator()(Key const& key) const {
            uint64_t h = 1469598103934665603ull;
            for (uint32_t w : key) {
                h = (h ^ w) * 1099511628211ull;
            }
            return static_cast<std::size_t>(h);
        }
    };
    std::vector<Material>& fMaterials;
    std::unordered_map<Key, uint32_t, KeyHash> fIds;
    Key fLast{};
    uint32_t fLastId = 0;
};

class Gatherer {
public:
    Gatherer(ShapeLibrary& shapes, DrawList& out)
        : fShapes(shapes), fOut(out), fMaterials(out.materials) {}

    void Visit(OpaqueTQ3Object* object, CMatrix4x4 const& matrix, Inherited state, bool selected) {
        if (!object) {
            return;
        }
        state.Apply(object->set);
        if (auto* group = As<Group>(object)) {
            if (group->IsDrawn()) {
                VisitMembers(*group, matrix, state, selected);
            }
        } else if (auto* geometry = As<Geometry>(object)) {
            AddGeometry(*geometry, matrix, state, selected);
        } else if (auto* light = As<Light>(object)) {
            AddLight(*light, matrix);
        }
    }

private:
    void VisitMembers(Group& group, CMatrix4x4 matrix, Inherited state, bool selected) {
        bool const top = fDepth++ == 0;
        for (OpaqueTQ3GroupPosition* p = group.first; p; p = p->next) {
            OpaqueTQ3Object* member = p->object;
            if (top) {
                fMember = member;
            }
            if (auto* transform = As<Transform>(member)) {
                matrix = transform->matrix * matrix;
            } else if (As<AttributeSet>(member)) {
                state.Apply(member);
            } else if (auto* shader = As<TextureShader>(member)) {
                state.shader = shader;
            } else {
                Visit(member, matrix, state, selected);
            }
        }
        --fDepth;
    }

    void AddGeometry(Geometry const& geometry, CMatrix4x4 const& matrix, Inherited const& state,
                     bool selected) {
        // A projective matrix (one that divides by w) cannot be an instance's placement: the
        // geometry is then placed beforehand, in a shape of its own.
        bool const placeable = matrix[0][3] == 0 && matrix[1][3] == 0 && matrix[2][3] == 0 &&
                               (matrix[3][3] == 1 || matrix[3][3] == 0);
        ShapeLibrary::Shapes const shapes = fShapes.Of(geometry, placeable ? nullptr : &matrix);
        if (shapes.count == 0) {
            return;
        }
        Surface surface;
        surface.specular = state.specular.value_or(TQ3ColorRGB{0, 0, 0});
        surface.shininess = state.specularControl.value_or(4.0f);
        surface.ambientCoefficient = state.ambientCoefficient.value_or(1.0f);
        if (state.shader) {
            surface.texture = As<Texture>(state.shader->texture);
            surface.uvTransform = state.shader->uvTransform;
        }
        Instance instance;
        instance.selected = selected;
        instance.geometry = const_cast<Geometry*>(&geometry);
        instance.member = fMember;
        instance.data = Placement(placeable ? matrix : CMatrix4x4());
        TQ3ColorRGB const c = state.diffuse.value_or(TQ3ColorRGB{1, 1, 1});
        float const alpha = Opacity(state.transparency.value_or(TQ3ColorRGB{1, 1, 1}));
        instance.data.colour = {c.r, c.g, c.b, alpha};
        for (uint32_t i = 0; i < shapes.count; ++i) {
            ShapeRange const& range = fShapes.Range(shapes.ids[i]);
            instance.shape = shapes.ids[i];
            instance.material = fMaterials.Of(!range.lines, surface);
            instance.transparent = range.ownTranslucent || (range.inheritsAlpha && alpha < 1.0f);
            fOut.instances.push_back(instance);
        }
    }

    void AddLight(Light const& light, CMatrix4x4 const& matrix) {
        if (!light.common.isOn) {
            return;
        }
        float const b = light.common.brightness;
        TQ3ColorRGB const colour{light.common.color.r * b, light.common.color.g * b,
                                 light.common.color.b * b};
        if (light.Kind() == "ambn"_4cc) {
            fOut.ambient = {fOut.ambient.r + colour.r, fOut.ambient.g + colour.g,
                            fOut.ambient.b + colour.b};
            return;
        }
        DrawLight out;
        out.colour = colour;
        out.location = CPoint3D(light.location) * matrix;
        CVector3D direction = CVector3D(light.direction) * matrix;
        out.direction = direction.Normalise();
        out.attenuation = light.attenuation;
        out.hotAngle = light.hotAngle;
        out.outerAngle = light.outerAngle;
        out.fallOff = light.fallOff;
        switch (light.Kind()) {
        case "drct"_4cc:
            out.kind = LightKind::kDirectional;
            break;
        case "pntl"_4cc:
            out.kind = LightKind::kPoint;
            break;
        case "spot"_4cc:
            out.kind = LightKind::kSpot;
            break;
        default:
            return;
        }
        fOut.lights.push_back(out);
    }

    ShapeLibrary& fShapes;
    DrawList& fOut;
    MaterialTable fMaterials;
    int fDepth = 0;                     // of the groups being visited
    OpaqueTQ3Object* fMember = nullptr; // the top group's member being visited
};

} // namespace

DrawList GatherScene(ShapeLibrary& shapes, OpaqueTQ3Object* selected, OpaqueTQ3Object* others,
                     OpaqueTQ3Object* viewLights) {
    DrawList list;
    shapes.BeginFrame();
    Gatherer gatherer(shapes, list);
    CMatrix4x4 const identity(1.0);
    gatherer.Visit(selected, identity, {}, true);
    gatherer.Visit(others, identity, {}, false);
    gatherer.Visit(viewLights, identity, {}, false);

    return list;
}

void AddGhosts(DrawList& list, ShapeLibrary const& shapes, std::vector<Ghost> const& ghosts) {
    std::size_t const count = list.instances.size();
    for (Ghost const& ghost : ghosts) {
        CMatrix4x4 const& c = ghost.change;
        for (std::size_t i = 0; i < count; ++i) {
            Instance const& original = list.instances[i];
            if (!ghost.member || original.member != ghost.member) {
                continue;
            }
            Instance copy = original;
            // World coordinate j of the copy: sum over k of c[k][j] times the original's
            // world coordinate k, plus c[3][j].
            for (int j = 0; j < 3; ++j) {
                for (std::size_t col = 0; col < 4; ++col) {
                    float v = col == 3 ? c[3][j] : 0.0f;
                    for (int k = 0; k < 3; ++k) {
                        v += c[k][j] * original.data.rows[static_cast<std::size_t>(k)][col];
                    }
                    copy.data.rows[static_cast<std::size_t>(j)][col] = v;
                }
            }
            copy.data.colour[3] *= ghost.opacity;
            copy.data.flags = {0, 1, 0, 0};
            copy.selected = false;
            ShapeRange const& range = shapes.Range(copy.shape);
            copy.transparent = range.ownTranslucent || range.inheritsAlpha;
            list.instances.push_back(copy);
        }
    }
}

} // namespace refhost::view3d
