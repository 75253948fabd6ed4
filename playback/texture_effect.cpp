#include "playback/texture_effect.h"

#include <cmath>

#include "host/scene.h"
#include "playback/effect_records.h"
#include "tween/recache.h"

CMatrix3x3 gTextureTransform;
bool gAnimationContainsRotation = false;

namespace {

constexpr double kPi = 3.1415927410125732;

// A scroll of exactly 1 stays 1; beyond it, and below 0, the value wraps into 0..1.
float FoldScroll(float value) {
    if (value > 1.0f) {
        return std::fmod(value, 1.0f);
    }
    if (value < 0.0f) {
        return 1.0f - std::fmod(std::fabs(value), 1.0f);
    }
    return value;
}

// The effect's turn in degrees at the seconds given, or 0 for none.
float Turn(float seconds, float rotationRate) {
    if (rotationRate == 0) {
        return 0;
    }
    float r = seconds * rotationRate;
    if (!std::isfinite(r)) {
        return 0;
    }
    r = std::fmod(r, 360.0f);
    if (r < 0) {
        r += 360.0f;
    }
    return std::fabs(r) < 0.001f || std::fabs(r) > 359.999f ? 0.0f : r;
}

} // namespace

CMatrix3x3 TextureEffectTransform(float seconds, float scrollSpeed, float scrollDirection,
                                  float rotationRate, TQ3Point2D centre, bool* rotates) {
    float const r = Turn(seconds, rotationRate);
    *rotates = r != 0;
    CMatrix3x3 transform =
        *rotates ? RotateMat(centre, static_cast<float>(r * kPi / 180.0)) : CMatrix3x3(1.0);
    if (scrollSpeed != 0) {
        float const d = scrollSpeed * seconds;
        auto const a = static_cast<float>(scrollDirection * kPi / 180.0);
        float const du = FoldScroll(std::cos(a) * d);
        float const dv = FoldScroll(d * std::sin(a));
        transform = transform * TranslateMat(du, dv);
    }
    return transform;
}

void GetTextureInfo(CMatrix3x3& transform, CVector2D& scale, float* angle) {
    // The effect composes a texture's transform as rotation, then scale; the library
    // decomposes scale, then rotation. The transposed 2x2 part is scale, then the opposite
    // rotation, so the library reads it back exactly and passes never drift.
    CMatrix3x3 transposed(1.0);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            transposed.value[r][c] = transform.value[c][r];
        }
    }
    CVector2D translation;
    transposed.Decompose(scale, *angle, translation);
    *angle = -*angle;
}

bool CAnimateTParserGroup::ParseObjectAtributeSet(CSetObject* set, CMatrix4x4 const& matrix,
                                                  bool* changed) {
    if (set->GetType() != "attr"_4cc || !set->Contains(kQ3AttributeTypeSurfaceShader)) {
        return true;
    }
    CTextureShaderObject shader = set->GetTextureShader();
    ParseLooseShader(&shader, matrix, changed);
    if (*changed) {
        set->AddTextureShader(shader);
        *changed = false;
    }
    return true;
}

bool CAnimateTParserGroup::ParseLooseAtributeSet(CAttributeSetObject* set, CMatrix4x4 const& matrix,
                                                 bool* changed) {
    return ParseObjectAtributeSet(set, matrix, changed);
}

// Every shader of the geometry starts from the effect's own transform, so that two textures
// of one geometry move alike instead of the second compounding the first's scale and turn.
bool CAnimateTParserGroup::ParseLooseShader(CShaderObject* shader, CMatrix4x4 const&,
                                            bool* changed) {
    CTextureShaderObject texture(*shader);
    CMatrix3x3 own = texture.GetUVTransform();
    CVector2D scale;
    float angle = 0;
    GetTextureInfo(own, scale, &angle);
    CMatrix3x3 transform = gTextureTransform;
    if (!gAnimationContainsRotation) {
        transform = transform * RotateMat(TQ3Point2D{0.5f, 0.5f}, angle);
    }
    texture.SetUVTransform(transform * ScaleMat(scale.x, scale.y));
    *changed = true;
    return true;
}

void ApplyTextureTransformToGeometry(CShapeObject& geometry, float seconds, float scrollSpeed,
                                     float scrollDirection, float rotationRate, TQ3Point2D centre) {
    gTextureTransform = TextureEffectTransform(seconds, scrollSpeed, scrollDirection, rotationRate,
                                               centre, &gAnimationContainsRotation);
    COrderedDisplayGroupObject holder;
    holder.AddObject(geometry);
    CAnimateTParserGroup parser;
    holder.Parse(parser, CMatrix4x4(1.0));
}

void DoTextureAnimation(float seconds) {
    for (uint32_t i = gAnimateTextureItems.Count(); i-- > 0;) {
        try {
            CShapeObject geometry(gAnimateTextureItems[i]);
            if (geometry.GetType() != "gmtr"_4cc) {
                continue;
            }
            auto const data =
                ReadEffect<TTextureAttributeData>(CSetObject(geometry), eTextureEffectAttribute);
            ApplyTextureTransformToGeometry(geometry, seconds, data.scrollSpeed,
                                            data.scrollDirection, data.rotationRate, data.centre);
        } catch (...) {
            // This geometry keeps its texture placement; the others still move.
        }
    }
}
