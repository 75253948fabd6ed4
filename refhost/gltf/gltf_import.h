// glTF 2.0 import: a model as a new document.
//
// Nodes become display groups named from the nodes, each holding a transform of the node's
// own and then its meshes and children (a node holding only a camera or a light makes none).
// A mesh primitive of triangles (indexed or not, in any of the triangle modes) becomes a
// triMesh with its positions, triangles and texture coordinates, in an attribute set of its
// own: the material's base colour as the diffuse colour, its alpha as the transparency,
// KHR_materials_specular's colour as the specular colour, the roughness as the specular
// control, the base colour texture (decoded) in a texture shader whose UV transform is
// KHR_texture_transform's. The scene's first camera becomes the view's camera, punctual
// lights the view's lights and the scene's extras' "ambient" its ambient light (see
// view_import.h, which also animates them).
//
// Translation, rotation and scale channels of the first animation become tween points of
// the nodes' groups, at the keys' times about the group's origin: LINEAR keys as they are
// (the plug-in's blend is glTF's interpolation), STEP keys as holds (when a node's keys all
// step; else held by a key one time unit before the next), CUBICSPLINE sampled at 30 a
// second; animated base colours (KHR_animation_pointer) join the tween points of the animated
// node above their mesh. Skins, morph targets, other primitive modes, other animations and
// other animated values are skipped, each with one warning line naming what was skipped; the
// document is still made.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "refhost/document/document.h"

namespace refhost::gltf {

// Reads the model at path (.glb or .gltf by its content). Throws GltfError naming the file,
// the place (a JSON pointer or a byte offset) and the reason when the file is not a glTF 2.0
// model this host can read; nothing is left behind then.
std::unique_ptr<Document> ImportGltf(std::string const& path, std::vector<std::string>& warnings);

// The same from the bytes of a file (for the fuzz target); name stands for the file.
std::unique_ptr<Document> ImportGltfBytes(std::vector<uint8_t> const& bytes,
                                          std::string const& name,
                                          std::vector<std::string>& warnings);

} // namespace refhost::gltf
