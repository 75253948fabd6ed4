#include "playback/colour_effect.h"

#include <cmath>

#include "host/scene.h"
#include "interp/hsl_shift.h"
#include "playback/effect_records.h"
#include "tween/recache.h"

float gTheAngle = 0;
float gTheSaturation = 0;
float gTheBrightness = 0;

float FoldedShift(float rate, float seconds, float range) {
    if (rate == 0) {
        return 0;
    }
    float v = rate * seconds;
    if (!std::isfinite(v)) {
        return 0;
    }
    v = std::fmod(v, range); // the same as subtracting or adding whole turns
    if (v < 0) {
        v += range;
    }
    if (std::fabs(v) < 0.001f || std::fabs(v) > range - 0.001f) {
        return 0;
    }
    return v;
}

bool CAnimateOParserGroup::ParseObjectAtributeSet(CSetObject* set, bool* changed) {
    if (set->GetLeafType() != "attr"_4cc || !set->Contains(kQ3AttributeTypeDiffuseColor)) {
        return true;
    }
    TQ3ColorRGB colour = set->GetDiffuseColor();
    if (gTheAngle != 0) {
        AddHSLHueQD3DColour(&colour, gTheAngle);
    }
    if (gTheSaturation != 0) {
        AddHSLSaturationQD3DColour(&colour, gTheSaturation);
    }
    if (gTheBrightness != 0) {
        AddHSLBrightnessQD3DColour(&colour, gTheBrightness);
    }
    set->AddDiffuseColor(colour);
    *changed = true;
    return true;
}

void ApplyColourTransformToGeometry(CShapeObject& geometry, float seconds, float hueRate,
                                    float saturationRate, float lightnessRate) {
    gTheAngle = FoldedShift(hueRate, seconds, 360);
    gTheSaturation = FoldedShift(saturationRate, seconds, 100);
    gTheBrightness = FoldedShift(lightnessRate, seconds, 100);
    COrderedDisplayGroupObject holder;
    holder.AddObject(geometry);
    CAnimateOParserGroup parser;
    holder.Parse(parser);
}

void DoColourAnimation(float seconds) {
    for (uint32_t i = gAnimateColourItems.Count(); i-- > 0;) {
        try {
            CShapeObject geometry(gAnimateColourItems[i]);
            if (geometry.GetType() != "gmtr"_4cc) {
                continue;
            }
            auto const data =
                ReadEffect<TColourAttributeData>(CSetObject(geometry), eColourEffectAttribute);
            ApplyColourTransformToGeometry(geometry, seconds, data.hueRate, data.saturationRate,
                                           data.lightnessRate);
        } catch (...) {
            // This geometry keeps its colours; the others still turn.
        }
    }
}
