// The glTF layout of a document's scene, made in one walk of it (see scene_snapshot.h): groups
// as nodes named from their name attributes, each transform a nested node, each geometry a
// node with a mesh tessellated as the 3D view draws it and a material of its own, lights
// punctual lights (KHR_lights_punctual); ambient lights make no node. The builder also records
// where each place of the walk went, so that the values of every snapshot of the same scene
// can be keyed onto the nodes and materials made for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "host/matrix3x3.h"
#include "interp/easing.h"
#include "refhost/gltf/model_writer.h"
#include "refhost/gltf/scene_snapshot.h"

namespace refhost::gltf {

// An object group keyed at its tween points' times (all of one pivot): a node keyed with the
// translation of its pivot, its rotation and scale, over a fixed child that moves the pivot
// to the origin.
struct ExactGroup {
    std::size_t transform; // index among the transforms of a snapshot
    int node;              // the animated node
    TQ3Point3D pivot;
    std::vector<int32_t> times; // the tween points' times, in host units
    std::vector<uint8_t> eases; // how the interval from each point on is blended
    std::string interpolation = "LINEAR";
};

// A SceneVisitor that adds the scene's nodes, meshes, materials, textures and lights to the
// writer's model as it is told them. Nodes are at their places at the walk's time; nothing
// is animated here. The walk throws GltfError when a geometry cannot be tessellated.
class SceneBuilder : public SceneVisitor {
public:
    // The writer must outlive the builder; the model it holds is added to.
    explicit SceneBuilder(ModelWriter& writer) : fWriter(writer), fModel(writer.Model()) {}

    // Per snapshot place: the node a transform, geometry or light is.
    std::vector<int> transformNodes;
    std::vector<int> transformExact; // index into exact, or -1
    std::vector<ExactGroup> exact;
    std::set<OpaqueTQ3Object*> exactGroups; // the groups keyed at their points' times
    std::vector<int> materials;             // per geometry
    // Per geometry, the exactly keyed groups it is in: their tween points set its colours.
    std::vector<std::vector<int>> materialExact;
    std::vector<int> lightNodes, lightIndices; // -1 for ambient lights
    std::vector<int> roots;
    bool usesTextureTransform = false, usesSpecular = false;

    void BeginGroup(refhost::scene::Group& group, std::string const& name) override;
    void EndGroup(refhost::scene::Group&) override { fFrames.pop_back(); }
    void Transform(refhost::scene::Transform& transform) override;
    void Geometry(refhost::scene::Geometry& geometry, SurfaceValues const& surface) override;
    void Light(refhost::scene::Light& light) override;

    // The KHR_lights_punctual lights made, in the order the light nodes use them.
    tinygltf::Value::Array const& Lights() const { return fLights; }

private:
    struct Frame {
        int node;    // the group's
        int current; // where its next members go
        std::string name;
        int transforms = 0;
        int exact = -1;
        int geometries = 0, lights = 0;
    };

    int AddNode(std::string const& name);
    int TextureOf(refhost::scene::Texture const& texture);
    int AddMaterial(SurfaceValues const& surface);
    int AddMesh(refhost::scene::Geometry const& geometry, SurfaceValues const& surface,
                int material);

    ModelWriter& fWriter;
    tinygltf::Model& fModel;
    std::vector<Frame> fFrames;
    int fParent = -1; // where the next node goes when not the current frame's place
    std::map<refhost::scene::Texture const*, int> fTextures;
    tinygltf::Value::Array fLights;
};

// glTF's roughness for a specular control (0 rough, higher shinier), within 0 to 1.
double Roughness(float shininess);

// The texture transform in glTF's texture space (v down from the top of the image), split
// as KHR_texture_transform's offset, rotation and scale.
struct UvTrs {
    double offset[2];
    double rotation;
    double scale[2];
};

UvTrs TextureTrs(CMatrix3x3 const& m);

// The numbers as a JSON array.
tinygltf::Value Array(std::vector<double> const& values);

} // namespace refhost::gltf
