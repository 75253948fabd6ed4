#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "interp/matrix_tween.h"
#include "tests/playback/cache_building.h"
#include "tests/tween/document_fixture.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"

namespace {

class ObjectApplicationTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        PL_SetMaxTime(100000);
    }
    static void At(int32_t time) { PL_SetCurTime(time); }
};

ObjectTweenRecord Point(int32_t time, float x, float surface) {
    ObjectTweenRecord record;
    record.time = time;
    record.hasMatrix = 1;
    record.matrix = Translation(x, 0, 0);
    record.hasSurfaceValue2 = 1;
    record.surfaceValue2 = surface;
    return record;
}

float PlacementX(CGroupObject const& group) {
    return CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix().value[3][0];
}

float Transparency(CGroupObject const& group) {
    float value = -1;
    group.GetTheGroupSurfaceAttribute(&value, 2);
    return value;
}

TQ3ColorRGB Diffuse(CGroupObject const& group) {
    TQ3ColorRGB colour{-1, -1, -1};
    group.GetTheGroupColor(&colour, false, false, false);
    return colour;
}

CShapeObject BoxColoured(TQ3ColorRGB colour) {
    OpaqueTQ3Object* raw = refhost::scene::NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    CShapeObject box(raw);
    C3DObject::Dispose(raw);
    CSetObject set(nullptr, true);
    set.AddDiffuseColor(colour);
    box.SetSet(set);
    return box;
}

bool SameBits(TQ3Matrix4x4 const& a, TQ3Matrix4x4 const& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST_F(ObjectApplicationTest, TheFirstPointHoldsBeforeItTheLastAfterItAndTheyBlendBetween) {
    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    CTweenAllInfoDataCache cache(4);
    cache.object = group.GetObject();
    AddRecord(cache, Point(600, 2, 0.5f));
    AddRecord(cache, Point(1200, 4, 1.0f));

    At(0);
    cache.DoTween();
    EXPECT_EQ(cache.lastApplicationTime, 0);
    ASSERT_NE(group.GetFirstObjectOfType("xfrm"_4cc), nullptr) << "a transform was added";
    EXPECT_EQ(PlacementX(group), 2.0f);
    EXPECT_EQ(Transparency(group), 0.5f);

    At(900);
    cache.DoTween();
    EXPECT_FLOAT_EQ(PlacementX(group), 3.0f);
    EXPECT_FLOAT_EQ(Transparency(group), 0.75f);
    EXPECT_EQ(group.CountObjects(), 2u) << "the same transform is updated";

    At(1200);
    cache.DoTween();
    EXPECT_EQ(PlacementX(group), 4.0f) << "exactly the point, no blend";
    At(5000);
    cache.DoTween();
    EXPECT_EQ(PlacementX(group), 4.0f);

    // The same time again applies nothing: a change made meanwhile stays.
    CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).SetData(CMatrix4x4(1.0));
    cache.DoTween();
    EXPECT_EQ(PlacementX(group), 0.0f);

    CTweenAllInfoDataCache single(5);
    single.object = group.GetObject();
    AddRecord(single, Point(300, 7, 0.25f));
    for (int32_t time : {0, 300, 301, 90000}) {
        At(time);
        single.DoTween();
        EXPECT_EQ(PlacementX(group), 7.0f) << "at " << time;
        EXPECT_EQ(Transparency(group), 0.25f);
    }
}

TEST_F(ObjectApplicationTest, ARowPlayingBetweenTheSamePointsFollowsEditsOfThem) {
    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    CTweenAllInfoDataCache cache(4);
    cache.object = group.GetObject();
    ObjectTweenRecord first = Point(0, 0, 0);
    ObjectTweenRecord second = Point(1000, 0, 0);
    second.matrix = RotateMat(CVector3D(0, 0, 1), 1.0f) * CMatrix4x4(Translation(8, 0, 0));
    second.pivot = {0.5f, 0.5f, 0.5f};
    ObjectTweenRecord third = Point(2000, 0, 0);
    third.matrix = ScaleMat({2, 1, 1}) * CMatrix4x4(Translation(0, 5, 0));
    AddRecord(cache, first);
    AddRecord(cache, second);
    AddRecord(cache, third);
    auto placement = [&group] {
        return CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix();
    };
    auto expected = [](ObjectTweenRecord const& from, ObjectTweenRecord const& to, float f) {
        TQ3Matrix4x4 m = from.matrix;
        TweenMatrix(&m, to.matrix, f, CPoint3D(to.pivot));
        return m;
    };

    for (int32_t time : {250, 500, 750, 1500, 400}) {
        At(time);
        cache.DoTween();
        auto const t = static_cast<float>(time);
        TQ3Matrix4x4 const want = time < 1000 ? expected(first, second, t / 1000.0f)
                                              : expected(second, third, (t - 1000) / 1000.0f);
        EXPECT_TRUE(SameBits(placement(), want)) << "at " << time;
    }
    // An edit of the later point's transform between two ticks in the same interval.
    second.matrix = RotateMat(CVector3D(1, 0, 0), 2.0f);
    std::memcpy(cache.records[1].bytes, &second, sizeof second);
    At(600);
    cache.DoTween();
    EXPECT_TRUE(SameBits(placement(), expected(first, second, 0.6f)));
    // A drag that puts the third point first: the search must not trust where it stopped.
    third.time = -100;
    std::memcpy(cache.records[2].bytes, &second, sizeof second);
    std::memcpy(cache.records[1].bytes, &first, sizeof first);
    std::memcpy(cache.records[0].bytes, &third, sizeof third);
    At(500);
    cache.DoTween();
    EXPECT_TRUE(SameBits(placement(), expected(first, second, 0.5f)));
    At(-50);
    cache.DoTween();
    EXPECT_TRUE(SameBits(placement(), expected(third, first, 0.5f)));
}

TEST_F(ObjectApplicationTest, ScrubbingARowPlaysWhatAFreshBlendPlaysAndFollowsEditsInPlace) {
    // 40 points of turns, scales and moves about pivots of their own; jumps to times in an
    // order that revisits intervals, so that the parts kept per point and the block of times
    // are used again. Every tick must give the matrix a blend made from scratch gives.
    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    CTweenAllInfoDataCache cache(4);
    cache.object = group.GetObject();
    std::vector<ObjectTweenRecord> points;
    for (int32_t k = 0; k < 40; ++k) {
        ObjectTweenRecord record = Point(k * 100, 0, 0);
        record.matrix =
            ScaleMat({1.0f + static_cast<float>(k % 3) * 0.5f, 1, 1}) *
            RotateMat(CVector3D(1, static_cast<float>(k % 4), 1), static_cast<float>(k) * 0.7f) *
            CMatrix4x4(Translation(static_cast<float>(k), 0, 2));
        record.pivot = {0.5f, static_cast<float>(k % 2), 0.5f};
        points.push_back(record);
        AddRecord(cache, record);
    }
    auto placement = [&group] {
        return CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix();
    };
    auto expectedAt = [&points](int32_t time) {
        std::size_t next = 1;
        while (points[next].time < time) {
            ++next;
        }
        ObjectTweenRecord const& from = points[next - 1];
        ObjectTweenRecord const& to = points[next];
        TQ3Matrix4x4 m = from.matrix;
        float const f =
            static_cast<float>(time - from.time) / static_cast<float>(to.time - from.time);
        TweenMatrix(&m, to.matrix, f, CPoint3D(to.pivot));
        return m;
    };
    auto scrub = [&](char const* when) {
        uint32_t state = 7;
        for (int tick = 0; tick < 300; ++tick) {
            state = state * 1664525u + 1013904223u;
            auto const time = static_cast<int32_t>((state >> 8) % 3890) + 3;
            At(time);
            cache.DoTween();
            ASSERT_TRUE(SameBits(placement(), expectedAt(time))) << when << " at " << time;
        }
    };
    scrub("first");
    // Edits in place, with no rebuild: a point's transform, and every time from the tenth on
    // moved later (the order stays).
    points[20].matrix = RotateMat(CVector3D(0, 1, 0), 2.5f) * CMatrix4x4(Translation(0, 9, 0));
    for (std::size_t k = 10; k < points.size(); ++k) {
        points[k].time += 37;
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        std::memcpy(cache.records[static_cast<uint32_t>(k)].bytes, &points[k], sizeof points[k]);
    }
    scrub("after the edits");
}

TEST_F(ObjectApplicationTest, AColourIsBlendedByTheLaterPointAndWrittenByTheEarlier) {
    CDisplayGroupObject group;
    group.AddObject(BoxColoured({0, 0, 0}));
    CTweenAllInfoDataCache cache(4);
    cache.object = group.GetObject();
    ObjectTweenRecord first = Point(0, 0, 0);
    ObjectTweenRecord second = Point(1000, 0, 0);
    second.hasColour0 = 1;
    second.colour0 = {1, 1, 1};
    ObjectTweenRecord third = Point(2000, 0, 0);
    third.hasColour0 = 1;
    third.colour0 = {0, 0, 1};
    ObjectTweenRecord fourth = Point(3000, 0, 0);
    AddRecord(cache, first);
    AddRecord(cache, second);
    AddRecord(cache, third);
    AddRecord(cache, fourth);

    At(500);
    cache.DoTween();
    EXPECT_EQ(Diffuse(group).r, 0.0f) << "the earlier point has no colour to write";
    At(1500);
    cache.DoTween();
    EXPECT_FLOAT_EQ(Diffuse(group).r, 0.5f);
    EXPECT_FLOAT_EQ(Diffuse(group).b, 1.0f);
    At(2500);
    cache.DoTween();
    EXPECT_EQ(Diffuse(group).b, 1.0f) << "only the earlier point has it: written as it is";
    EXPECT_EQ(Diffuse(group).r, 0.0f);
}

TEST_F(ObjectApplicationTest, ATexturedGroupKeepsItsColoursButItsSurfaceValuesMove) {
    OpaqueTQ3Object* texture = refhost::scene::NewTexture(1, 1, {0, 0, 0, 255});
    OpaqueTQ3Object* shader = refhost::scene::NewTextureShader(texture);
    C3DObject::Dispose(texture);
    CShapeObject box = BoxColoured({0.2f, 0.2f, 0.2f});
    CSetObject(box).AddTextureShader(CTextureShaderObject(shader));
    C3DObject::Dispose(shader);
    CDisplayGroupObject group;
    group.AddObject(box);

    CTweenAllInfoDataCache cache(4);
    cache.object = group.GetObject();
    ObjectTweenRecord record = Point(0, 1, 0.5f);
    record.hasColour0 = 1;
    record.colour0 = {1, 0, 0};
    AddRecord(cache, record);
    At(10);
    cache.DoTween();
    EXPECT_EQ(Diffuse(group).r, 0.2f);
    EXPECT_EQ(Transparency(group), 0.5f);
}

TEST_F(ObjectApplicationTest, ALightOfAnotherKindReceivesOnlyWhatEveryLightHas) {
    TQ3PointLightData data{{kQ3True, 1, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 5, 0}};
    CPointLightObject lamp(data);
    CGroupObject holder = CGroupObject::NewGroup();
    holder.AddObject(lamp);

    LightTweenRecord record;
    record.time = 0;
    record.hasMatrix = 1;
    record.matrix = Translation(0, 0, 3);
    record.lightKind = "spot"_4cc;
    TQ3SpotLightData spot{{kQ3False, 0.4f, {1, 0, 0}},
                          kQ3True,
                          kQ3AttenuationTypeInverseDistance,
                          {9, 9, 9},
                          {0, 0, -1},
                          0.1f,
                          0.2f,
                          kQ3FallOffTypeNone};
    std::memcpy(record.lightData, &spot, sizeof spot);
    CLightCache cache(4);
    cache.object = holder.GetObject();
    AddRecord(cache, record);
    At(0);
    cache.DoTween();

    TQ3PointLightData read{};
    lamp.GetLightData(&read);
    EXPECT_EQ(read.lightData.isOn, kQ3False);
    EXPECT_EQ(read.lightData.brightness, 0.4f);
    EXPECT_EQ(read.location.y, 5.0f) << "the point light's own fields stay";
    EXPECT_EQ(read.castsShadows, kQ3False);
    EXPECT_EQ(PlacementX(holder), 0.0f);
    EXPECT_EQ(
        CTransformObject(holder, holder.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix().value[3][2],
        3.0f);
}
