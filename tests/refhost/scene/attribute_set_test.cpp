#include <gtest/gtest.h>

#include <cstring>

#include "host/memory.h"
#include "tests/refhost/scene/scene_fixture.h"

namespace {

THandlePair Block(std::initializer_list<uint8_t> bytes) {
    Handle h = NewHandle(static_cast<Size>(bytes.size()));
    std::memcpy(*h, bytes.begin(), bytes.size());
    return {static_cast<int32_t>(bytes.size()), h};
}

} // namespace

TEST_F(SceneTest, StandardAttributesAndTheName) {
    CSetObject set(nullptr, true);
    EXPECT_FALSE(set.Contains(kQ3AttributeTypeDiffuseColor));
    EXPECT_THROW(set.GetDiffuseColor(), CSceneException);
    set.AddDiffuseColor({0.25f, 0.5f, 1.0f});
    set.AddSurfaceUV({0.5f, 0.75f});
    EXPECT_TRUE(set.Contains(kQ3AttributeTypeDiffuseColor));
    EXPECT_TRUE(set.Contains(kQ3AttributeTypeSurfaceUV));
    EXPECT_EQ(set.GetDiffuseColor().g, 0.5f);
    EXPECT_EQ(set.GetSurfaceUV().v, 0.75f);
    set.ClearType(kQ3AttributeTypeDiffuseColor);
    set.ClearType(kQ3AttributeTypeSpecularColor); // absent: no error
    EXPECT_FALSE(set.Contains(kQ3AttributeTypeDiffuseColor));

    EXPECT_TRUE(set.GetNameAttribute().IsEmpty());
    set.SetNameAttribute("Teapot");
    EXPECT_EQ(set.GetNameAttribute().ToString(), "Teapot");

    OpaqueTQ3Object* texture = refhost::scene::NewTexture(2, 2, std::vector<uint8_t>(16, 200));
    OpaqueTQ3Object* rawShader = refhost::scene::NewTextureShader(texture);
    CTextureShaderObject shader(rawShader);
    C3DObject::Dispose(rawShader);
    C3DObject::Dispose(texture);
    set.AddTextureShader(shader);
    EXPECT_TRUE(set.Contains(kQ3AttributeTypeSurfaceShader));
    EXPECT_EQ(set.GetTextureShader(), shader) << "the set holds the shader itself";
    EXPECT_EQ(shader.GetTextureWidth(), 2u);
}

TEST_F(SceneTest, CustomAttributeBlocksBelongToTheSet) {
    TQ3AttributeType tween = GetCustomAttributeType(eTweenAttribute);
    EXPECT_NE(tween, GetCustomAttributeType(eColourEffectAttribute));
    EXPECT_THROW(GetCustomAttributeType(16), CSceneException);
    EXPECT_TRUE(IsCustomAttributeType(tween));
    EXPECT_FALSE(IsCustomAttributeType(kQ3AttributeTypeDiffuseColor));

    CSetObject set(nullptr, true);
    THandlePair stored = Block({1, 2, 3});
    set.AddType(tween, &stored);
    THandlePair read{};
    set.GetData(tween, &read);
    EXPECT_EQ(read.data, stored.data) << "GetData hands out the set's own block";
    EXPECT_EQ(read.size, 3);

    // The caller grows the block in place and stores the same pair back: no release.
    SetHandleSize(read.data, 4);
    (*read.data)[3] = 4;
    read.size = 4;
    set.AddType(tween, &read);
    EXPECT_TRUE(refhost::memory::IsLiveHandle(read.data));

    // Storing another block releases the one held before.
    THandlePair replacement = Block({9});
    set.AddType(tween, &replacement);
    EXPECT_FALSE(refhost::memory::IsLiveHandle(read.data));

    EXPECT_THROW(set.AddType(kQ3AttributeTypeDiffuseColor, &replacement), CSceneException);
    THandlePair dead{1, read.data};
    EXPECT_THROW(set.AddType(tween, &dead), CSceneException) << "a disposed block";
    EXPECT_THROW(set.GetData(GetCustomAttributeType(eLightEffectAttribute), &read),
                 CSceneException);

    set.ClearType(tween);
    EXPECT_FALSE(refhost::memory::IsLiveHandle(replacement.data));
    EXPECT_FALSE(set.Contains(tween));

    THandlePair last = Block({7, 7});
    set.AddType(tween, &last); // released with the set, checked by the fixture
}

TEST_F(SceneTest, CopySetCopiesBlocksAndNeverSharesThem) {
    TQ3AttributeType tween = GetCustomAttributeType(eTweenAttribute);
    CShapeObject source = Adopt(refhost::scene::NewGroupOf(refhost::scene::GroupKind::kDisplay));
    EXPECT_FALSE(source.HasSet());
    EXPECT_THROW(CSetObject{source}, CSceneException);
    source.SetSet(CSetObject(nullptr, true));
    CSetObject sourceSet(source);
    sourceSet.SetNameAttribute("Wheel");
    sourceSet.AddDiffuseColor({1, 0, 0});
    THandlePair pair = Block({5, 6, 7});
    sourceSet.AddType(tween, &pair);

    COrderedDisplayGroupObject wrapper;
    wrapper.CopySet(source, true);
    CSetObject copy(wrapper);
    EXPECT_NE(copy, sourceSet) << "a set of its own";
    EXPECT_EQ(copy.GetNameAttribute().ToString(), "Wheel");
    THandlePair copied{};
    copy.GetData(tween, &copied);
    EXPECT_NE(copied.data, pair.data);
    EXPECT_EQ(copied.size, 3);
    EXPECT_EQ(std::memcmp(*copied.data, *pair.data, 3), 0);

    // Without replace, only what the set lacks is taken.
    copy.AddDiffuseColor({0, 1, 0});
    copy.ClearType(kAttributeTypeName);
    wrapper.CopySet(source, false);
    EXPECT_EQ(copy.GetDiffuseColor().g, 1.0f);
    EXPECT_EQ(copy.GetNameAttribute().ToString(), "Wheel");

    // A copy that runs out of memory changes nothing.
    refhost::memory::FailureScope failures;
    refhost::memory::FailNthRequestFromNow(1);
    COrderedDisplayGroupObject other;
    EXPECT_THROW(other.CopySet(source, true), CSceneException);
    EXPECT_FALSE(other.HasSet());
}
