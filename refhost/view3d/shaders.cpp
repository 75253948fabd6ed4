#include "refhost/view3d/shaders.h"

namespace refhost::view3d {

char const* const kSceneVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUV;
layout(location = 3) in vec4 aColour;
layout(location = 4) in vec2 aOwn;    // 1 where aColour's rgb, alpha replace the instance's
layout(location = 5) in int aInstance; // its number; a draw's instances follow it
layout(location = 6) in float aClosed; // 1 on a closed shape, whose normals point out
uniform samplerBuffer uInstances;      // five texels per instance: InstanceData
uniform mat4 uViewProjection;
uniform vec3 uEye;           // the camera's location (perspective)
uniform bool uOrthographic;
uniform vec3 uTowardsViewer; // the way back along the line of sight (orthographic)
uniform mat3 uUVTransform; // uploaded transposed: (u, v, 1) * M as the library means it
out vec3 vPosition;
out vec3 vNormal;
out vec2 vUV;
out vec4 vColour;
flat out int vInstance;
flat out float vGhost;
void main() {
    vInstance = aInstance + gl_InstanceID;
    int instance = vInstance * 5;
    vec4 place0 = texelFetch(uInstances, instance);
    vec4 place1 = texelFetch(uInstances, instance + 1);
    vec4 place2 = texelFetch(uInstances, instance + 2);
    vec4 colour = texelFetch(uInstances, instance + 3);
    vec4 flags = texelFetch(uInstances, instance + 4);
    vGhost = flags.y;
    vec4 p = vec4(aPosition, 1.0);
    vPosition = vec3(dot(place0, p), dot(place1, p), dot(place2, p));
    // Normals go through the cofactors of the placement's linear part, which keep them
    // perpendicular to the placed face whatever the scale or shear (the length and the side
    // do not matter: the fragment shader normalises them and turns them to the viewer).
    vec3 r0 = place0.xyz, r1 = place1.xyz, r2 = place2.xyz;
    vNormal = vec3(dot(cross(r1, r2), aNormal), dot(cross(r2, r0), aNormal),
                   dot(cross(r0, r1), aNormal));
    vUV = (vec3(aUV, 1.0) * uUVTransform).xy;
    vColour = vec4(aOwn.x > 0.5 ? aColour.rgb : colour.rgb, aOwn.y > 0.5 ? aColour.a : colour.a);
    gl_Position = uViewProjection * vec4(vPosition, 1.0);
    if (aClosed > 0.5 && flags.x > 0.5) {
        // A face of a closed shape that turns away from the eye lies behind the ones that
        // face it: its three corners go beyond the far plane, where clipping drops it before
        // it costs any rasterizing. (A mirroring placement turns the normals inwards.)
        vec3 outwards = dot(r0, cross(r1, r2)) < 0.0 ? -vNormal : vNormal;
        vec3 toEye = uOrthographic ? uTowardsViewer : uEye - vPosition;
        if (dot(outwards, toEye) <= 0.0) {
            gl_Position = vec4(0.0, 0.0, 2.0, 1.0);
        }
    }
}
)";

// Its kMaxLights is the one of shaders.h.
char const* const kSceneFragmentShader = R"(#version 330 core
const int kMaxLights = 16;
const int kDirectional = 0;
const int kPoint = 1;
const int kSpot = 2;
in vec3 vPosition;
in vec3 vNormal;
in vec2 vUV;
in vec4 vColour;
uniform bool uLit;
uniform bool uTextured;
uniform sampler2D uTexture;
uniform vec3 uEye;             // the camera's location (perspective)
uniform bool uOrthographic;
uniform vec3 uTowardsViewer;   // the way back along the line of sight (orthographic)
uniform vec3 uAmbient;
uniform float uAmbientCoefficient;
uniform vec3 uSpecular;
uniform float uShininess;
uniform int uLightCount;
uniform int uLightKind[kMaxLights];
uniform vec3 uLightColour[kMaxLights];
uniform vec3 uLightLocation[kMaxLights];
uniform vec3 uLightDirection[kMaxLights];
uniform int uLightAttenuation[kMaxLights];
uniform float uLightHot[kMaxLights];
uniform float uLightOuter[kMaxLights];
uniform int uLightFallOff[kMaxLights];
out vec4 fragColour;

// How much of a spot light reaches a point at angle a from its axis.
float Cone(int i, float a) {
    float hot = uLightHot[i];
    float outer = max(uLightOuter[i], hot);
    if (a > outer) return 0.0;
    if (a <= hot || uLightFallOff[i] == 0) return 1.0;
    float x = (outer - a) / (outer - hot); // 1 at the hot edge, 0 at the outer edge
    if (uLightFallOff[i] == 1) return x;
    if (uLightFallOff[i] == 2) return x * x;
    return cos((1.0 - x) * 1.5707963);
}

void main() {
    vec4 base = vColour;
    if (uTextured) {
        // Texture (0, 0) is the image's bottom left; its rows are stored from the top.
        base.rgb = texture(uTexture, vec2(vUV.x, 1.0 - vUV.y)).rgb;
    }
    if (!uLit) {
        fragColour = base;
        return;
    }
    vec3 toViewer = uOrthographic ? uTowardsViewer : normalize(uEye - vPosition);
    vec3 n = normalize(vNormal);
    if (dot(n, toViewer) < 0.0) n = -n;
    vec3 diffuse = uAmbientCoefficient * uAmbient;
    vec3 specular = vec3(0.0);
    bool shiny = uSpecular != vec3(0.0); // the highlight's power is dear: only where it shows
    for (int i = 0; i < uLightCount; ++i) {
        vec3 toLight;
        float strength = 1.0;
        if (uLightKind[i] == kDirectional) {
            toLight = -uLightDirection[i];
        } else {
            vec3 d = uLightLocation[i] - vPosition;
            float distance = max(length(d), 1e-4);
            toLight = d / distance;
            if (uLightAttenuation[i] == 1) strength = 1.0 / distance;
            if (uLightAttenuation[i] == 2) strength = 1.0 / (distance * distance);
            if (uLightKind[i] == kSpot) {
                float c = clamp(dot(-toLight, uLightDirection[i]), -1.0, 1.0);
                strength *= Cone(i, acos(c));
            }
        }
        float lambert = max(dot(n, toLight), 0.0);
        if (lambert <= 0.0 || strength <= 0.0) continue;
        diffuse += uLightColour[i] * (lambert * strength);
        if (shiny) {
            vec3 halfway = normalize(toLight + toViewer);
            specular += uLightColour[i] * (pow(max(dot(n, halfway), 0.0), uShininess) * strength);
        }
    }
    fragColour = vec4(base.rgb * diffuse + uSpecular * specular, base.a);
}
)";

char const* const kMaskFragmentShader = R"(#version 330 core
out vec4 fragColour;
void main() {
    fragColour = vec4(1.0);
}
)";

char const* const kIdentifierFragmentShader = R"(#version 330 core
flat in int vInstance;
flat in float vGhost;
out vec4 fragColour;
void main() {
    if (vGhost > 0.5) discard;
    int id = vInstance + 1;
    fragColour = vec4(float(id & 255), float((id >> 8) & 255), float((id >> 16) & 255),
                      float((id >> 24) & 255)) / 255.0;
}
)";

char const* const kAidVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aColour;
layout(location = 2) in float aDiameter;
uniform mat4 uViewProjection;
out vec3 vColour;
void main() {
    vColour = aColour;
    gl_PointSize = aDiameter;
    gl_Position = uViewProjection * vec4(aPosition, 1.0);
}
)";

char const* const kAidFragmentShader = R"(#version 330 core
in vec3 vColour;
uniform bool uDots;
out vec4 fragColour;
void main() {
    if (uDots) {
        vec2 d = gl_PointCoord * 2.0 - 1.0;
        if (dot(d, d) > 1.0) discard;
    }
    fragColour = vec4(vColour, 1.0);
}
)";

char const* const kResolveFragmentShader = R"(#version 330 core
uniform sampler2D uSamples;
uniform int uScale;
out vec4 fragColour;
void main() {
    ivec2 p = ivec2(gl_FragCoord.xy) * uScale;
    vec4 sum = vec4(0.0);
    for (int y = 0; y < uScale; ++y) {
        for (int x = 0; x < uScale; ++x) sum += texelFetch(uSamples, p + ivec2(x, y), 0);
    }
    fragColour = sum / float(uScale * uScale);
}
)";

char const* const kGroundVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
uniform mat4 uViewProjection;
out vec3 vWorld;
void main() {
    vWorld = aPosition;
    gl_Position = uViewProjection * vec4(aPosition, 1.0);
}
)";

char const* const kGroundFragmentShader = R"(#version 330 core
in vec3 vWorld;
uniform vec3 uEye;
uniform float uSpacing;
uniform float uFade;      // distance from the eye at which the grid is gone
uniform float uLineWidth; // in pixels of the drawing
out vec4 fragColour;
// 1 on a line of the spacing, falling to 0 a line's width away, in pixels of the drawing.
float Lines(vec2 p, float spacing) {
    vec2 g = p / spacing;
    vec2 d = abs(fract(g - 0.5) - 0.5) / (fwidth(g) * uLineWidth);
    return 1.0 - min(min(d.x, d.y), 1.0);
}
float Axis(float coordinate) {
    return 1.0 - min(abs(coordinate) / (fwidth(coordinate) * uLineWidth * 1.5), 1.0);
}
void main() {
    vec2 p = vWorld.xz;
    float minor = Lines(p, uSpacing) * 0.3;
    float major = Lines(p, uSpacing * 10.0) * 0.6;
    vec3 colour = vec3(0.62, 0.64, 0.68);
    float alpha = max(minor, major);
    float xAxis = Axis(p.y); // z = 0
    float zAxis = Axis(p.x); // x = 0
    colour = mix(colour, vec3(0.9, 0.3, 0.3), xAxis);
    colour = mix(colour, vec3(0.3, 0.45, 0.95), zAxis * (1.0 - xAxis));
    alpha = max(alpha, max(xAxis, zAxis) * 0.9);
    float distance = length(vWorld - uEye);
    alpha *= 1.0 - smoothstep(0.25 * uFade, uFade, distance);
    if (alpha < 0.004) discard;
    fragColour = vec4(colour, alpha);
}
)";

char const* const kScreenVertexShader = R"(#version 330 core
void main() {
    vec2 corner = vec2(float((gl_VertexID & 1) << 2) - 1.0, float((gl_VertexID & 2) << 1) - 1.0);
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

char const* const kOutlineFragmentShader = R"(#version 330 core
uniform sampler2D uMask;
uniform vec3 uColour;
uniform int uRadius;
out vec4 fragColour;
void main() {
    ivec2 p = ivec2(gl_FragCoord.xy);
    ivec2 size = textureSize(uMask, 0);
    if (texelFetch(uMask, p, 0).r > 0.5) discard;
    for (int dy = -uRadius; dy <= uRadius; ++dy) {
        for (int dx = -uRadius; dx <= uRadius; ++dx) {
            ivec2 q = p + ivec2(dx, dy);
            if (dx * dx + dy * dy > uRadius * uRadius + 1 || any(lessThan(q, ivec2(0))) ||
                any(greaterThanEqual(q, size))) continue;
            if (texelFetch(uMask, q, 0).r > 0.5) {
                fragColour = vec4(uColour, 1.0);
                return;
            }
        }
    }
    discard;
}
)";

} // namespace refhost::view3d
