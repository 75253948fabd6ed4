#include "refhost/gltf/gltf_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "host/four_char_code.h"
#include "host/framework.h"
#include "host/scene/attribute_set.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/model_writer.h"
#include "refhost/gltf/png_codec.h"
#include "refhost/gltf/scene_snapshot.h"
#include "refhost/gltf/tween_lists.h"
#include "refhost/view3d/tessellation.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

using Quaternion = std::array<double, 4>; // x, y, z, w as glTF keeps them

// The rotation of a column-vector matrix c (c[row][column]) as a unit quaternion.
Quaternion FromColumns(double const c[3][3]) {
    double const trace = c[0][0] + c[1][1] + c[2][2];
    Quaternion q;
    if (trace > 0) {
        double const s = 0.5 / std::sqrt(trace + 1.0);
        q = {(c[2][1] - c[1][2]) * s, (c[0][2] - c[2][0]) * s, (c[1][0] - c[0][1]) * s, 0.25 / s};
    } else if (c[0][0] > c[1][1] && c[0][0] > c[2][2]) {
        double const s = 2.0 * std::sqrt(1.0 + c[0][0] - c[1][1] - c[2][2]);
        q = {0.25 * s, (c[0][1] + c[1][0]) / s, (c[0][2] + c[2][0]) / s, (c[2][1] - c[1][2]) / s};
    } else if (c[1][1] > c[2][2]) {
        double const s = 2.0 * std::sqrt(1.0 + c[1][1] - c[0][0] - c[2][2]);
        q = {(c[0][1] + c[1][0]) / s, 0.25 * s, (c[1][2] + c[2][1]) / s, (c[0][2] - c[2][0]) / s};
    } else {
        double const s = 2.0 * std::sqrt(1.0 + c[2][2] - c[0][0] - c[1][1]);
        q = {(c[0][2] + c[2][0]) / s, (c[1][2] + c[2][1]) / s, 0.25 * s, (c[1][0] - c[0][1]) / s};
    }
    double const n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& v : q) {
        v /= n;
    }
    return q;
}

// A node's translation, rotation and scale.
struct Trs {
    std::array<double, 3> t{0, 0, 0};
    Quaternion r{0, 0, 0, 1};
    std::array<double, 3> s{1, 1, 1};
};

// A matrix of row vectors (scale, then rotation, then translation) as glTF's TRS, the
// translation being where the point pivot goes.
Trs Decompose(CMatrix4x4 const& m, TQ3Point3D const& pivot = {0, 0, 0}) {
    CMatrix4x4 const rotation = m.ExtractRotation();
    CMatrix4x4 const scale = (m * InverseOf(rotation)).ExtractScale();
    double columns[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            columns[i][j] = rotation[j][i];
        }
    }
    Trs trs;
    trs.r = FromColumns(columns);
    trs.s = {scale[0][0], scale[1][1], scale[2][2]};
    CPoint3D const moved = CPoint3D(pivot) * m;
    trs.t = {moved.x, moved.y, moved.z};
    return trs;
}

// The rotation that turns -z to the direction d.
Quaternion TowardDirection(TQ3Vector3D const& d) {
    CVector3D const to = Normalise(CVector3D(d));
    double const dot = -to.z;
    if (dot < -0.999999) {
        return {1, 0, 0, 0};
    }
    // axis = (0, 0, -1) x to
    Quaternion q = {to.y, -to.x, 0, 1.0 + dot};
    double const n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[3] * q[3]);
    for (double& v : q) {
        v /= n;
    }
    return q;
}

Trs LightTrs(LightValues const& light) {
    Trs trs;
    trs.t = {light.location.x, light.location.y, light.location.z};
    if (light.kind != "pntl"_4cc) {
        trs.r = TowardDirection(light.direction);
    }
    return trs;
}

// What glTF's camera holds of a camera: perspective (vertical field of view as height, aspect
// as width) or orthographic (half sizes), and its near and far planes. A view angle is that of
// the camera's shorter side; a view plane camera is the perspective that sees its window.
struct Lens {
    bool orthographic = false;
    double width = 1, height = 1;
    float hither = 1e-4f, yon = 2e-4f;
};

Lens LensOf(CameraValues const& c) {
    Lens lens;
    lens.hither = std::max(c.data.range.hither, 1e-4f);
    lens.yon = std::max(c.data.range.yon, lens.hither * 2);
    if (c.kind == "orth"_4cc) {
        lens.orthographic = true;
        lens.width = std::max(std::fabs(c.right - c.left) / 2, 1e-4f);
        lens.height = std::max(std::fabs(c.top - c.bottom) / 2, 1e-4f);
        return lens;
    }
    double yfov = 1.0, aspect = 1.0;
    if (c.kind == "vwpl"_4cc && c.viewPlane > 0 && c.halfHeight > 0) {
        yfov = 2 * std::atan(c.halfHeight / c.viewPlane);
        aspect = c.halfWidth / c.halfHeight;
    } else if (c.aspectRatio > 0) {
        aspect = c.aspectRatio;
        yfov = aspect >= 1 ? c.fieldOfView : 2 * std::atan(std::tan(c.fieldOfView / 2) / aspect);
    }
    lens.height = std::clamp(yfov, 1e-3, M_PI - 1e-3);
    lens.width = std::max(aspect, 1e-3);
    return lens;
}

// The camera's placement as a node looking down its -z with y up.
Trs CameraTrs(CameraValues const& camera) {
    TQ3CameraPlacement const& p = camera.data.placement;
    CVector3D const back = Normalise(CPoint3D(p.cameraLocation) - CPoint3D(p.pointOfInterest));
    CVector3D const right = Normalise(CrossProduct(CVector3D(p.upVector), back));
    CVector3D const up = CrossProduct(back, right);
    double const columns[3][3] = {
        {right.x, up.x, back.x}, {right.y, up.y, back.y}, {right.z, up.z, back.z}};
    Trs trs;
    trs.r = FromColumns(columns);
    trs.t = {p.cameraLocation.x, p.cameraLocation.y, p.cameraLocation.z};
    return trs;
}

std::vector<double> Values(std::array<double, 3> const& a) {
    return {a[0], a[1], a[2]};
}

void SetTrs(tinygltf::Node& node, Trs const& trs) {
    node.matrix.clear();
    node.translation = Values(trs.t);
    node.rotation = {trs.r[0], trs.r[1], trs.r[2], trs.r[3]};
    node.scale = Values(trs.s);
}

std::vector<double> MatrixValues(CMatrix4x4 const& m) {
    // Row vectors stored row by row are glTF's column vectors stored column by column.
    std::vector<double> values;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            values.push_back(m[i][j]);
        }
    }
    return values;
}

double Roughness(float shininess) {
    return std::clamp(std::sqrt(2.0 / (std::max(shininess, 0.0f) + 2.0)), 0.0, 1.0);
}

// The texture transform in glTF's texture space (v down from the top of the image), split
// as KHR_texture_transform's offset, rotation and scale.
struct UvTrs {
    double offset[2];
    double rotation;
    double scale[2];
};

UvTrs TextureTrs(CMatrix3x3 const& m) {
    // (u', v') = (u, v, 1) * m in the scene's space, v up; t = 1 - v in the image's.
    double const a = m[0][0], b = m[0][1], c = m[1][0], d = m[1][1];
    double const tx = m[2][0], ty = m[2][1];
    double const g00 = a, g01 = -c, g10 = -b, g11 = d;
    UvTrs out;
    out.offset[0] = c + tx;
    out.offset[1] = 1.0 - d - ty;
    out.rotation = std::atan2(g10, g00);
    double const cs = std::cos(out.rotation), sn = std::sin(out.rotation);
    out.scale[0] = std::hypot(g00, g10);
    out.scale[1] = -sn * g01 + cs * g11;
    return out;
}

tinygltf::Value Array(std::vector<double> const& values) {
    tinygltf::Value::Array array;
    for (double v : values) {
        array.emplace_back(v);
    }
    return tinygltf::Value(std::move(array));
}

struct Exact {
    std::size_t transform; // index among the transforms of a snapshot
    int node;              // the animated node
    TQ3Point3D pivot;
    std::vector<int32_t> times; // the tween points' times, in host units
    std::vector<uint8_t> eases; // how the interval from each point on is blended
    std::string interpolation = "LINEAR";
};

constexpr uint8_t kLinear = 0, kHold = 4; // the eases of a tween point's record header

class Builder : public SceneVisitor {
public:
    Builder(ModelWriter& writer) : fWriter(writer), fModel(writer.Model()) {}

    // Per snapshot place: the node a transform, geometry or light is.
    std::vector<int> transformNodes;
    std::vector<int> transformExact; // index into exact, or -1
    std::vector<Exact> exact;
    std::set<OpaqueTQ3Object*> exactGroups; // the groups keyed at their points' times
    std::vector<int> materials;             // per geometry
    // Per geometry, the exactly keyed groups it is in: their tween points set its colours.
    std::vector<std::vector<int>> materialExact;
    std::vector<int> lightNodes, lightIndices; // -1 for ambient lights
    std::vector<int> roots;
    TQ3ColorRGB ambient{0, 0, 0};
    bool usesTextureTransform = false, usesSpecular = false;

    void BeginGroup(Group& group, std::string const& name) override {
        // The document's own groups (selected, others, the view's lights) are not nodes:
        // their members are the scene's roots, as they are the objects a user names.
        int const node = fFrames.empty() ? -1 : AddNode(name);
        Frame frame{node, node, name, 0, -1};
        if (auto keys = ReadObjectKeys(&group); keys && !keys->empty() && !HoldsLight(group)) {
            bool const onePivot = std::all_of(keys->begin(), keys->end(), [&](ObjectKey const& k) {
                return k.pivot == keys->front().pivot;
            });
            if (onePivot) {
                Exact e{0, -1, keys->front().pivot, {}, {}};
                for (ObjectKey const& k : *keys) {
                    e.times.push_back(k.time);
                    e.eases.push_back(k.ease);
                }
                exact.push_back(e);
                exactGroups.insert(&group);
                frame.exact = static_cast<int>(exact.size() - 1);
            }
        }
        fFrames.push_back(frame);
    }

    void EndGroup(Group&) override { fFrames.pop_back(); }

    void Transform(refhost::scene::Transform& transform) override {
        Frame& frame = fFrames.back();
        std::size_t const index = transformNodes.size();
        if (frame.exact >= 0 && frame.transforms == 0) {
            Exact& e = exact[static_cast<std::size_t>(frame.exact)];
            e.transform = index;
            e.node = AddNode(frame.name + "_motion");
            SetTrs(fModel.nodes[static_cast<std::size_t>(e.node)],
                   Decompose(transform.matrix, e.pivot));
            fParent = e.node;
            int const pivot = AddNode(frame.name + "_pivot");
            fModel.nodes[static_cast<std::size_t>(pivot)].translation = {-e.pivot.x, -e.pivot.y,
                                                                         -e.pivot.z};
            transformNodes.push_back(e.node);
            transformExact.push_back(frame.exact);
        } else {
            int const node = AddNode(frame.name + "_transform" + std::to_string(frame.transforms));
            if (!(transform.matrix == CMatrix4x4(1.0))) {
                fModel.nodes[static_cast<std::size_t>(node)].matrix =
                    MatrixValues(transform.matrix);
            }
            transformNodes.push_back(node);
            transformExact.push_back(-1);
        }
        ++frame.transforms;
        frame.current = static_cast<int>(fModel.nodes.size() - 1);
    }

    void Geometry(refhost::scene::Geometry& geometry, SurfaceValues const& surface) override {
        Frame& frame = fFrames.back();
        int const node =
            AddNode(frame.name + "_" + GeometryKind(geometry) + std::to_string(frame.geometries++));
        int const material = AddMaterial(surface);
        materials.push_back(material);
        std::vector<int> enclosing;
        for (Frame const& f : fFrames) {
            if (f.exact >= 0) {
                enclosing.push_back(f.exact);
            }
        }
        materialExact.push_back(enclosing);
        int const mesh = AddMesh(geometry, surface, material);
        if (mesh >= 0) {
            fModel.nodes[static_cast<std::size_t>(node)].mesh = mesh;
        }
        tinygltf::Value::Object extras;
        extras["geometry"] = tinygltf::Value(static_cast<int>(materials.size() - 1));
        fModel.nodes[static_cast<std::size_t>(node)].extras = tinygltf::Value(extras);
    }

    void Light(refhost::scene::Light& light) override {
        LightValues const values = ValuesOf(light);
        if (values.kind == "ambn"_4cc) {
            if (values.on) {
                ambient.r += values.colour.r * values.brightness;
                ambient.g += values.colour.g * values.brightness;
                ambient.b += values.colour.b * values.brightness;
            }
            lightNodes.push_back(-1);
            lightIndices.push_back(-1);
            return;
        }
        Frame& frame = fFrames.back();
        int const node = AddNode(frame.name + "_light" + std::to_string(frame.lights++));
        SetTrs(fModel.nodes[static_cast<std::size_t>(node)], LightTrs(values));
        tinygltf::Value::Object light_;
        switch (values.kind) {
        case "drct"_4cc:
            light_["type"] = tinygltf::Value(std::string("directional"));
            break;
        case "spot"_4cc: {
            light_["type"] = tinygltf::Value(std::string("spot"));
            double const outer = std::clamp<double>(values.outerAngle, 1e-3, M_PI / 2);
            double const inner = std::clamp<double>(values.hotAngle, 0.0, outer - 1e-4);
            tinygltf::Value::Object spot;
            spot["innerConeAngle"] = tinygltf::Value(inner);
            spot["outerConeAngle"] = tinygltf::Value(outer);
            light_["spot"] = tinygltf::Value(spot);
            break;
        }
        default:
            light_["type"] = tinygltf::Value(std::string("point"));
            break;
        }
        light_["color"] = Array({values.colour.r, values.colour.g, values.colour.b});
        light_["intensity"] = tinygltf::Value(values.on ? double{values.brightness} : 0.0);
        // glTF's lights fade with the square of the distance; this host's keep their own
        // fading (0 none, 1 with the distance, 2 with its square), and a spot light its
        // edge, for the importer.
        tinygltf::Value::Object extras;
        if (values.kind != "drct"_4cc) {
            extras["attenuation"] = tinygltf::Value(static_cast<int>(light.attenuation));
        }
        if (values.kind == "spot"_4cc && light.fallOff != kQ3FallOffTypeNone) {
            extras["fallOff"] = tinygltf::Value(static_cast<int>(light.fallOff));
        }
        if (!extras.empty()) {
            light_["extras"] = tinygltf::Value(extras);
        }
        fLights.push_back(tinygltf::Value(light_));
        tinygltf::Value::Object use;
        use["light"] = tinygltf::Value(static_cast<int>(fLights.size() - 1));
        fModel.nodes[static_cast<std::size_t>(node)].extensions["KHR_lights_punctual"] =
            tinygltf::Value(use);
        lightNodes.push_back(node);
        lightIndices.push_back(static_cast<int>(fLights.size() - 1));
    }

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

    static bool HoldsLight(Group const& group) {
        for (OpaqueTQ3GroupPosition* p = group.first; p; p = p->next) {
            if (As<refhost::scene::Light>(p->object)) {
                return true;
            }
        }
        return false;
    }

    static std::string GeometryKind(refhost::scene::Geometry const& geometry) {
        if (As<Box>(const_cast<refhost::scene::Geometry*>(&geometry))) {
            return "box";
        }
        if (As<TriMesh>(const_cast<refhost::scene::Geometry*>(&geometry))) {
            return "trimesh";
        }
        if (As<Triangle>(const_cast<refhost::scene::Geometry*>(&geometry))) {
            return "triangle";
        }
        return "nurb";
    }

    int AddNode(std::string const& name) {
        tinygltf::Node node;
        node.name = name;
        fModel.nodes.push_back(node);
        int const index = static_cast<int>(fModel.nodes.size() - 1);
        int const parent = fParent >= 0 ? fParent : fFrames.empty() ? -1 : fFrames.back().current;
        if (parent < 0) {
            roots.push_back(index);
        } else {
            fModel.nodes[static_cast<std::size_t>(parent)].children.push_back(index);
        }
        fParent = -1;
        return index;
    }

    int TextureOf(Texture const& texture) {
        auto found = fTextures.find(&texture);
        if (found != fTextures.end()) {
            return found->second;
        }
        tinygltf::Image image;
        image.mimeType = "image/png";
        image.bufferView = fWriter.AddBytes(EncodePng(texture.width, texture.height, texture.rgba));
        fModel.images.push_back(image);
        if (fModel.samplers.empty()) {
            tinygltf::Sampler sampler;
            sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            fModel.samplers.push_back(sampler);
        }
        tinygltf::Texture out;
        out.source = static_cast<int>(fModel.images.size() - 1);
        out.sampler = 0;
        fModel.textures.push_back(out);
        int const index = static_cast<int>(fModel.textures.size() - 1);
        fTextures[&texture] = index;
        return index;
    }

    int AddMaterial(SurfaceValues const& surface) {
        tinygltf::Material material;
        auto& pbr = material.pbrMetallicRoughness;
        auto const* texture = surface.shader ? As<Texture>(surface.shader->texture) : nullptr;
        if (texture) {
            pbr.baseColorFactor = {1, 1, 1, surface.opacity};
            pbr.baseColorTexture.index = TextureOf(*texture);
            UvTrs const uv = TextureTrs(surface.uvTransform);
            tinygltf::Value::Object transform;
            transform["offset"] = Array({uv.offset[0], uv.offset[1]});
            transform["rotation"] = tinygltf::Value(uv.rotation);
            transform["scale"] = Array({uv.scale[0], uv.scale[1]});
            pbr.baseColorTexture.extensions["KHR_texture_transform"] = tinygltf::Value(transform);
            usesTextureTransform = true;
        } else {
            pbr.baseColorFactor = {surface.diffuse.r, surface.diffuse.g, surface.diffuse.b,
                                   surface.opacity};
        }
        pbr.metallicFactor = 0;
        pbr.roughnessFactor = Roughness(surface.shininess);
        material.alphaMode = surface.opacity < 1.0f ? "BLEND" : "OPAQUE";
        material.doubleSided = true;
        if (surface.specular) {
            tinygltf::Value::Object specular;
            specular["specularColorFactor"] =
                Array({surface.specular->r, surface.specular->g, surface.specular->b});
            material.extensions["KHR_materials_specular"] = tinygltf::Value(specular);
            usesSpecular = true;
        }
        tinygltf::Value::Object extras;
        extras["shininess"] = tinygltf::Value(double{surface.shininess});
        extras["ambientCoefficient"] = tinygltf::Value(double{surface.ambientCoefficient});
        material.extras = tinygltf::Value(extras);
        fModel.materials.push_back(material);
        return static_cast<int>(fModel.materials.size() - 1);
    }

    int AddMesh(refhost::scene::Geometry const& geometry, SurfaceValues const& surface,
                int material) {
        view3d::Tessellation shape;
        try {
            shape = view3d::Tessellate(geometry);
        } catch (std::exception const& e) {
            throw GltfError(std::string("a geometry cannot be tessellated: ") + e.what());
        }
        tinygltf::Mesh mesh;
        std::vector<float> positions, normals, uvs, colours;
        bool cornerColours = false;
        for (auto const& triangle : shape.triangles) {
            for (auto const& corner : triangle) {
                auto const* set = As<AttributeSet>(corner.set);
                cornerColours = cornerColours || (set && (set->diffuse || set->transparency));
            }
        }
        for (auto const& triangle : shape.triangles) {
            CVector3D const u = CPoint3D(triangle[1].point) - CPoint3D(triangle[0].point);
            CVector3D const v = CPoint3D(triangle[2].point) - CPoint3D(triangle[0].point);
            CVector3D const cross = CrossProduct(u, v);
            if (Pythag(cross) == 0) {
                continue; // no area: nothing shows
            }
            CVector3D const n = Normalise(cross);
            for (auto const& corner : triangle) {
                positions.insert(positions.end(), {corner.point.x, corner.point.y, corner.point.z});
                TQ3Vector3D const shaded = view3d::ShadingNormal(corner.normal, n);
                normals.insert(normals.end(), {shaded.x, shaded.y, shaded.z});
                uvs.insert(uvs.end(), {corner.uv.u, 1.0f - corner.uv.v});
                if (cornerColours) {
                    SurfaceValues c = surface;
                    if (auto const* set = As<AttributeSet>(corner.set)) {
                        c.diffuse = set->diffuse.value_or(c.diffuse);
                        if (set->transparency) {
                            c.opacity = (set->transparency->r + set->transparency->g +
                                         set->transparency->b) /
                                        3.0f;
                        }
                    }
                    colours.insert(colours.end(), {c.diffuse.r, c.diffuse.g, c.diffuse.b,
                                                   std::clamp(c.opacity, 0.0f, 1.0f)});
                }
            }
        }
        if (!positions.empty()) {
            tinygltf::Primitive primitive;
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            primitive.material = material;
            primitive.attributes["POSITION"] =
                fWriter.AddFloats(positions, 3, true, TINYGLTF_TARGET_ARRAY_BUFFER);
            primitive.attributes["NORMAL"] =
                fWriter.AddFloats(normals, 3, false, TINYGLTF_TARGET_ARRAY_BUFFER);
            if (surface.shader && As<Texture>(surface.shader->texture)) {
                primitive.attributes["TEXCOORD_0"] =
                    fWriter.AddFloats(uvs, 2, false, TINYGLTF_TARGET_ARRAY_BUFFER);
            }
            if (cornerColours) {
                primitive.attributes["COLOR_0"] =
                    fWriter.AddFloats(colours, 4, false, TINYGLTF_TARGET_ARRAY_BUFFER);
                auto& factor = fModel.materials[static_cast<std::size_t>(material)]
                                   .pbrMetallicRoughness.baseColorFactor;
                factor = {1, 1, 1, 1};
            }
            mesh.primitives.push_back(primitive);
        }
        if (!shape.segments.empty()) {
            std::vector<float> points;
            for (auto const& segment : shape.segments) {
                for (TQ3Point3D const& p : segment) {
                    points.insert(points.end(), {p.x, p.y, p.z});
                }
            }
            tinygltf::Primitive lines;
            lines.mode = TINYGLTF_MODE_LINE;
            lines.material = material;
            lines.attributes["POSITION"] =
                fWriter.AddFloats(points, 3, true, TINYGLTF_TARGET_ARRAY_BUFFER);
            mesh.primitives.push_back(lines);
        }
        if (mesh.primitives.empty()) {
            return -1;
        }
        fModel.meshes.push_back(mesh);
        return static_cast<int>(fModel.meshes.size() - 1);
    }

    ModelWriter& fWriter;
    tinygltf::Model& fModel;
    std::vector<Frame> fFrames;
    int fParent = -1; // where the next node goes when not the current frame's place
    std::map<Texture const*, int> fTextures;
    tinygltf::Value::Array fLights;
};

// The ambient lights that are on, added up.
std::array<float, 3> Ambient(Snapshot const& snapshot) {
    std::array<float, 3> sum{0, 0, 0};
    for (LightValues const& light : snapshot.lights) {
        if (light.kind == "ambn"_4cc && light.on) {
            sum[0] += light.colour.r * light.brightness;
            sum[1] += light.colour.g * light.brightness;
            sum[2] += light.colour.b * light.brightness;
        }
    }
    return sum;
}

// Whether anything but object groups' tween points changes the scene while it plays: a
// tween list on a light, a light's group or the camera, or a continuous effect.
bool NeedsSampling(OpaqueTQ3Object* object, std::set<OpaqueTQ3Object*> const& exactGroups) {
    if (!object) {
        return false;
    }
    if (auto const* set = As<AttributeSet>(object->set)) {
        for (int effect : {eTextureEffectAttribute, eLightEffectAttribute, eColourEffectAttribute,
                           eTweenAttribute}) {
            if (set->custom.count(GetCustomAttributeType(effect)) &&
                !(effect == eTweenAttribute && exactGroups.count(object))) {
                return true;
            }
        }
    }
    if (auto* group = As<Group>(object)) {
        for (OpaqueTQ3GroupPosition* p = group->first; p; p = p->next) {
            if (NeedsSampling(p->object, exactGroups)) {
                return true;
            }
        }
    }
    if (auto* view = As<View>(object)) {
        return NeedsSampling(view->camera, exactGroups) || NeedsSampling(view->lights, exactGroups);
    }
    return false;
}

class Animator {
public:
    Animator(ModelWriter& writer, tinygltf::Animation& animation)
        : fWriter(writer), fAnimation(animation) {}

    void Channel(std::vector<float> const& times, std::vector<float> const& values, int components,
                 int node, std::string const& path, std::string const& pointer = {},
                 std::string const& interpolation = "LINEAR") {
        tinygltf::AnimationSampler sampler;
        sampler.input = fWriter.AddFloats(times, 1, true); // shared by equal times
        sampler.output = fWriter.AddFloats(values, components, false);
        sampler.interpolation = interpolation;
        fAnimation.samplers.push_back(sampler);
        tinygltf::AnimationChannel channel;
        channel.sampler = static_cast<int>(fAnimation.samplers.size() - 1);
        channel.target_node = node;
        channel.target_path = path;
        if (!pointer.empty()) {
            tinygltf::Value::Object ext;
            ext["pointer"] = tinygltf::Value(pointer);
            channel.target_extensions["KHR_animation_pointer"] = tinygltf::Value(ext);
        }
        fAnimation.channels.push_back(channel);
    }

    void NodeTrs(std::vector<float> const& times, std::vector<Trs> const& keys, int node,
                 std::string const& interpolation = "LINEAR") {
        std::vector<float> t, r, s;
        Quaternion last{0, 0, 0, 1};
        for (std::size_t i = 0; i < keys.size(); ++i) {
            Quaternion q = keys[i].r;
            double const dot = q[0] * last[0] + q[1] * last[1] + q[2] * last[2] + q[3] * last[3];
            if (i > 0 && dot < 0) {
                for (double& v : q) {
                    v = -v;
                }
            }
            last = q;
            for (int k = 0; k < 3; ++k) {
                t.push_back(static_cast<float>(keys[i].t[static_cast<std::size_t>(k)]));
                s.push_back(static_cast<float>(keys[i].s[static_cast<std::size_t>(k)]));
            }
            for (double v : q) {
                r.push_back(static_cast<float>(v));
            }
        }
        Channel(times, t, 3, node, "translation", {}, interpolation);
        Channel(times, r, 4, node, "rotation", {}, interpolation);
        Channel(times, s, 3, node, "scale", {}, interpolation);
    }

private:
    ModelWriter& fWriter;
    tinygltf::Animation& fAnimation;
};

} // namespace

ExportSummary ExportGltf(HostSession& session, std::string const& path,
                         ExportOptions const& options) {
    if (!(options.fps > 0) || options.fps > 1000) {
        throw GltfError(path + ": the frame rate must lie between 0 and 1000 a second");
    }
    Document& document = session.Front();
    ClockSettings const clock = document.clock;
    int32_t const start = std::min(clock.minimum, clock.maximum);
    int32_t const end = std::max(clock.minimum, clock.maximum);
    double const units = clock.unitsPerSecond ? clock.unitsPerSecond : 600;
    int32_t const origin = std::min(start, 0); // glTF times are not negative
    auto seconds = [&](int32_t t) { return static_cast<float>((double(t) - origin) / units); };
    int32_t const current = PL_GetCurTime();
    auto playTo = [&](int32_t t) {
        PL_SetCurTime(t);
        session.Loop().Frame(0);
    };

    playTo(start);
    ModelWriter writer;
    tinygltf::Model& model = writer.Model();
    Builder builder(writer);
    try {
        WalkDocument(document, builder);
    } catch (GltfError const& e) {
        playTo(current);
        throw GltfError(path + ": " + e.what());
    }

    // The times to play to: every exact key within the range, the range's ends, and the
    // frames between them when anything has to be sampled.
    bool const sampled = NeedsSampling(document.SelectedGroup(), builder.exactGroups) ||
                         NeedsSampling(document.OtherGroup(), builder.exactGroups) ||
                         NeedsSampling(document.CurrentView(), builder.exactGroups);
    std::set<int32_t> times = {start, end};
    std::vector<int32_t> grid;
    for (int k = 0;; ++k) {
        auto const t = static_cast<int32_t>(std::lround(start + k * units / options.fps));
        if (t >= end) {
            break;
        }
        grid.push_back(t);
    }
    grid.push_back(end);
    if (sampled) {
        times.insert(grid.begin(), grid.end());
    }
    // An object group is keyed at its points' times. A hold keeps the earlier point until
    // the later one: STEP when every interval holds, else a key one time unit before the
    // later point (no time the host plays lies between). An eased interval is sampled at the
    // frames within it.
    bool eased = false;
    for (Exact& e : builder.exact) {
        std::set<int32_t> own = {start, end};
        bool allHold = true, anyHold = false;
        for (std::size_t i = 0; i < e.times.size(); ++i) {
            int32_t const t = e.times[i];
            if (t > start && t < end) {
                own.insert(t);
            }
            bool const last = i + 1 == e.times.size();
            int32_t const next = last ? t : e.times[i + 1];
            if (last || next <= start || t >= end || next <= t) {
                continue; // no interval within the range starts here
            }
            uint8_t const ease = e.eases[i];
            allHold = allHold && ease == kHold;
            anyHold = anyHold || ease == kHold;
            if (ease != kLinear && ease != kHold && ease < 5) {
                eased = true;
                for (int32_t g : grid) {
                    if (g > t && g < next) {
                        own.insert(g);
                    }
                }
            }
        }
        if (allHold && anyHold) {
            e.interpolation = "STEP";
        } else if (anyHold) {
            for (std::size_t i = 0; i + 1 < e.times.size(); ++i) {
                int32_t const before = e.times[i + 1] - 1;
                if (e.eases[i] == kHold && before > e.times[i] && before > start && before < end) {
                    own.insert(before);
                }
            }
        }
        e.times.assign(own.begin(), own.end());
        times.insert(own.begin(), own.end());
    }
    std::map<int32_t, Snapshot> snapshots;
    for (int32_t t : times) {
        playTo(t);
        snapshots[t] = TakeSnapshot(document);
    }
    playTo(current);

    tinygltf::Animation animation;
    animation.name = "Document";
    Animator animator(writer, animation);
    for (Exact const& e : builder.exact) {
        std::vector<float> keyTimes;
        std::vector<Trs> keys;
        for (int32_t t : e.times) {
            keyTimes.push_back(seconds(t));
            keys.push_back(Decompose(snapshots[t].transforms.at(e.transform), e.pivot));
        }
        animator.NodeTrs(keyTimes, keys, e.node, e.interpolation);
    }
    // Materials change with the tween points of the groups they are in (keyed at those
    // points' times) and with whatever is sampled (keyed at every frame too).
    bool usesPointer = false;
    for (std::size_t i = 0; i < builder.materials.size(); ++i) {
        std::set<int32_t> own;
        if (sampled) {
            own.insert(grid.begin(), grid.end());
        }
        bool step = !sampled && !builder.materialExact[i].empty();
        for (int e : builder.materialExact[i]) {
            Exact const& group = builder.exact[static_cast<std::size_t>(e)];
            own.insert(group.times.begin(), group.times.end());
            step = step && group.interpolation == "STEP";
        }
        std::string const interpolation = step ? "STEP" : "LINEAR";
        if (own.size() < 2) {
            continue;
        }
        std::vector<float> keyTimes;
        std::vector<SurfaceValues const*> values;
        for (int32_t t : own) {
            keyTimes.push_back(seconds(t));
            values.push_back(&snapshots[t].surfaces.at(i));
        }
        if (std::all_of(values.begin(), values.end(),
                        [&](SurfaceValues const* v) { return *v == *values.front(); })) {
            continue;
        }
        std::string const base = "/materials/" + std::to_string(builder.materials[i]);
        auto& material = model.materials[static_cast<std::size_t>(builder.materials[i])];
        bool const textured = material.pbrMetallicRoughness.baseColorTexture.index >= 0;
        std::vector<float> colours, roughness, offsets, rotations, speculars;
        bool blends = false;
        for (SurfaceValues const* v : values) {
            TQ3ColorRGB const sc = v->specular.value_or(TQ3ColorRGB{0, 0, 0});
            speculars.insert(speculars.end(), {sc.r, sc.g, sc.b});
            TQ3ColorRGB const c = textured ? TQ3ColorRGB{1, 1, 1} : v->diffuse;
            colours.insert(colours.end(), {c.r, c.g, c.b, std::clamp(v->opacity, 0.0f, 1.0f)});
            blends = blends || v->opacity < 1.0f;
            roughness.push_back(static_cast<float>(Roughness(v->shininess)));
            UvTrs const uv = TextureTrs(v->uvTransform);
            offsets.insert(offsets.end(),
                           {static_cast<float>(uv.offset[0]), static_cast<float>(uv.offset[1])});
            rotations.push_back(static_cast<float>(uv.rotation));
        }
        if (blends) {
            material.alphaMode = "BLEND";
        }
        animator.Channel(keyTimes, colours, 4, -1, "pointer",
                         base + "/pbrMetallicRoughness/baseColorFactor", interpolation);
        animator.Channel(keyTimes, roughness, 1, -1, "pointer",
                         base + "/pbrMetallicRoughness/roughnessFactor", interpolation);
        if (material.extensions.count("KHR_materials_specular")) {
            animator.Channel(keyTimes, speculars, 3, -1, "pointer",
                             base + "/extensions/KHR_materials_specular/specularColorFactor",
                             interpolation);
        }
        if (textured) {
            std::string const uv =
                base + "/pbrMetallicRoughness/baseColorTexture/extensions/KHR_texture_transform/";
            animator.Channel(keyTimes, offsets, 2, -1, "pointer", uv + "offset", interpolation);
            animator.Channel(keyTimes, rotations, 1, -1, "pointer", uv + "rotation", interpolation);
        }
        usesPointer = true;
    }
    tinygltf::Value ambientAnimation;
    if (sampled && start < end) {
        std::vector<float> gridTimes;
        std::vector<Snapshot const*> frames;
        for (int32_t t : grid) {
            gridTimes.push_back(seconds(t));
            frames.push_back(&snapshots[t]);
        }
        Snapshot const& first = *frames.front();
        auto varies = [&](auto get) {
            return std::any_of(frames.begin(), frames.end(),
                               [&](Snapshot const* s) { return !(get(*s) == get(first)); });
        };
        for (std::size_t i = 0; i < builder.transformNodes.size(); ++i) {
            if (builder.transformExact[i] >= 0 ||
                !varies([&](Snapshot const& s) { return CMatrix4x4(s.transforms.at(i)); })) {
                continue;
            }
            std::vector<Trs> keys;
            for (Snapshot const* s : frames) {
                keys.push_back(Decompose(s->transforms.at(i)));
            }
            int const node = builder.transformNodes[i];
            SetTrs(model.nodes[static_cast<std::size_t>(node)], keys.front());
            animator.NodeTrs(gridTimes, keys, node);
        }
        for (std::size_t i = 0; i < builder.lightNodes.size(); ++i) {
            int const node = builder.lightNodes[i];
            if (node < 0 || !varies([&](Snapshot const& s) { return s.lights.at(i); })) {
                continue;
            }
            std::vector<Trs> keys;
            std::vector<float> colours, intensities;
            for (Snapshot const* s : frames) {
                LightValues const& v = s->lights.at(i);
                keys.push_back(LightTrs(v));
                colours.insert(colours.end(), {v.colour.r, v.colour.g, v.colour.b});
                intensities.push_back(v.on ? v.brightness : 0.0f);
            }
            animator.NodeTrs(gridTimes, keys, node);
            std::string const base =
                "/extensions/KHR_lights_punctual/lights/" + std::to_string(builder.lightIndices[i]);
            animator.Channel(gridTimes, colours, 3, -1, "pointer", base + "/color");
            animator.Channel(gridTimes, intensities, 1, -1, "pointer", base + "/intensity");
            usesPointer = true;
        }
        // glTF has no ambient light: the scene's extras keep it as it plays, sampled.
        if (varies([](Snapshot const& s) { return Ambient(s); })) {
            tinygltf::Value::Array keyTimes, colours;
            for (std::size_t i = 0; i < frames.size(); ++i) {
                keyTimes.push_back(tinygltf::Value(double{gridTimes[i]}));
                for (float v : Ambient(*frames[i])) {
                    colours.push_back(tinygltf::Value(double{v}));
                }
            }
            tinygltf::Value::Object animated;
            animated["times"] = tinygltf::Value(keyTimes);
            animated["colours"] = tinygltf::Value(colours);
            ambientAnimation = tinygltf::Value(animated);
        }
    }

    // The view's camera, a node of its own at the root.
    Snapshot const& atStart = snapshots[start];
    if (atStart.camera) {
        CameraValues const& c = *atStart.camera;
        tinygltf::Camera camera;
        Lens const lens = LensOf(c);
        camera.type = lens.orthographic ? "orthographic" : "perspective";
        if (lens.orthographic) {
            camera.orthographic.xmag = lens.width;
            camera.orthographic.ymag = lens.height;
            camera.orthographic.znear = lens.hither;
            camera.orthographic.zfar = lens.yon;
        } else {
            camera.perspective.yfov = lens.height;
            camera.perspective.aspectRatio = lens.width;
            camera.perspective.znear = lens.hither;
            camera.perspective.zfar = lens.yon;
        }
        model.cameras.push_back(camera);
        tinygltf::Node node;
        node.name = "Camera";
        node.camera = 0;
        SetTrs(node, CameraTrs(c));
        model.nodes.push_back(node);
        int const index = static_cast<int>(model.nodes.size() - 1);
        builder.roots.push_back(index);
        if (sampled && start < end) {
            std::vector<float> gridTimes;
            std::vector<Trs> keys;
            std::vector<float> widths, heights;
            bool moves = false, zooms = false;
            for (int32_t t : grid) {
                gridTimes.push_back(seconds(t));
                CameraValues const& now = *snapshots[t].camera;
                keys.push_back(CameraTrs(now));
                moves = moves || !(now == c);
                Lens const at = LensOf(now);
                widths.push_back(static_cast<float>(at.width));
                heights.push_back(static_cast<float>(at.height));
                zooms = zooms || at.orthographic != lens.orthographic ||
                        widths.back() != widths.front() || heights.back() != heights.front();
            }
            if (moves) {
                animator.NodeTrs(gridTimes, keys, index);
            }
            // The lens as it plays (field of view, aspect, or an orthographic camera's size),
            // sampled with the placement. A camera that changes kind keeps the first kind's.
            if (zooms) {
                std::string const base =
                    lens.orthographic ? "/cameras/0/orthographic/" : "/cameras/0/perspective/";
                animator.Channel(gridTimes, heights, 1, -1, "pointer",
                                 base + (lens.orthographic ? "ymag" : "yfov"));
                animator.Channel(gridTimes, widths, 1, -1, "pointer",
                                 base + (lens.orthographic ? "xmag" : "aspectRatio"));
                usesPointer = true;
            }
        }
    }

    tinygltf::Scene scene;
    scene.name = std::filesystem::path(document.path).stem().string();
    scene.nodes = builder.roots;
    tinygltf::Value::Object extras;
    extras["ambient"] = Array({builder.ambient.r, builder.ambient.g, builder.ambient.b});
    if (ambientAnimation.IsObject()) {
        extras["ambientAnimation"] = ambientAnimation;
    }
    scene.extras = tinygltf::Value(extras);
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    if (!animation.channels.empty()) {
        model.animations.push_back(animation);
    }
    if (!builder.Lights().empty()) {
        tinygltf::Value::Object lights;
        lights["lights"] = tinygltf::Value(builder.Lights());
        model.extensions["KHR_lights_punctual"] = tinygltf::Value(lights);
        model.extensionsUsed.push_back("KHR_lights_punctual");
    }
    if (builder.usesTextureTransform) {
        model.extensionsUsed.push_back("KHR_texture_transform");
    }
    if (builder.usesSpecular) {
        model.extensionsUsed.push_back("KHR_materials_specular");
    }
    if (usesPointer) {
        model.extensionsUsed.push_back("KHR_animation_pointer");
    }
    model.buffers[0].name = "data";
    if (model.buffers[0].data.empty()) {
        model.buffers.clear();
    }
    WriteModel(model, path);

    ExportSummary summary;
    summary.bytes = static_cast<std::size_t>(std::filesystem::file_size(path));
    summary.nodes = model.nodes.size();
    summary.channels = animation.channels.size();
    summary.times = times.size();
    summary.sampled = sampled || eased;
    return summary;
}

} // namespace refhost::gltf
