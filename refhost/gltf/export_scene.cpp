#include "refhost/gltf/export_scene.h"

#include <algorithm>
#include <cmath>

#include "host/four_char_code.h"
#include "host/framework.h"
#include "host/scene/attribute_set.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/node_placement.h"
#include "refhost/gltf/png_codec.h"
#include "refhost/gltf/tween_lists.h"
#include "refhost/view3d/tessellation.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

bool HoldsLight(Group const& group) {
    for (OpaqueTQ3GroupPosition* p = group.first; p; p = p->next) {
        if (As<refhost::scene::Light>(p->object)) {
            return true;
        }
    }
    return false;
}

std::string GeometryKind(refhost::scene::Geometry const& geometry) {
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

// The KHR_lights_punctual light of a light that is not ambient.
tinygltf::Value::Object PunctualLight(LightValues const& values,
                                      refhost::scene::Light const& light) {
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
    return light_;
}

bool HasCornerColours(view3d::Tessellation const& shape) {
    bool cornerColours = false;
    for (auto const& triangle : shape.triangles) {
        for (auto const& corner : triangle) {
            auto const* set = As<AttributeSet>(corner.set);
            cornerColours = cornerColours || (set && (set->diffuse || set->transparency));
        }
    }
    return cornerColours;
}

// The corners of the triangles that show, three to a triangle; colours only with corner
// colours.
struct TriangleCorners {
    std::vector<float> positions, normals, uvs, colours;
};

TriangleCorners CornersOf(view3d::Tessellation const& shape, SurfaceValues const& surface,
                          bool cornerColours) {
    TriangleCorners out;
    for (auto const& triangle : shape.triangles) {
        CVector3D const u = CPoint3D(triangle[1].point) - CPoint3D(triangle[0].point);
        CVector3D const v = CPoint3D(triangle[2].point) - CPoint3D(triangle[0].point);
        CVector3D const cross = CrossProduct(u, v);
        if (Pythag(cross) == 0) {
            continue; // no area: nothing shows
        }
        CVector3D const n = Normalise(cross);
        for (auto const& corner : triangle) {
            out.positions.insert(out.positions.end(),
                                 {corner.point.x, corner.point.y, corner.point.z});
            TQ3Vector3D const shaded = view3d::ShadingNormal(corner.normal, n);
            out.normals.insert(out.normals.end(), {shaded.x, shaded.y, shaded.z});
            out.uvs.insert(out.uvs.end(), {corner.uv.u, 1.0f - corner.uv.v});
            if (cornerColours) {
                SurfaceValues c = surface;
                if (auto const* set = As<AttributeSet>(corner.set)) {
                    c.diffuse = set->diffuse.value_or(c.diffuse);
                    if (set->transparency) {
                        c.opacity =
                            (set->transparency->r + set->transparency->g + set->transparency->b) /
                            3.0f;
                    }
                }
                out.colours.insert(out.colours.end(), {c.diffuse.r, c.diffuse.g, c.diffuse.b,
                                                       std::clamp(c.opacity, 0.0f, 1.0f)});
            }
        }
    }
    return out;
}

// The shape's line segments as a primitive of lines in the material.
tinygltf::Primitive LinePrimitive(view3d::Tessellation const& shape, int material,
                                  ModelWriter& writer) {
    std::vector<float> points;
    for (auto const& segment : shape.segments) {
        for (TQ3Point3D const& p : segment) {
            points.insert(points.end(), {p.x, p.y, p.z});
        }
    }
    tinygltf::Primitive lines;
    lines.mode = TINYGLTF_MODE_LINE;
    lines.material = material;
    lines.attributes["POSITION"] = writer.AddFloats(points, 3, true, TINYGLTF_TARGET_ARRAY_BUFFER);
    return lines;
}

} // namespace

void SceneBuilder::BeginGroup(Group& group, std::string const& name) {
    // The document's own groups (selected, others, the view's lights) are not nodes:
    // their members are the scene's roots, as they are the objects a user names.
    int const node = fFrames.empty() ? -1 : AddNode(name);
    Frame frame{node, node, name, 0, -1};
    if (auto keys = ReadObjectKeys(&group); keys && !keys->empty() && !HoldsLight(group)) {
        bool const onePivot = std::all_of(keys->begin(), keys->end(), [&](ObjectKey const& k) {
            return k.pivot == keys->front().pivot;
        });
        if (onePivot) {
            ExactGroup e{0, -1, keys->front().pivot, {}, {}};
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

void SceneBuilder::Transform(refhost::scene::Transform& transform) {
    Frame& frame = fFrames.back();
    std::size_t const index = transformNodes.size();
    if (frame.exact >= 0 && frame.transforms == 0) {
        ExactGroup& e = exact[static_cast<std::size_t>(frame.exact)];
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
            fModel.nodes[static_cast<std::size_t>(node)].matrix = MatrixValues(transform.matrix);
        }
        transformNodes.push_back(node);
        transformExact.push_back(-1);
    }
    ++frame.transforms;
    frame.current = static_cast<int>(fModel.nodes.size() - 1);
}

void SceneBuilder::Geometry(refhost::scene::Geometry& geometry, SurfaceValues const& surface) {
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

void SceneBuilder::Light(refhost::scene::Light& light) {
    LightValues const values = ValuesOf(light);
    if (values.kind == "ambn"_4cc) { // in the scene's extras, from the snapshots
        lightNodes.push_back(-1);
        lightIndices.push_back(-1);
        return;
    }
    Frame& frame = fFrames.back();
    int const node = AddNode(frame.name + "_light" + std::to_string(frame.lights++));
    SetTrs(fModel.nodes[static_cast<std::size_t>(node)], LightTrs(values));
    fLights.push_back(tinygltf::Value(PunctualLight(values, light)));
    tinygltf::Value::Object use;
    use["light"] = tinygltf::Value(static_cast<int>(fLights.size() - 1));
    fModel.nodes[static_cast<std::size_t>(node)].extensions["KHR_lights_punctual"] =
        tinygltf::Value(use);
    lightNodes.push_back(node);
    lightIndices.push_back(static_cast<int>(fLights.size() - 1));
}

int SceneBuilder::AddNode(std::string const& name) {
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

int SceneBuilder::TextureOf(Texture const& texture) {
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

int SceneBuilder::AddMaterial(SurfaceValues const& surface) {
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

int SceneBuilder::AddMesh(refhost::scene::Geometry const& geometry, SurfaceValues const& surface,
                          int material) {
    view3d::Tessellation shape;
    try {
        shape = view3d::Tessellate(geometry);
    } catch (std::exception const& e) {
        throw GltfError(std::string("a geometry cannot be tessellated: ") + e.what());
    }
    tinygltf::Mesh mesh;
    bool const cornerColours = HasCornerColours(shape);
    TriangleCorners const corners = CornersOf(shape, surface, cornerColours);
    if (!corners.positions.empty()) {
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        primitive.material = material;
        primitive.attributes["POSITION"] =
            fWriter.AddFloats(corners.positions, 3, true, TINYGLTF_TARGET_ARRAY_BUFFER);
        primitive.attributes["NORMAL"] =
            fWriter.AddFloats(corners.normals, 3, false, TINYGLTF_TARGET_ARRAY_BUFFER);
        if (surface.shader && As<Texture>(surface.shader->texture)) {
            primitive.attributes["TEXCOORD_0"] =
                fWriter.AddFloats(corners.uvs, 2, false, TINYGLTF_TARGET_ARRAY_BUFFER);
        }
        if (cornerColours) {
            primitive.attributes["COLOR_0"] =
                fWriter.AddFloats(corners.colours, 4, false, TINYGLTF_TARGET_ARRAY_BUFFER);
            auto& factor = fModel.materials[static_cast<std::size_t>(material)]
                               .pbrMetallicRoughness.baseColorFactor;
            factor = {1, 1, 1, 1};
        }
        mesh.primitives.push_back(primitive);
    }
    if (!shape.segments.empty()) {
        mesh.primitives.push_back(LinePrimitive(shape, material, fWriter));
    }
    if (mesh.primitives.empty()) {
        return -1;
    }
    fModel.meshes.push_back(mesh);
    return static_cast<int>(fModel.meshes.size() - 1);
}

double Roughness(float shininess) {
    return std::clamp(std::sqrt(2.0 / (std::max(shininess, 0.0f) + 2.0)), 0.0, 1.0);
}

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

} // namespace refhost::gltf
