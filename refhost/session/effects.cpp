#include "refhost/session/effects.h"

#include <cstring>
#include <functional>
#include <stdexcept>

#include "host/framework.h"
#include "host/memory.h"
#include "host/scene.h"
#include "playback/effect_records.h"

namespace refhost {

namespace {

// Every shape inside the selected groups, depth first.
int ForEachSelectedShape(Document& document, std::function<bool(CShapeObject&)> const& visit) {
    int visited = 0;
    std::function<void(CGroupObject&)> walk = [&](CGroupObject& group) {
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            CSharedObject member = group.GetObjectAt(at);
            if (member.IsAGroup()) {
                CGroupObject inner(group, at);
                walk(inner);
            } else if (!member.IsATransform()) {
                CShapeObject shape(member);
                visited += visit(shape) ? 1 : 0;
            }
        }
    };
    CGroupObject selected(document.SelectedGroup());
    walk(selected);
    return visited;
}

CSetObject SetOf(CShapeObject& shape) {
    if (!shape.HasSet()) {
        shape.SetSet(CSetObject(nullptr, true));
    }
    return CSetObject(shape);
}

template <typename Record>
void Attach(CShapeObject& shape, int32_t which, Record const& record) {
    Handle block = NewHandle(sizeof record);
    if (!block) {
        throw std::runtime_error("out of memory");
    }
    std::memcpy(*block, &record, sizeof record);
    THandlePair pair{static_cast<int32_t>(sizeof record), block};
    SetOf(shape).AddType(GetCustomAttributeType(which), &pair);
}

uint32_t Now() {
    return static_cast<uint32_t>(PL_GetCurTime());
}

void Require(int count, char const* what) {
    if (count == 0) {
        throw std::runtime_error(std::string("the selection has no ") + what);
    }
}

} // namespace

void AddColourEffect(Document& document, float hueRate, float saturationRate, float lightnessRate) {
    int const count = ForEachSelectedShape(document, [&](CShapeObject& shape) {
        if (!shape.IsAGeometry() || !shape.HasSet() ||
            !CSetObject(shape).Contains(kQ3AttributeTypeDiffuseColor)) {
            return false;
        }
        Attach(shape, eColourEffectAttribute,
               TColourAttributeData{Now(), hueRate, saturationRate, lightnessRate});
        return true;
    });
    Require(count, "geometry with a colour of its own");
}

void AddTextureEffect(Document& document, float scrollSpeed, float scrollDirection,
                      float rotationRate) {
    int const count = ForEachSelectedShape(document, [&](CShapeObject& shape) {
        if (!shape.IsAGeometry()) {
            return false;
        }
        Attach(shape, eTextureEffectAttribute,
               TTextureAttributeData{Now(), scrollSpeed, scrollDirection, rotationRate,
                                     TQ3Point2D{0.5f, 0.5f}});
        return true;
    });
    Require(count, "geometry");
}

void AddLightEffect(Document& document, float hueRate, float strobeOnTime, float strobeOffTime,
                    float pulseRate) {
    int const count = ForEachSelectedShape(document, [&](CShapeObject& shape) {
        if (!shape.IsALight()) {
            return false;
        }
        float const peak = CLightObject(shape).GetBrightness();
        Attach(shape, eLightEffectAttribute,
               TLightAttributeData{Now(), peak, hueRate, strobeOnTime, strobeOffTime, pulseRate});
        return true;
    });
    Require(count, "light");
}

void RemoveEffects(Document& document) {
    ForEachSelectedShape(document, [&](CShapeObject& shape) {
        if (shape.HasSet()) {
            CSetObject set(shape);
            for (int32_t which :
                 {eColourEffectAttribute, eTextureEffectAttribute, eLightEffectAttribute}) {
                set.ClearType(GetCustomAttributeType(which));
            }
        }
        return true;
    });
}

} // namespace refhost
