// Putting the plug-in's continuous effects on the selection, as its effect attributes: a
// colour that keeps turning, a texture that scrolls and turns, a light whose hue turns and
// that strobes and pulses. The attributes are stored as the plug-in reads them; each
// replaces an effect of its kind, and the plug-in picks them up at its next rebuild.
#pragma once

#include "refhost/document/document.h"

namespace refhost {

// Rates in degrees and percent a second. On every geometry of the selection with a diffuse
// colour of its own; throws std::runtime_error when there is none.
void AddColourEffect(Document& document, float hueRate, float saturationRate, float lightnessRate);
// Speed in texture widths a second along the direction (degrees, 0 along u), turning about
// the middle of the texture. On every geometry of the selection; throws when there is none.
void AddTextureEffect(Document& document, float scrollSpeed, float scrollDirection,
                      float rotationRate);
// On every light of the selection, peaking at its present brightness; strobe times in
// seconds (0 for none), pulse in percent of the peak a second. Throws when there is none.
void AddLightEffect(Document& document, float hueRate, float strobeOnTime, float strobeOffTime,
                    float pulseRate);
// Takes every effect off the selection.
void RemoveEffects(Document& document);

} // namespace refhost
