// The surface of an imported mesh primitive from its glTF material: the base colour as the
// diffuse colour, its alpha as the transparency, KHR_materials_specular's colour as the
// specular colour, the roughness (or the extras' shininess) as the specular control, the
// extras' ambient coefficient, and the base colour texture (decoded, shared by every
// primitive that shows it) in a texture shader whose UV transform is KHR_texture_transform's.
#pragma once

#include <functional>
#include <map>
#include <string>

#include <tiny_gltf.h>

#include "host/scene/attribute_set.h"
#include "refhost/gltf/accessor_reader.h"
#include "refhost/scene/objects.h"

namespace refhost::gltf {

class MaterialImport {
public:
    // Borrows the model and the reader for its lifetime; skip is told, in a phrase, what
    // cannot be shown (a texture without texture coordinates, an image it cannot decode).
    MaterialImport(tinygltf::Model const& model, AccessorReader const& read,
                   std::function<void(std::string const&)> skip);
    ~MaterialImport(); // releases the textures it keeps
    MaterialImport(MaterialImport const&) = delete;
    MaterialImport& operator=(MaterialImport const&) = delete;

    // Sets what material `index` (none when negative) gives into the set. Throws GltfError
    // for a material or texture that is not there.
    void Apply(int index, refhost::scene::AttributeSet& set, bool hasUVs);

private:
    // The texture (one reference, the caller's), or null when its image cannot be decoded.
    OpaqueTQ3Object* Texture(int index);

    tinygltf::Model const& fModel;
    AccessorReader const& fRead;
    std::function<void(std::string const&)> fSkip;
    std::map<int, OpaqueTQ3Object*> fTextures; // one reference each, this object's
};

} // namespace refhost::gltf
