// Channels of KHR_animation_pointer, which tinygltf reads only when their target names a node:
// each such target is given node 0 in the text before tinygltf reads it, and the importer
// tells them by their path ("pointer") and reads the property from the target's extension.
#pragma once

#include <string>

#include <tiny_gltf.h>

namespace refhost::gltf {

// The text with `"node":0,` before every `"path":"pointer"` member (whatever the spaces
// around its colon); the text itself when it has none. Linear in the text's length; a
// pointer written inside a string is left alone.
std::string WithPointerNodes(std::string const& text);

// The property a pointer channel animates: its target's KHR_animation_pointer "pointer",
// or "" when it names none.
std::string PointerOf(tinygltf::AnimationChannel const& channel);

} // namespace refhost::gltf
