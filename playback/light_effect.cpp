#include "playback/light_effect.h"

#include <cmath>

#include "host/framework.h"
#include "host/scene.h"
#include "interp/hsl_shift.h"
#include "playback/host_time.h"
#include "tween/recache.h"

namespace {

float UnitsPerSecond() {
    return TimeUnitsPerSecond();
}

} // namespace

void ModifyLightColour(TQ3LightData* light, uint32_t now, uint32_t previous,
                       TLightAttributeData& data) {
    auto const delta = static_cast<int32_t>(now - previous);
    if (delta == 0) {
        return; // no time passed: a turn of 0 would only round the colour
    }
    float a = (static_cast<float>(std::abs(static_cast<int64_t>(delta))) / UnitsPerSecond()) *
              data.hueRate;
    if (!std::isfinite(a)) {
        return;
    }
    if (a > 360) {
        a = static_cast<float>(static_cast<int64_t>(a) % 360);
    }
    if (a < 0) {
        a = static_cast<float>(360 -
                               static_cast<int64_t>(-a) % 360); // a negative turn keeps its way
    }
    if (delta < 0) {
        a = -a;
    }
    AddHSLAngleToQD3DColour(&light->color, a);
}

void ModifyLightStrobeStatus(TQ3LightData* light, uint32_t phase, TLightAttributeData& data) {
    float const units = UnitsPerSecond();
    auto const cycle = static_cast<int32_t>(units * (data.strobeOnTime + data.strobeOffTime));
    auto const on = static_cast<int32_t>(units * data.strobeOnTime);
    if (cycle <= 0) {
        return;
    }
    light->isOn =
        phase % static_cast<uint32_t>(cycle) < static_cast<uint32_t>(on) ? kQ3True : kQ3False;
}

void ModifyLightBrightness(TQ3LightData* light, uint32_t phase, TLightAttributeData& data) {
    double const half = std::trunc((100.0 / data.pulseRate) * PL_GetTimeUnitsPerSecond());
    if (!(half > 0 && half < 2147483647.0)) {
        return;
    }
    auto const h = static_cast<uint32_t>(half);
    float const step = data.peakBrightness / static_cast<float>(h);
    uint32_t const r = phase % (2 * h);
    light->brightness = r < h ? data.peakBrightness - step * static_cast<float>(r)
                              : step * static_cast<float>(r - h);
}

void ModifyLightData(TQ3LightData* light, uint32_t now, uint32_t previous,
                     TLightAttributeData& data) {
    if (data.hueRate != 0) {
        ModifyLightColour(light, now, previous, data);
    }
    if (data.strobeOnTime != 0 || data.pulseRate != 0) {
        uint32_t const phase = data.startTime <= now ? now - data.startTime : now;
        if (data.strobeOffTime != 0) {
            ModifyLightStrobeStatus(light, phase, data);
        }
        if (data.pulseRate != 0) {
            ModifyLightBrightness(light, phase, data);
        }
    }
}

void ApplyLightTransformToGeometry(CShapeObject& light, uint32_t now, uint32_t previous,
                                   TLightAttributeData& data) {
    CLightObject lightObject(light);
    TQ3LightData lightData{};
    lightObject.GetLightData(&lightData);
    ModifyLightData(&lightData, now, previous, data);
    lightObject.SetLightData(lightData);
}

void DoLightAnimation(uint32_t now, uint32_t previous) {
    for (uint32_t i = gAnimateLightItems.Count(); i-- > 0;) {
        try {
            CShapeObject light(gAnimateLightItems[i]);
            if (light.GetType() != "lght"_4cc) {
                continue;
            }
            auto data = ReadEffect<TLightAttributeData>(CSetObject(light), eLightEffectAttribute);
            ApplyLightTransformToGeometry(light, now, previous, data);
        } catch (...) {
            // This light stays as it is; the others still run.
        }
    }
}
