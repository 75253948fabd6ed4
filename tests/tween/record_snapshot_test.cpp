#include <gtest/gtest.h>

#include <cstring>

#include "tests/tween/document_fixture.h"
#include "tween/tween_records.h"

namespace {

using SnapshotTest = DocumentTest;

CMatrix4x4 Moved(float x) {
    CMatrix4x4 m(1.0);
    m.value[3][0] = x;
    return m;
}

} // namespace

TEST_F(SnapshotTest, AnObjectSnapshotReadsTheTransformColoursAndPivotAndPutsTheTransformBack) {
    CDisplayGroupObject group;
    CShapeObject box = UnitBox();
    CSetObject set(nullptr, true);
    set.AddDiffuseColor({0.25f, 0.5f, 0.75f});
    box.SetSet(set);
    group.AddObject(box);
    CTransformObject transform(Moved(5));
    group.AddBefore(group.GetFirstObject(), transform);

    ObjectTweenRecord record(240, group);
    EXPECT_EQ(record.time, 240);
    EXPECT_FALSE(record.selected);
    ASSERT_EQ(record.hasMatrix, 1);
    EXPECT_EQ(record.matrix.value[3][0], 5.0f);
    EXPECT_EQ(record.hasColour0, 1);
    EXPECT_EQ(record.colour0.g, 0.5f);
    EXPECT_EQ(record.hasColour1, 0) << "the box has no specular colour";
    // The unit box measured without the group's own transform.
    EXPECT_FLOAT_EQ(record.pivot.x, 0.5f);
    EXPECT_FLOAT_EQ(record.pivot.y, 0.5f);
    EXPECT_FLOAT_EQ(record.pivot.z, 0.5f);

    CSharedObject first(group, group.GetFirstObject());
    EXPECT_EQ(first, transform) << "the transform is the group's first object again";
    EXPECT_EQ(CSharedObject(group, group.NextPosition(group.GetFirstObject())), box);

    uint8_t const* bytes = reinterpret_cast<uint8_t const*>(&record);
    EXPECT_EQ(bytes[5] | bytes[6] | bytes[7], 0) << "padding is written as zero";
}

TEST_F(SnapshotTest, AFailedMeasurementStillPutsTheTransformBack) {
    COrderedDisplayGroupObject group;
    group.AddObject(UnitBox());
    CTransformObject transform(Moved(1));
    group.AddObject(transform);
    refhost::HostState::Instance().Reset(); // no document, so no view to measure in

    EXPECT_THROW(ObjectTweenRecord(0, group), CSceneException);
    EXPECT_EQ(CSharedObject(group, group.GetFirstObject()), transform);
    EXPECT_EQ(group.CountObjects(), 2u);
}

TEST_F(SnapshotTest, ALightSnapshotTakesTheFirstTransformOfItsGroupAndItsKindsData) {
    TQ3SpotLightData spot{{kQ3True, 0.7f, {1, 1, 0}},
                          kQ3False,
                          kQ3AttenuationTypeNone,
                          {0, 4, 0},
                          {0, -1, 0},
                          0.2f,
                          0.4f,
                          kQ3FallOffTypeLinear};
    CSpotLightObject light(spot);
    CGroupObject group = CGroupObject::NewGroup();
    group.AddObject(UnitBox());
    group.AddObject(CTransformObject(Moved(2)));
    group.AddObject(CTransformObject(Moved(3)));
    group.AddObject(light);

    LightTweenRecord record(60, group, light);
    EXPECT_EQ(record.time, 60);
    ASSERT_EQ(record.hasMatrix, 1);
    EXPECT_EQ(record.matrix.value[3][0], 2.0f) << "the first transform, after a box";
    EXPECT_EQ(record.lightKind, "spot"_4cc);
    EXPECT_EQ(std::memcmp(record.lightData, &spot, sizeof spot), 0);

    CPointLightObject point(TQ3PointLightData{
        {kQ3True, 1.0f, {1, 1, 1}}, kQ3True, kQ3AttenuationTypeInverseDistance, {1, 2, 3}});
    CGroupObject noGroup;
    LightTweenRecord loose(0, noGroup, point);
    EXPECT_EQ(loose.hasMatrix, 0) << "a light outside any group";
    EXPECT_EQ(loose.lightKind, "pntl"_4cc);
    for (std::size_t i = sizeof(TQ3PointLightData); i < sizeof loose.lightData; ++i) {
        ASSERT_EQ(loose.lightData[i], 0) << "byte " << i;
    }
}

TEST_F(SnapshotTest, ACameraSnapshotKeepsItsArgumentsAndTheDataOfItsKind) {
    TQ3OrthographicCameraData ortho{DocumentTest::LookingDown(), -2, 2, 3, -3};
    COrthographicCameraObject camera(ortho);
    CameraTweenRecord record(900, camera, Moved(4), eAnimateData, eAnimateByAxis);
    EXPECT_EQ(record.time, 900);
    EXPECT_EQ(record.cameraKind, "orth"_4cc);
    EXPECT_EQ(record.matrix.value[3][0], 4.0f);
    EXPECT_EQ(record.animate, eAnimateData);
    EXPECT_EQ(std::memcmp(record.cameraData, &ortho, sizeof ortho), 0);
    EXPECT_EQ(record.cameraData[76] | record.cameraData[79], 0);
    EXPECT_EQ(record.reserved[0] | record.reserved[3], 0);

    TQ3ViewPlaneCameraData plane{DocumentTest::LookingDown(), 10, 1, 0.5f, 0.25f, -0.25f};
    CameraTweenRecord planeRecord(0, CViewPlaneCameraObject(plane), CMatrix4x4(1.0),
                                  eAnimateLocation, eAnimateByOffset);
    EXPECT_EQ(planeRecord.cameraKind, "vwpl"_4cc);
    EXPECT_EQ(planeRecord.animateBy, eAnimateByOffset);
    EXPECT_EQ(std::memcmp(planeRecord.cameraData, &plane, sizeof plane), 0);
}
