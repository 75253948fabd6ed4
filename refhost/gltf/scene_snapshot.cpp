#include "refhost/gltf/scene_snapshot.h"

#include <cstring>

#include "host/four_char_code.h"
#include "refhost/view3d/inherited_surface.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

bool SameColour(TQ3ColorRGB const& a, TQ3ColorRGB const& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

bool SameMatrix(CMatrix3x3 const& a, CMatrix3x3 const& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

using Inherited = refhost::view3d::InheritedSurface;

// What a geometry under these sets looks like, defaults where no set says.
SurfaceValues SurfaceValuesOf(refhost::view3d::InheritedSurface const& inherited) {
    SurfaceValues v;
    v.diffuse = inherited.diffuse.value_or(TQ3ColorRGB{1, 1, 1});
    if (inherited.transparency) {
        v.opacity =
            (inherited.transparency->r + inherited.transparency->g + inherited.transparency->b) /
            3.0f;
    }
    v.specular = inherited.specular;
    v.shininess = inherited.specularControl.value_or(4.0f);
    v.ambientCoefficient = inherited.ambientCoefficient.value_or(1.0f);
    v.shader = inherited.shader;
    if (inherited.shader) {
        v.uvTransform = inherited.shader->uvTransform;
    }
    return v;
}

std::string KindName(Group const& group) {
    switch (group.kind) {
    case GroupKind::kPlain:
        return "group";
    case GroupKind::kLight:
        return "lights";
    default:
        return "display_group";
    }
}

class Walker {
public:
    explicit Walker(SceneVisitor& visitor) : fVisitor(visitor) {}

    void Visit(OpaqueTQ3Object* object, Inherited state, std::string const& place) {
        if (!object) {
            return;
        }
        state.Apply(object->set);
        if (auto* group = As<Group>(object)) {
            if (!group->IsDrawn()) {
                return;
            }
            auto const* set = As<AttributeSet>(group->set);
            std::string const name = set && set->name && !set->name->empty()
                                         ? *set->name
                                         : KindName(*group) + "_" + place;
            fVisitor.BeginGroup(*group, name);
            int index = 0;
            for (OpaqueTQ3GroupPosition* p = group->first; p; p = p->next, ++index) {
                OpaqueTQ3Object* member = p->object;
                if (auto* transform = As<refhost::scene::Transform>(member)) {
                    fVisitor.Transform(*transform);
                } else if (As<AttributeSet>(member)) {
                    state.Apply(member);
                } else if (auto* shader = As<TextureShader>(member)) {
                    state.shader = shader;
                } else {
                    Visit(member, state, place + "_" + std::to_string(index));
                }
            }
            fVisitor.EndGroup(*group);
        } else if (auto* geometry = As<refhost::scene::Geometry>(object)) {
            fVisitor.Geometry(*geometry, SurfaceValuesOf(state));
        } else if (auto* light = As<refhost::scene::Light>(object)) {
            fVisitor.Light(*light);
        }
    }

private:
    SceneVisitor& fVisitor;
};

class SnapshotTaker : public SceneVisitor {
public:
    explicit SnapshotTaker(Snapshot& out) : fOut(out) {}
    void BeginGroup(Group&, std::string const&) override {}
    void EndGroup(Group&) override {}
    void Transform(refhost::scene::Transform& transform) override {
        fOut.transforms.push_back(transform.matrix);
    }
    void Geometry(refhost::scene::Geometry&, SurfaceValues const& surface) override {
        fOut.surfaces.push_back(surface);
    }
    void Light(refhost::scene::Light& light) override { fOut.lights.push_back(ValuesOf(light)); }

private:
    Snapshot& fOut;
};

} // namespace

bool SurfaceValues::operator==(SurfaceValues const& o) const {
    bool const sameSpecular = specular.has_value() == o.specular.has_value() &&
                              (!specular || SameColour(*specular, *o.specular));
    return SameColour(diffuse, o.diffuse) && opacity == o.opacity && sameSpecular &&
           shininess == o.shininess && ambientCoefficient == o.ambientCoefficient &&
           shader == o.shader && SameMatrix(uvTransform, o.uvTransform);
}

bool LightValues::operator==(LightValues const& o) const {
    return kind == o.kind && on == o.on && brightness == o.brightness &&
           SameColour(colour, o.colour) && location == o.location && direction == o.direction &&
           hotAngle == o.hotAngle && outerAngle == o.outerAngle;
}

bool CameraValues::operator==(CameraValues const& o) const {
    return kind == o.kind && std::memcmp(&data, &o.data, sizeof data) == 0 &&
           fieldOfView == o.fieldOfView && aspectRatio == o.aspectRatio && left == o.left &&
           top == o.top && right == o.right && bottom == o.bottom && viewPlane == o.viewPlane &&
           halfWidth == o.halfWidth && halfHeight == o.halfHeight;
}

LightValues ValuesOf(refhost::scene::Light const& light) {
    LightValues v;
    v.kind = light.Kind();
    v.on = light.common.isOn != 0;
    v.brightness = light.common.brightness;
    v.colour = light.common.color;
    v.location = light.location;
    v.direction = light.direction;
    v.hotAngle = light.hotAngle;
    v.outerAngle = light.outerAngle;
    return v;
}

CameraValues ValuesOf(refhost::scene::Camera const& camera) {
    CameraValues v;
    v.kind = camera.Kind();
    v.data = camera.data;
    v.fieldOfView = camera.fieldOfView;
    v.aspectRatio = camera.aspectRatio;
    v.left = camera.left;
    v.top = camera.top;
    v.right = camera.right;
    v.bottom = camera.bottom;
    v.viewPlane = camera.viewPlane;
    v.halfWidth = camera.halfWidth;
    v.halfHeight = camera.halfHeight;
    return v;
}

void WalkDocument(Document const& document, SceneVisitor& visitor) {
    Walker walker(visitor);
    walker.Visit(document.SelectedGroup(), {}, "s");
    walker.Visit(document.OtherGroup(), {}, "o");
    if (auto* view = As<View>(document.CurrentView())) {
        walker.Visit(view->lights, {}, "v");
    }
}

Snapshot TakeSnapshot(Document const& document) {
    Snapshot snapshot;
    SnapshotTaker taker(snapshot);
    WalkDocument(document, taker);
    if (auto* view = As<View>(document.CurrentView())) {
        if (auto const* camera = As<Camera>(view->camera)) {
            snapshot.camera = ValuesOf(*camera);
        }
    }
    return snapshot;
}

} // namespace refhost::gltf
