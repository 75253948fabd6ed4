#include "playback/effect_attachment.h"

#include <type_traits>

#include "host/scene.h"
#include "playback/effect_records.h"
#include "tween/scanning_parsers.h"

bool gAnimateThisLightObject = false;

namespace {

// A constant rather than the literal inside the templates below: clang leaves a consteval
// literal operator called from a template instance as a call it never defines.
constexpr FourCharCode kShapeType = "shap"_4cc;

// Calls visit for each geometry or light of the group, depth first; visit returns false to
// end the whole walk. Returns false when it was ended.
template <typename Visit>
bool WalkShapes(CGroupObject& group, Visit const& visit) {
    for (auto* p = group.GetFirstObject(); p; p = group.NextPosition(p)) {
        CSharedObject member(group, p);
        if (member.GetType() != kShapeType) {
            continue;
        }
        CShapeObject shape(member);
        if (shape.IsAGroup()) {
            CGroupObject inner(shape);
            if (!WalkShapes(inner, visit)) {
                return false;
            }
        } else if (!visit(shape)) {
            return false;
        }
    }
    return true;
}

// The walks of attaching: a block that cannot be made stops the walk of the group it was
// for; the enclosing groups' walks go on with their next members.
template <typename Visit>
void WalkAttaching(CGroupObject& group, Visit const& visit) {
    try {
        for (auto* p = group.GetFirstObject(); p; p = group.NextPosition(p)) {
            CSharedObject member(group, p);
            if (member.GetType() != kShapeType) {
                continue;
            }
            CShapeObject shape(member);
            if (shape.IsAGroup()) {
                CGroupObject inner(shape);
                WalkAttaching(inner, visit);
            } else {
                visit(shape);
            }
        }
    } catch (EMacError) {
    }
}

bool HasAttribute(CShapeObject const& shape, TQ3AttributeType type) {
    return shape.HasSet() && CSetObject(shape).Contains(type);
}

// The shape's set, made when it has none.
CSetObject SetOf(CShapeObject& shape) {
    if (!shape.HasSet()) {
        shape.SetSet(CSetObject(nullptr, true));
    }
    return CSetObject(shape);
}

template <typename Parser>
void ParseAlone(CShapeObject const& shape, Parser& parser) {
    COrderedDisplayGroupObject holder;
    holder.AddObject(shape);
    if constexpr (std::is_base_of_v<CParserGroup, Parser>) {
        holder.Parse(parser, CMatrix4x4(1.0));
    } else {
        holder.Parse(parser);
    }
}

} // namespace

bool StandardUVContainingGeometry(C3DObject& object) {
    switch (object.GetLeafType()) {
    case "box "_4cc:
    case "trng"_4cc:
    case "nrbc"_4cc:
    case "nrbp"_4cc:
        return true;
    default:
        return false;
    }
}

void ParseToColorGeometry(CGroupObject& group, int32_t attributeType, bool add, uint32_t startTime,
                          float& hueRate, float& saturationRate, float& lightnessRate) {
    auto const type = static_cast<TQ3AttributeType>(attributeType);
    WalkAttaching(group, [&](CShapeObject& shape) {
        if (!shape.IsAGeometry()) {
            return;
        }
        gAnimateThisObject = false;
        if (!add) {
            gAnimateThisObject = HasAttribute(shape, type);
            return;
        }
        if (hueRate == 0 && saturationRate == 0 && lightnessRate == 0) {
            return;
        }
        CScanOParserGroup scan;
        ParseAlone(shape, scan);
        if (gAnimateThisObject) {
            CSetObject set = SetOf(shape);
            AttachEffect(set, type,
                         TColourAttributeData{startTime, hueRate, saturationRate, lightnessRate});
        }
    });
}

void ParseToTextureGeometry(CGroupObject& group, int32_t attributeType, bool add,
                            uint32_t startTime, float& scrollSpeed, float& scrollDirection,
                            float& rotationRate) {
    auto const type = static_cast<TQ3AttributeType>(attributeType);
    WalkAttaching(group, [&](CShapeObject& shape) {
        if (!shape.IsAGeometry()) {
            return;
        }
        gContainsUVs = false;
        gMinUV = {1, 1};
        gMaxUV = {0, 0};
        if (!add) {
            gContainsUVs = HasAttribute(shape, GetCustomAttributeType(eTextureEffectAttribute));
            return;
        }
        if (scrollSpeed == 0 && rotationRate == 0) {
            return;
        }
        CScanTParserGroup scan;
        ParseAlone(shape, scan);
        if (gContainsUVs) {
            TQ3Point2D const centre{gMinUV.u + (gMaxUV.u - gMinUV.u) * 0.5f,
                                    gMinUV.v + (gMaxUV.v - gMinUV.v) * 0.5f};
            CSetObject set = SetOf(shape);
            AttachEffect(set, type,
                         TTextureAttributeData{startTime, scrollSpeed, scrollDirection,
                                               rotationRate, centre});
        }
    });
}

void ParseToLight(CGroupObject& group, int32_t attributeType, bool add, uint32_t startTime,
                  float& hueRate, float& strobeOnTime, float& strobeOffTime, float& pulseRate) {
    auto const type = static_cast<TQ3AttributeType>(attributeType);
    WalkAttaching(group, [&](CShapeObject& shape) {
        if (!shape.IsALight()) {
            return;
        }
        gAnimateThisLightObject = false;
        float brightness = 0;
        if (!add) {
            gAnimateThisLightObject = HasAttribute(shape, type);
            return;
        }
        if (pulseRate != 0) {
            brightness = CLightObject(shape).GetBrightness();
            gAnimateThisLightObject = brightness > 0.1f;
        }
        gAnimateThisLightObject = gAnimateThisLightObject || hueRate != 0 || strobeOffTime != 0;
        if (gAnimateThisLightObject) {
            CSetObject set = SetOf(shape);
            AttachEffect(set, type,
                         TLightAttributeData{startTime, brightness, hueRate, strobeOnTime,
                                             strobeOffTime, pulseRate});
        }
    });
}

bool ParseToCheckingForCustomAttrSet(CGroupObject& group, int32_t attributeType) {
    auto const type = static_cast<TQ3AttributeType>(attributeType);
    bool found = false;
    WalkShapes(group, [&](CShapeObject& shape) {
        found = (shape.IsAGeometry() || shape.IsALight()) && HasAttribute(shape, type);
        return !found;
    });
    return found;
}

void DeleteExistingAttributes(CGroupObject& group, int32_t attributeType) {
    auto const type = static_cast<TQ3AttributeType>(attributeType);
    WalkShapes(group, [&](CShapeObject& shape) {
        if ((shape.IsAGeometry() || shape.IsALight()) && HasAttribute(shape, type)) {
            CSetObject(shape).ClearType(type);
        }
        return true;
    });
}
