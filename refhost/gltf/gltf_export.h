// glTF 2.0 export of a document as the plug-in plays it.
//
// Groups become nodes named from their name attributes, each transform a nested node (a
// transform applies to the members after it), each geometry a node with a mesh tessellated
// as the 3D view draws it and a material of its own, lights punctual lights
// (KHR_lights_punctual; the ambient light in the scene's extras), the current view's camera
// a camera node.
//
// The animation runs over the document's range in seconds. An object group animated by
// tween points (all of one pivot) gets a node keyed at the points' own times with the
// translation of its pivot, its rotation and its scale, over a fixed child that moves the
// pivot to the origin: glTF's LINEAR interpolation then is the plug-in's blend about the
// pivot. Everything else that changes while the document plays (the camera, lights, colour
// effects and other values of the materials, texture transforms) is sampled from the
// plug-in's playback at the frame rate given and keyed LINEAR; material and light values are
// animated through KHR_animation_pointer, declared as used but not required. A group's holds
// are STEP keys when all its intervals hold (else a key one time unit before the later
// point); its eased intervals are sampled at the frames within them.
#pragma once

#include <cstddef>
#include <string>

#include "refhost/session/host_session.h"

namespace refhost::gltf {

struct ExportOptions {
    double fps = 30; // samples a second of what cannot be keyed exactly
};

struct ExportSummary {
    std::size_t bytes = 0;    // of the file written
    std::size_t nodes = 0;    // glTF nodes
    std::size_t channels = 0; // animation channels
    std::size_t times = 0;    // distinct times the document was played to
    bool sampled = false;     // whether anything was sampled at the frame rate
};

// Writes the session's front document to path (.glb or .gltf), playing it through the
// plug-in to every time it keys; the current time is put back afterwards. Throws GltfError
// naming the path when the document cannot be expressed (a geometry that cannot be
// tessellated) or the file cannot be written.
ExportSummary ExportGltf(HostSession& session, std::string const& path,
                         ExportOptions const& options = {});

} // namespace refhost::gltf
