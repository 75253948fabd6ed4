#include "refhost/view3d/scene_gather.h"

#include <cmath>
#include <optional>

#include "host/four_char_code.h"
#include "host/matrix4x4.h"
#include "refhost/view3d/tessellation.h"

namespace refhost::view3d {

using namespace refhost::scene;

namespace {

// What the attribute sets above a member say.
struct Inherited {
    std::optional<TQ3ColorRGB> diffuse, specular, transparency;
    std::optional<float> ambientCoefficient, specularControl;
    TextureShader const* shader = nullptr;

    void Apply(OpaqueTQ3Object* object) {
        auto const* set = As<AttributeSet>(object);
        if (!set) {
            return;
        }
        auto take = [](auto& slot, auto const& value) {
            if (value) {
                slot = value;
            }
        };
        take(diffuse, set->diffuse);
        take(specular, set->specular);
        take(transparency, set->transparency);
        take(ambientCoefficient, set->ambientCoefficient);
        take(specularControl, set->specularControl);
        if (auto const* own = As<TextureShader>(set->shader)) {
            shader = own;
        }
    }
};

float Opacity(TQ3ColorRGB const& transparency) {
    float const mean = (transparency.r + transparency.g + transparency.b) / 3.0f;
    return std::fmin(1.0f, std::fmax(0.0f, mean));
}

std::array<float, 3> Array(TQ3Point3D const& p) {
    return {p.x, p.y, p.z};
}

CVector3D Normal(CPoint3D const& a, CPoint3D const& b, CPoint3D const& c) {
    CVector3D const u = b - a, v = c - a;
    CVector3D n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    return n.Normalise();
}

class Gatherer {
public:
    explicit Gatherer(DrawList& out) : fOut(out) {}

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
        for (OpaqueTQ3GroupPosition* p = group.first; p; p = p->next) {
            OpaqueTQ3Object* member = p->object;
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
    }

    void AddGeometry(Geometry const& geometry, CMatrix4x4 const& matrix, Inherited const& state,
                     bool selected) {
        Tessellation const shape = Tessellate(geometry);
        DrawItem item;
        item.selected = selected;
        item.surface.specular = state.specular.value_or(TQ3ColorRGB{0, 0, 0});
        item.surface.shininess = state.specularControl.value_or(4.0f);
        item.surface.ambientCoefficient = state.ambientCoefficient.value_or(1.0f);
        if (state.shader) {
            item.surface.texture = As<Texture>(state.shader->texture);
            item.surface.uvTransform = state.shader->uvTransform;
        }
        for (auto const& triangle : shape.triangles) {
            std::array<CPoint3D, 3> world;
            for (std::size_t k = 0; k < 3; ++k) {
                world[k] = CPoint3D(triangle[k].point) * matrix;
            }
            CVector3D const normal = Normal(world[0], world[1], world[2]);
            if (normal == TQ3Vector3D{0, 0, 0}) {
                continue; // a triangle without area shows nothing
            }
            for (std::size_t k = 0; k < 3; ++k) {
                Inherited corner = state;
                corner.Apply(triangle[k].set);
                TQ3ColorRGB const c = corner.diffuse.value_or(TQ3ColorRGB{1, 1, 1});
                float const alpha = Opacity(corner.transparency.value_or(TQ3ColorRGB{1, 1, 1}));
                item.transparent = item.transparent || alpha < 1.0f;
                item.vertices.push_back({Array(world[k]),
                                         {normal.x, normal.y, normal.z},
                                         {triangle[k].uv.u, triangle[k].uv.v},
                                         {c.r, c.g, c.b, alpha}});
            }
        }
        if (!shape.segments.empty()) {
            TQ3ColorRGB const c = state.diffuse.value_or(TQ3ColorRGB{1, 1, 1});
            float const alpha = Opacity(state.transparency.value_or(TQ3ColorRGB{1, 1, 1}));
            DrawItem lines = item;
            lines.lines = true;
            lines.vertices.clear();
            lines.transparent = alpha < 1.0f;
            for (auto const& segment : shape.segments) {
                for (TQ3Point3D const& point : segment) {
                    lines.vertices.push_back({Array(CPoint3D(point) * matrix),
                                              {0, 0, 0},
                                              {0, 0},
                                              {c.r, c.g, c.b, alpha}});
                }
            }
            fOut.items.push_back(std::move(lines));
        }
        if (!item.vertices.empty()) {
            fOut.items.push_back(std::move(item));
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

    DrawList& fOut;
};

} // namespace

DrawList GatherScene(OpaqueTQ3Object* selected, OpaqueTQ3Object* others,
                     OpaqueTQ3Object* viewLights) {
    DrawList list;
    Gatherer gatherer(list);
    CMatrix4x4 const identity(1.0);
    gatherer.Visit(selected, identity, {}, true);
    gatherer.Visit(others, identity, {}, false);
    gatherer.Visit(viewLights, identity, {}, false);
    return list;
}

} // namespace refhost::view3d
