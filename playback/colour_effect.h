// The colour effect pass: geometries with a colour effect keep turning the hue, saturation
// and lightness of their diffuse colours by the time that passed.
#pragma once

#include "host/scene/parser.h"

// The shifts for the geometry being handled, read by CAnimateOParserGroup during its parse.
extern float gTheAngle;
extern float gTheSaturation;
extern float gTheBrightness;

// Shifts every diffuse colour it meets by the three shifts above.
class CAnimateOParserGroup : public CMiniParserGroup {
public:
    bool ParseObjectAtributeSet(CSetObject* set, bool* changed) override;
};

// Every geometry of gAnimateColourItems, last to first; one that fails is left as it is.
void DoColourAnimation(float seconds);

// Turns the geometry's diffuse colours by rate x seconds each (hue wrapping at 360 degrees,
// saturation and lightness at 100 percent); a shift within 0.001 of a whole turn is none.
void ApplyColourTransformToGeometry(CShapeObject& geometry, float seconds, float hueRate,
                                    float saturationRate, float lightnessRate);

// The shift of a rate over the seconds, folded into 0..range; 0 when it is a whole turn.
float FoldedShift(float rate, float seconds, float range);
