#include "interp/qd_colour.h"

namespace interp {

uint16_t ToQDColorField(float component) {
    float const scaled = component * kQ3ColorFieldToQDColorFieldMult;
    if (!(scaled > 0.0f)) {
        return 0;
    }
    if (scaled >= 65535.0f) {
        return 65535;
    }
    return static_cast<uint16_t>(scaled);
}

} // namespace interp

RGBColor QD3DColorToQDColor(TQ3ColorRGB colour) {
    return {interp::ToQDColorField(colour.r), interp::ToQDColorField(colour.g),
            interp::ToQDColorField(colour.b)};
}

TQ3ColorRGB QDColorToQD3DColor(RGBColor colour) {
    return {static_cast<float>(colour.red) * kQDColorFieldToQ3ColorFieldMult,
            static_cast<float>(colour.green) * kQDColorFieldToQ3ColorFieldMult,
            static_cast<float>(colour.blue) * kQDColorFieldToQ3ColorFieldMult};
}
