// Keyed values of glTF animations as this host reads them: matrices in glTF's column-major
// order and an animated property's value at any time by the format's interpolation rules
// (LINEAR, with spherical interpolation for rotations; STEP; CUBICSPLINE's Hermite curve).
// Pure functions; nothing here fails on values the importer has checked.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "host/matrix4x4.h"

namespace refhost::gltf {

using Column = std::array<double, 16>; // glTF's column-major matrix

// An imported document's clock counts 600 units a second; what its tween points cannot blend
// as glTF does is sampled 30 times a second.
constexpr uint32_t kImportUnitsPerSecond = 600;
constexpr double kImportSamplesPerSecond = 30;

Column Identity();
Column Multiply(Column const& a, Column const& b);
// Translation, rotation (a quaternion x, y, z, w; normalised here) and scale as a matrix.
Column FromTrs(std::vector<double> const& t, std::vector<double> q, std::vector<double> const& s);
// A column-major glTF matrix is, read in order, the rows of the scene's row-vector matrix.
CMatrix4x4 RowMatrix(Column const& c);
// Spherical interpolation between unit quaternions, the shorter way round.
std::vector<double> Slerp(std::vector<double> const& a, std::vector<double> b, double s);

// One animated property: its sampler's key times (rising) and values, n numbers a value.
struct Track {
    std::string interpolation; // LINEAR, STEP or CUBICSPLINE
    std::vector<float> times;
    std::vector<float> values; // n a key, three times that for CUBICSPLINE
    std::size_t n = 0;

    // Key k's value (part 1); CUBICSPLINE's in-tangent is part 0, out-tangent part 2.
    std::vector<double> Value(std::size_t key, std::size_t part = 1) const;
    // The value at t seconds; held before the first key and after the last.
    std::vector<double> At(double t, bool rotation) const;
};

// The animated placement of one node.
struct NodeTracks {
    std::optional<Track> translation, rotation, scale;
};

// The first animation as the importer read it.
struct ModelAnimation {
    std::map<int, NodeTracks> nodes;       // by node index
    std::map<std::string, Track> pointers; // by the property animated (KHR_animation_pointer)
};

// A node's static translation, rotation and scale (glTF's defaults where it gives none).
std::vector<double> TranslationOf(tinygltf::Node const& node);
std::vector<double> RotationOf(tinygltf::Node const& node);
std::vector<double> ScaleOf(tinygltf::Node const& node);

// The node's local matrix at t seconds: its animated placement, or its matrix (the caller
// has checked it holds 16 numbers) or static placement.
Column LocalAt(tinygltf::Model const& model, ModelAnimation const& animation, int node, double t);
// The world matrix at t of the last node of path, the nodes from a root down.
Column WorldAt(tinygltf::Model const& model, ModelAnimation const& animation,
               std::vector<int> const& path, double t);

// The times, in host time units (unitsPerSecond a second), at which tween points reproduce
// a set of tracks: every key; when every track steps, the keys are holds (holds true);
// otherwise a STEP key is also kept until one unit before the next, and CUBICSPLINE curves
// are sampled samplesPerSecond a second between keys.
struct KeyTimes {
    std::set<int32_t> times;
    bool holds = false;
};
KeyTimes TimesOf(std::vector<Track const*> const& tracks, double unitsPerSecond,
                 double samplesPerSecond);

// Samples samplesPerSecond a second added within every interval between times that
// needsSampling(from, to) says the tween points' blend cannot follow (both in units).
template <typename Needs>
void AddSamples(std::set<int32_t>& times, double unitsPerSecond, double samplesPerSecond,
                Needs const& needsSampling) {
    std::vector<int32_t> const keys(times.begin(), times.end());
    double const step = unitsPerSecond / samplesPerSecond;
    for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
        if (keys[k + 1] - keys[k] <= step * 1.001 || !needsSampling(keys[k], keys[k + 1])) {
            continue;
        }
        for (double t = keys[k] + step; t < keys[k + 1] - step * 0.001; t += step) {
            times.insert(static_cast<int32_t>(std::lround(t)));
        }
    }
}

} // namespace refhost::gltf
