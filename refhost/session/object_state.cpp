#include "refhost/session/object_state.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <stdexcept>

#include "host/matrix4x4.h"
#include "host/quaternion.h"
#include "host/scene.h"
#include "refhost/session/posing.h"

namespace refhost {

namespace {

// The name a member carries in its attribute set; empty when it has none.
std::string NameOfMember(CGroupObject const& group, OpaqueTQ3GroupPosition* at) {
    try {
        return CSetObject(CShapeObject(group.GetObjectAt(at))).GetNameAttribute().ToString();
    } catch (CSceneException const&) {
        return {};
    }
}

void Decompose(CMatrix4x4 const& m, ObjectState& state) {
    state.translation = {m.value[3][0], m.value[3][1], m.value[3][2]};
    CMatrix4x4 const scale = m.ExtractScale();
    state.scale = {scale.value[0][0], scale.value[1][1], scale.value[2][2]};
    CQuaternion const q(m.ExtractRotation());
    float const sine = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (sine > 1e-6f) {
        state.axis = {q.x / sine, q.y / sine, q.z / sine};
        state.degrees = 2 * std::atan2(sine, q.w) * 180 / std::numbers::pi_v<float>;
    }
}

} // namespace

ObjectState NamedObjectState(Document const& document, std::string const& name) {
    for (OpaqueTQ3Object* which : {document.SelectedGroup(), document.OtherGroup()}) {
        CGroupObject group(which);
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            if (NameOfMember(group, at) != name) {
                continue;
            }
            ObjectState state;
            CSharedObject member = group.GetObjectAt(at);
            if (!member.IsAGroup()) {
                return state;
            }
            CGroupObject object(member.GetObject());
            if (auto* transform = object.GetFirstObjectOfType("xfrm"_4cc)) {
                Decompose(CTransformObject(object, transform).GetMatrix(), state);
            }
            state.hasDiffuse = object.GetTheGroupColor(&state.diffuse, false, false, false);
            if (auto* light = object.GetFirstObjectOfType("lght"_4cc)) {
                TQ3LightData data{};
                CLightObject(object.GetObjectAt(light)).GetLightData(&data);
                state.light = data;
            }
            return state;
        }
    }
    std::string all;
    for (auto const& each : ObjectNames(document)) {
        all += (all.empty() ? "" : ", ") + each;
    }
    throw std::runtime_error("no object is named '" + name + "' (objects: " + all + ")");
}

std::vector<uint8_t> SelectedTweenEases(Document const& document) {
    std::vector<uint8_t> eases;
    for (OpaqueTQ3Object* which : {document.SelectedGroup(), document.OtherGroup()}) {
        CGroupObject group(which);
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            CShapeObject member(group.GetObjectAt(at));
            if (!member.HasSet()) {
                continue;
            }
            CSetObject set(member);
            if (!set.Contains(GetCustomAttributeType(eTweenAttribute))) {
                continue;
            }
            // The list: its record size, its sorting index, then the records, each starting
            // with its time, its selected flag and its ease.
            THandlePair block{};
            set.GetData(GetCustomAttributeType(eTweenAttribute), &block);
            auto const* bytes = reinterpret_cast<uint8_t const*>(*block.data);
            uint32_t recordSize = 0;
            std::memcpy(&recordSize, bytes, sizeof recordSize);
            for (int64_t start = 8; recordSize >= 8 && start + recordSize <= block.size;
                 start += recordSize) {
                if (bytes[start + 4] != 0) {
                    eases.push_back(bytes[start + 5]);
                }
            }
        }
    }
    return eases;
}

namespace {

std::string LightText(TQ3LightData const& light) {
    char line[160];
    std::snprintf(line, sizeof line, "light %s brightness %.4f colour %.4f %.4f %.4f",
                  light.isOn ? "on" : "off", light.brightness, light.color.r, light.color.g,
                  light.color.b);
    return line;
}

// A value that rounds to zero from below prints without its sign.
std::string Unsigned(std::string text) {
    for (std::size_t at = text.find("-0.0000"); at != std::string::npos;
         at = text.find("-0.0000", at)) {
        bool const whole = at + 7 == text.size() || text[at + 7] == ' ';
        if (whole) {
            text.erase(at, 1);
        } else {
            ++at;
        }
    }
    return text;
}

} // namespace

std::string DescribeObjectState(ObjectState const& s) {
    char line[400];
    std::snprintf(line, sizeof line,
                  "translation %.4f %.4f %.4f rotation %.4f %.4f %.4f %.4f scale %.4f %.4f %.4f",
                  s.translation.x, s.translation.y, s.translation.z, s.axis.x, s.axis.y, s.axis.z,
                  s.degrees, s.scale.x, s.scale.y, s.scale.z);
    std::string text = line;
    if (s.hasDiffuse) {
        std::snprintf(line, sizeof line, " diffuse %.4f %.4f %.4f", s.diffuse.r, s.diffuse.g,
                      s.diffuse.b);
        text += line;
    } else {
        text += " diffuse none";
    }
    if (s.light) {
        text += " " + LightText(*s.light);
    }
    return Unsigned(text);
}

std::string DescribeViewLight(Document const& document, TQ3ObjectType kind) {
    TQ3LightData data{};
    CLightObject(ViewLight(document, kind)).GetLightData(&data);
    return Unsigned(LightText(data));
}

std::string DescribeCamera(Document const& document) {
    CCameraObject camera(ViewCamera(document));
    TQ3CameraData data{};
    camera.GetCameraData(&data);
    TQ3CameraPlacement const& p = data.placement;
    char line[400];
    std::snprintf(
        line, sizeof line, "location %.4f %.4f %.4f interest %.4f %.4f %.4f up %.4f %.4f %.4f",
        p.cameraLocation.x, p.cameraLocation.y, p.cameraLocation.z, p.pointOfInterest.x,
        p.pointOfInterest.y, p.pointOfInterest.z, p.upVector.x, p.upVector.y, p.upVector.z);
    std::string text = line;
    TQ3ObjectType const kind = camera.GetLeafType();
    if (kind == "vana"_4cc) {
        TQ3ViewAngleAspectCameraData lens{};
        CViewAngleAspectCameraObject(camera).GetCameraData(&lens);
        std::snprintf(line, sizeof line, " field of view %.4f aspect %.4f", lens.fov,
                      lens.aspectRatioXToY);
        text += line;
    } else if (kind == "orth"_4cc) {
        TQ3OrthographicCameraData lens{};
        COrthographicCameraObject(camera).GetCameraData(&lens);
        std::snprintf(line, sizeof line, " left %.4f top %.4f right %.4f bottom %.4f", lens.left,
                      lens.top, lens.right, lens.bottom);
        text += line;
    } else if (kind == "vwpl"_4cc) {
        TQ3ViewPlaneCameraData lens{};
        CViewPlaneCameraObject(camera).GetCameraData(&lens);
        std::snprintf(line, sizeof line, " view plane %.4f half width %.4f half height %.4f",
                      lens.viewPlane, lens.halfWidthAtViewPlane, lens.halfHeightAtViewPlane);
        text += line;
    }
    return Unsigned(text);
}

} // namespace refhost
