// The GLSL (3.30 core) programs of the 3D view.
#pragma once

namespace refhost::view3d {

// Lights beyond this many (besides the ambient ones) are left out of the shading.
inline constexpr int kMaxLights = 16;

// Places a shape's vertices (attributes 0 to 4, as ShapeVertex holds them) by the placement
// and colour of instance aInstance + gl_InstanceID (attribute 5), read from the texture
// buffer uInstances (InstanceData, five texels each), then with uViewProjection; takes
// (u, v, 1) through the row-major UV transform uUVTransform. Drops the faces of closed shapes
// (attribute 6) that turn away from the eye (uEye, or uTowardsViewer when uOrthographic)
// where the instance allows it.
extern char const* const kSceneVertexShader;
// Phong shading of diffuse (or textured) and specular colours by the ambient light and up to
// kMaxLights directional, point and spot lights; both faces of a triangle are lit. Lines and
// fragments with uLit false show their colour unshaded.
extern char const* const kSceneFragmentShader;
// Writes 1 wherever a selected object covers the image.
extern char const* const kMaskFragmentShader;
// The number of the instance (aInstance + gl_InstanceID) plus one, little-endian in the four
// bytes of an RGBA8 colour; nothing for ghosts (instance flag y).
extern char const* const kIdentifierFragmentShader;
// Lines and dots of the aids: a world position (attribute 0), a colour (1) and a dot's
// diameter in pixels (2); dots (uDots) are round.
extern char const* const kAidVertexShader;
extern char const* const kAidFragmentShader;
// The mean of the uScale x uScale texels of uSamples that make each pixel.
extern char const* const kResolveFragmentShader;
// The ground grid: a quad of the ground (attribute 0, world positions) drawn with its lines
// of uSpacing and ten times that, the x and z axes coloured, fading to nothing at uFade
// from uEye (see ViewAids::grid).
extern char const* const kGroundVertexShader;
extern char const* const kGroundFragmentShader;
// A triangle covering the image, for the screen passes.
extern char const* const kScreenVertexShader;
// The selection colour on every pixel outside the mask within uRadius pixels of it.
extern char const* const kOutlineFragmentShader;

} // namespace refhost::view3d
