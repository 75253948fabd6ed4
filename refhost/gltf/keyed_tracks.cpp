#include "refhost/gltf/keyed_tracks.h"

#include <algorithm>
#include <cmath>

namespace refhost::gltf {

Column Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Column Multiply(Column const& a, Column const& b) {
    Column m{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum +=
                    a[static_cast<std::size_t>(k * 4 + i)] * b[static_cast<std::size_t>(j * 4 + k)];
            }
            m[static_cast<std::size_t>(j * 4 + i)] = sum;
        }
    }
    return m;
}

Column FromTrs(std::vector<double> const& t, std::vector<double> q, std::vector<double> const& s) {
    double const n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (n > 0) {
        for (double& v : q) {
            v /= n;
        }
    }
    double const x = q[0], y = q[1], z = q[2], w = q[3];
    double const r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    Column m = Identity();
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[j * 4 + i] = r[i][j] * s[j];
        }
        m[12 + i] = t[i];
    }
    return m;
}

CMatrix4x4 RowMatrix(Column const& c) {
    CMatrix4x4 m;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m[i][j] = static_cast<float>(c[static_cast<std::size_t>(i * 4 + j)]);
        }
    }
    return m;
}

std::vector<double> Slerp(std::vector<double> const& a, std::vector<double> b, double s) {
    double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    if (dot < 0) {
        dot = -dot;
        for (double& v : b) {
            v = -v;
        }
    }
    double wa = 1 - s, wb = s;
    if (dot < 1.0 - 1e-9) {
        double const angle = std::acos(std::min(dot, 1.0));
        wa = std::sin((1 - s) * angle) / std::sin(angle);
        wb = std::sin(s * angle) / std::sin(angle);
    }
    std::vector<double> out(4);
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = wa * a[i] + wb * b[i];
    }
    return out;
}

std::vector<double> Track::Value(std::size_t key, std::size_t part) const {
    std::size_t const at = interpolation == "CUBICSPLINE" ? (key * 3 + part) * n : key * n;
    return std::vector<double>(values.begin() + static_cast<std::ptrdiff_t>(at),
                               values.begin() + static_cast<std::ptrdiff_t>(at + n));
}

std::vector<double> Track::At(double t, bool rotation) const {
    if (t <= times.front()) {
        return Value(0);
    }
    if (t >= times.back()) {
        return Value(times.size() - 1);
    }
    std::size_t k = static_cast<std::size_t>(
        std::upper_bound(times.begin(), times.end(), static_cast<float>(t)) - times.begin() - 1);
    double const dt = double{times[k + 1]} - times[k];
    double const s = dt > 0 ? (t - times[k]) / dt : 0;
    if (interpolation == "STEP") {
        return Value(k);
    }
    if (interpolation == "CUBICSPLINE") {
        std::vector<double> const p0 = Value(k, 1), m0 = Value(k, 2), p1 = Value(k + 1, 1),
                                  m1 = Value(k + 1, 0);
        double const s2 = s * s, s3 = s2 * s;
        std::vector<double> out(n);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = (2 * s3 - 3 * s2 + 1) * p0[i] + (s3 - 2 * s2 + s) * dt * m0[i] +
                     (-2 * s3 + 3 * s2) * p1[i] + (s3 - s2) * dt * m1[i];
        }
        return out;
    }
    std::vector<double> const a = Value(k), b = Value(k + 1);
    if (rotation) {
        return Slerp(a, b, s);
    }
    std::vector<double> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = a[i] + (b[i] - a[i]) * s;
    }
    return out;
}

std::vector<double> TranslationOf(tinygltf::Node const& n) {
    return n.translation.size() == 3 ? n.translation : std::vector<double>{0, 0, 0};
}
std::vector<double> RotationOf(tinygltf::Node const& n) {
    return n.rotation.size() == 4 ? n.rotation : std::vector<double>{0, 0, 0, 1};
}
std::vector<double> ScaleOf(tinygltf::Node const& n) {
    return n.scale.size() == 3 ? n.scale : std::vector<double>{1, 1, 1};
}

Column LocalAt(tinygltf::Model const& model, ModelAnimation const& animation, int node, double t) {
    tinygltf::Node const& n = model.nodes[static_cast<std::size_t>(node)];
    auto const found = animation.nodes.find(node);
    if (found == animation.nodes.end() && n.matrix.size() == 16) {
        Column c;
        std::copy(n.matrix.begin(), n.matrix.end(), c.begin());
        return c;
    }
    if (found == animation.nodes.end()) {
        return FromTrs(TranslationOf(n), RotationOf(n), ScaleOf(n));
    }
    NodeTracks const& tracks = found->second;
    auto at = [&](std::optional<Track> const& track, std::vector<double> const& fixed,
                  bool rotation) { return track ? track->At(t, rotation) : fixed; };
    return FromTrs(at(tracks.translation, TranslationOf(n), false),
                   at(tracks.rotation, RotationOf(n), true), at(tracks.scale, ScaleOf(n), false));
}

Column WorldAt(tinygltf::Model const& model, ModelAnimation const& animation,
               std::vector<int> const& path, double t) {
    Column world = Identity();
    for (int node : path) {
        world = Multiply(world, LocalAt(model, animation, node, t));
    }
    return world;
}

KeyTimes TimesOf(std::vector<Track const*> const& tracks, double unitsPerSecond,
                 double samplesPerSecond) {
    auto units = [&](double seconds) {
        return static_cast<int32_t>(std::lround(seconds * unitsPerSecond));
    };
    KeyTimes out;
    out.holds = !tracks.empty();
    for (Track const* track : tracks) {
        out.holds = out.holds && track->interpolation == "STEP";
    }
    for (Track const* track : tracks) {
        auto const& t = track->times;
        for (std::size_t k = 0; k < t.size(); ++k) {
            out.times.insert(units(t[k]));
            if (!out.holds && k + 1 < t.size() && track->interpolation == "STEP") {
                out.times.insert(std::max(units(t[k]), units(t[k + 1]) - 1));
            }
            if (k + 1 < t.size() && track->interpolation == "CUBICSPLINE") {
                for (double s = t[k] + 1 / samplesPerSecond; s < t[k + 1];
                     s += 1 / samplesPerSecond) {
                    out.times.insert(units(s));
                }
            }
        }
    }
    return out;
}

} // namespace refhost::gltf
