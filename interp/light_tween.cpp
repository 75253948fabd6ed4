#include "interp/light_tween.h"

#include "interp/boolean_tween.h"
#include "interp/lerp.h"
#include "interp/value_tween.h"

using interp::Lerp;

void TweenLightData(TQ3LightData* current, TQ3LightData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenFloat(current->brightness, target.brightness, f);
    if (f == 1.0f) {
        current->color = target.color;
    } else {
        current->color.r = Lerp(current->color.r, target.color.r, f);
        current->color.g = Lerp(current->color.g, target.color.g, f);
        current->color.b = Lerp(current->color.b, target.color.b, f);
    }
}

void TweenDirectionalLightData(TQ3DirectionalLightData* current,
                               TQ3DirectionalLightData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenLightData(&current->lightData, target.lightData, f);
    TweenTQ3Bool(&current->castsShadows, target.castsShadows, f);
    TweenVector3D(current->direction, target.direction, f);
}

void TweenPointLightData(TQ3PointLightData* current, TQ3PointLightData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenLightData(&current->lightData, target.lightData, f);
    TweenTQ3Bool(&current->castsShadows, target.castsShadows, f);
    current->location = TweenPoint3D(current->location, target.location, f);
}

void TweenSpotLightData(TQ3SpotLightData* current, TQ3SpotLightData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenLightData(&current->lightData, target.lightData, f);
    // Spot lights follow the same shadow rule as directional and point lights: a user who
    // switches shadows on or off at one tween point expects every kind of light to treat
    // it alike, rather than a spot light keeping the earlier setting through the interval.
    TweenTQ3Bool(&current->castsShadows, target.castsShadows, f);
    current->location = TweenPoint3D(current->location, target.location, f);
    TweenVector3D(current->direction, target.direction, f);
    TweenFloat(current->hotAngle, target.hotAngle, f);
    TweenFloat(current->outerAngle, target.outerAngle, f);
}
