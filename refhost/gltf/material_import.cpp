#include "refhost/gltf/material_import.h"

#include <cmath>

#include "refhost/scene/build.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

// KHR_texture_transform (in the image's space, v down) as the shader's UV transform (in
// the scene's, v up).
CMatrix3x3 UvTransform(tinygltf::ExtensionMap const& extensions) {
    CMatrix3x3 m(1.0);
    auto found = extensions.find("KHR_texture_transform");
    if (found == extensions.end()) {
        return m;
    }
    auto number = [&](char const* key, int i, double fallback) {
        tinygltf::Value const& v = found->second.Get(key);
        if (i < 0) {
            return v.IsNumber() ? v.GetNumberAsDouble() : fallback;
        }
        return v.IsArray() && v.ArrayLen() > static_cast<std::size_t>(i) && v.Get(i).IsNumber()
                   ? v.Get(i).GetNumberAsDouble()
                   : fallback;
    };
    double const ox = number("offset", 0, 0), oy = number("offset", 1, 0);
    double const r = number("rotation", -1, 0);
    double const sx = number("scale", 0, 1), sy = number("scale", 1, 1);
    // glTF space: g' = G g + o, G = rotation(r) * scale(s).
    double const g00 = std::cos(r) * sx, g01 = -std::sin(r) * sy;
    double const g10 = std::sin(r) * sx, g11 = std::cos(r) * sy;
    // With u = gu, v = 1 - gv on both sides (see the exporter): a = g00, c = -g01,
    // b = -g10, d = g11, tx = ox - c, ty = 1 - d - oy.
    double const a = g00, c = -g01, b = -g10, d = g11;
    m[0][0] = static_cast<float>(a);
    m[0][1] = static_cast<float>(b);
    m[1][0] = static_cast<float>(c);
    m[1][1] = static_cast<float>(d);
    m[2][0] = static_cast<float>(ox - c);
    m[2][1] = static_cast<float>(1 - d - oy);
    return m;
}

} // namespace

MaterialImport::MaterialImport(tinygltf::Model const& model, AccessorReader const& read,
                               std::function<void(std::string const&)> skip)
    : fModel(model), fRead(read), fSkip(std::move(skip)) {}

MaterialImport::~MaterialImport() {
    for (auto const& [index, texture] : fTextures) {
        Release(texture);
    }
}

void MaterialImport::Apply(int index, AttributeSet& set, bool hasUVs) {
    if (index < 0) {
        return;
    }
    std::string const place = "/materials/" + std::to_string(index);
    tinygltf::Material const& material = fRead.Item(fModel.materials, index, "materials");
    auto const& pbr = material.pbrMetallicRoughness;
    if (pbr.baseColorFactor.size() == 4) {
        auto const& f = pbr.baseColorFactor;
        set.diffuse = TQ3ColorRGB{static_cast<float>(f[0]), static_cast<float>(f[1]),
                                  static_cast<float>(f[2])};
        if (f[3] < 1.0) {
            float const a = static_cast<float>(f[3]);
            set.transparency = TQ3ColorRGB{a, a, a};
        }
    }
    float shininess =
        static_cast<float>(2.0 / std::max(pbr.roughnessFactor * pbr.roughnessFactor, 1e-3) - 2.0);
    if (material.extras.IsObject() && material.extras.Has("shininess")) {
        shininess = static_cast<float>(material.extras.Get("shininess").GetNumberAsDouble());
    }
    set.specularControl = shininess;
    if (material.extras.IsObject() && material.extras.Has("ambientCoefficient")) {
        set.ambientCoefficient =
            static_cast<float>(material.extras.Get("ambientCoefficient").GetNumberAsDouble());
    }
    if (auto specular = material.extensions.find("KHR_materials_specular");
        specular != material.extensions.end() && specular->second.Has("specularColorFactor")) {
        auto const& c = specular->second.Get("specularColorFactor");
        if (c.IsArray() && c.ArrayLen() == 3) {
            set.specular = TQ3ColorRGB{static_cast<float>(c.Get(0).GetNumberAsDouble()),
                                       static_cast<float>(c.Get(1).GetNumberAsDouble()),
                                       static_cast<float>(c.Get(2).GetNumberAsDouble())};
        }
    }
    if (pbr.baseColorTexture.index >= 0) {
        if (!hasUVs) {
            fSkip("textures of primitives without texture coordinates (" + place + ")");
            return;
        }
        OpaqueTQ3Object* texture = Texture(pbr.baseColorTexture.index);
        if (!texture) {
            return;
        }
        OpaqueTQ3Object* shader = NewTextureShader(texture);
        Release(texture);
        As<TextureShader>(shader)->uvTransform = UvTransform(pbr.baseColorTexture.extensions);
        Assign(set.shader, shader);
        Release(shader);
    }
}

OpaqueTQ3Object* MaterialImport::Texture(int index) {
    if (auto found = fTextures.find(index); found != fTextures.end()) {
        Retain(found->second);
        return found->second;
    }
    tinygltf::Texture const& texture = fRead.Item(fModel.textures, index, "textures");
    tinygltf::Image const& image = fRead.Item(fModel.images, texture.source, "images");
    if (image.image.empty() || image.bits != 8 || image.component < 1 || image.component > 4 ||
        image.width <= 0 || image.height <= 0 ||
        image.image.size() !=
            std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.component)) {
        fSkip("images this host cannot decode (/images/" + std::to_string(texture.source) + ")");
        return nullptr;
    }
    std::vector<uint8_t> rgba;
    rgba.reserve(std::size_t(image.width) * std::size_t(image.height) * 4);
    std::size_t const n = static_cast<std::size_t>(image.component);
    for (std::size_t p = 0; p < image.image.size(); p += n) {
        uint8_t const grey = image.image[p];
        rgba.push_back(grey);
        rgba.push_back(n >= 3 ? image.image[p + 1] : grey);
        rgba.push_back(n >= 3 ? image.image[p + 2] : grey);
        rgba.push_back(n == 4 ? image.image[p + 3] : n == 2 ? image.image[p + 1] : 255);
    }
    OpaqueTQ3Object* out = NewTexture(static_cast<uint32_t>(image.width),
                                      static_cast<uint32_t>(image.height), std::move(rgba));
    fTextures[index] = out;
    Retain(out);
    return out;
}

} // namespace refhost::gltf
