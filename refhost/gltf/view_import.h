// The view of an imported model: the scene's first camera as the view's camera, its punctual
// lights and the ambient light of the scene's extras as the view's lights, with tween points
// wherever the model animates them.
//
// A camera or light is keyed at every key time of the nodes above it and of its animated
// values (KHR_animation_pointer: a camera's field of view, aspect, sizes and planes; a
// light's colour, intensity and cone angles). Where the plug-in's blend between two keys
// cannot follow glTF's (the camera turns, a light's direction turns, or a parent moves it on
// a curve), the interval is also sampled 30 times a second. A camera becomes a view angle
// camera (perspective) or an orthographic one; an animated light is put in a group of its
// own at the document's top, the group's transform its place, so its tween points carry it.
// A still light joins the view's lights where it is. A model without lights gets a soft
// ambient light and a sun.
#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "refhost/document/document.h"
#include "refhost/gltf/keyed_tracks.h"
#include "refhost/gltf/tween_lists.h"

namespace refhost::gltf {

class ViewImport {
public:
    // Borrows the model, the animation and the name (for messages) for its lifetime.
    ViewImport(tinygltf::Model const& model, ModelAnimation const& animation,
               std::string const& name);
    ~ViewImport();
    ViewImport(ViewImport const&) = delete;
    ViewImport& operator=(ViewImport const&) = delete;

    // The camera of the last node of path (the nodes from a root down); the first one met is
    // the view's, later ones are not read. Throws GltfError for a camera index out of range.
    void Camera(int camera, std::vector<int> const& path);
    // The punctual light of the last node of path. Throws GltfError for an index out of range.
    void Light(int light, std::vector<int> const& path, std::string const& nodeName);

    // Adds the animated lights' groups to the document's other group and the view (its
    // camera, lights and pane) to the document. lastTime is raised to the last key made.
    void Finish(Document& document, int32_t& lastTime, uint32_t& nextSortingIndex);

private:
    struct Placed;
    CameraKey CameraAt(double seconds) const;
    LightKey LightAt(Placed const& light, double seconds) const;
    std::vector<Track const*> PathTracks(std::vector<int> const& path) const;
    bool MovesOnACurve(std::vector<int> const& path) const;
    KeyTimes Times(std::vector<int> const& path, std::vector<Track const*> tracks) const;
    Track const* Pointer(std::string const& pointer) const;
    void AddAmbient(int32_t& lastTime);
    void AddDefaultLights();

    tinygltf::Model const& fModel;
    ModelAnimation const& fAnimation;
    std::string const& fName;
    OpaqueTQ3Object* fLights; // the view's light group
    int fCamera = -1;
    std::vector<int> fCameraPath;
    std::vector<Placed> fAnimatedLights;
};

} // namespace refhost::gltf
