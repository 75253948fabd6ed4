// Reading a glTF model's accessors as this host takes them, and the one form every refusal
// of the importer takes: a GltfError naming the file, the place (a JSON pointer) and the
// reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tiny_gltf.h>

namespace refhost::gltf {

class AccessorReader {
public:
    // Borrows the model and the file's name (for messages) for its lifetime.
    AccessorReader(tinygltf::Model const& model, std::string const& name);

    [[noreturn]] void Fail(std::string const& place, std::string const& why) const;
    void Check(bool ok, std::string const& place, std::string const& why) const;

    // The list's item at index; refused when there is none ("no meshes 3 (there are 2)").
    template <typename T>
    T const& Item(std::vector<T> const& list, int index, std::string const& kind) const {
        Check(index >= 0 && static_cast<std::size_t>(index) < list.size(), "/" + kind,
              "no " + kind + " " + std::to_string(index) + " (there are " +
                  std::to_string(list.size()) + ")");
        return list[static_cast<std::size_t>(index)];
    }

    // An accessor's values as floats (normalised integers scaled), with as many components a
    // value as one of `components` allows. Refused: a sparse accessor, one of another size, a
    // number that is not finite, an accessor or buffer view that runs past its buffer.
    std::vector<float> Floats(int index, std::vector<int> const& components) const;
    // An accessor of unsigned integer scalars, as indices.
    std::vector<uint32_t> Indices(int index) const;

private:
    float Component(tinygltf::Accessor const& a, unsigned char const* p, int c,
                    std::string const& place) const;
    // Calls each with the address of every element, checked to lie within the buffer.
    template <typename Each>
    void Read(tinygltf::Accessor const& a, std::string const& place, Each const& each) const;

    tinygltf::Model const& fModel;
    std::string const& fName;
};

} // namespace refhost::gltf
