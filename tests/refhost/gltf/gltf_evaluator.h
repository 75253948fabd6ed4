// A glTF 2.0 animation evaluator written for the tests from the format's own rules, sharing
// nothing with the exporter: a model's node transforms and animated properties at any time.
//   - A node's local transform is its matrix, or T * R * S of its translation, rotation
//     (unit quaternion x, y, z, w) and scale; its world transform is its parent's times it.
//   - A channel's sampler gives the value at time t: before the first key the first value,
//     after the last the last; between keys k and k+1, with s = (t - t_k) / (t_k+1 - t_k):
//     STEP the value at k, LINEAR the straight line for translations, scales and pointer
//     values and spherical linear interpolation (the shorter way) for rotations,
//     CUBICSPLINE the Hermite spline of the key's in-tangent, value and out-tangent.
//   - KHR_animation_pointer channels animate the property at their JSON pointer; the
//     evaluator resolves materials' baseColorFactor and gives any other pointer's value.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <tiny_gltf.h>

namespace keypose_test {

using Mat4 = std::array<double, 16>; // column by column, as glTF stores matrices

class GltfEvaluator {
public:
    explicit GltfEvaluator(std::string const& path); // throws std::runtime_error

    // Every node's world matrix at time t (seconds).
    std::vector<Mat4> WorldMatrices(double t) const;
    // The base colour factor of a material at time t.
    std::array<double, 4> BaseColour(int material, double t) const;
    // The value a KHR_animation_pointer channel gives the property at its JSON pointer at time
    // t; nothing when no channel animates it.
    std::optional<std::vector<double>> Pointer(std::string const& pointer, double t) const;

    tinygltf::Model const& Model() const { return fModel; }
    // The values of a float accessor whose values lie packed in its buffer view.
    std::vector<float> Floats(int accessor) const;

private:
    std::vector<double> Sample(tinygltf::AnimationSampler const& sampler, double t,
                               bool rotation) const;

    tinygltf::Model fModel;
};

Mat4 Multiply(Mat4 const& a, Mat4 const& b);

} // namespace keypose_test
