// Blends of light data between two tween points, one function per kind of light.
//
// Each overwrites the current record (a copy of the earlier tween point's) with the light a
// fraction f of the way toward the target, and changes nothing at all when f == 0. Fields
// not named stay as the earlier tween point recorded them for the whole interval. Single
// precision; none of them fails.
#pragma once

#include "host/qd3d_types.h"

// Brightness moves only when it differs; the colour is blended and is exactly the target's
// at f == 1. Whether the light is on is the user's switch, never blended.
void TweenLightData(TQ3LightData* current, TQ3LightData const& target, float f);

// The light data, the casts-shadows flag (on throughout an interval if on at either end),
// and the direction component by component, not renormalised: a light turning a quarter
// turn is (0.5, 0.5, 0) halfway. The renderer normalises directions itself.
void TweenDirectionalLightData(TQ3DirectionalLightData* current,
                               TQ3DirectionalLightData const& target, float f);

// The light data, the casts-shadows flag as for directional lights, and the location along
// a straight line. The attenuation is kept.
void TweenPointLightData(TQ3PointLightData* current, TQ3PointLightData const& target, float f);

// The light data, the casts-shadows flag as for the other lights that cast shadows, the
// location along a straight line, the direction as for directional lights, and the hot and
// outer angles (each only when it differs). Attenuation and fall-off are kept.
void TweenSpotLightData(TQ3SpotLightData* current, TQ3SpotLightData const& target, float f);
