#include "bench/bench_scene.h"

#include <cstring>
#include <memory>

#include "refhost/framework/host_state.h"
#include "refhost/scene/build.h"
#include "tween/recache.h"
#include "tween/row_order.h"
#include "tween/tween_handle_record.h"

namespace bench {

namespace {

OpaqueTQ3Object* NewBenchView() {
    TQ3CameraData data{};
    data.placement = {{0, 0, 10}, {0, 0, 0}, {0, 1, 0}};
    data.range = {1, 1000};
    data.viewPort = {{-1, 1}, 2, 2};
    CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{data, 1, 1});
    CLightGroupObject lights;
    return refhost::scene::NewView(camera.GetObject(), lights.GetObject(), {{0, 0}, {640, 480}});
}

CDisplayGroupObject BoxGroup(uint32_t index) {
    OpaqueTQ3Object* raw = refhost::scene::NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    CShapeObject box(raw);
    C3DObject::Dispose(raw);
    CSetObject boxSet(nullptr, true);
    boxSet.AddDiffuseColor({0.2f, 0.4f, 0.6f});
    box.SetSet(boxSet);

    CDisplayGroupObject group;
    CSetObject groupSet(nullptr, true);
    groupSet.SetNameAttribute(("Box " + std::to_string(index)).c_str());
    group.SetSet(groupSet);
    CMatrix4x4 place(1.0);
    place.value[3][0] = static_cast<float>(index % 100);
    place.value[3][1] = static_cast<float>(index / 100);
    group.AddObject(CTransformObject(place));
    group.AddObject(box);
    return group;
}

// The snapshot of point k: the group's own record, turned, moved and recoloured by k.
ObjectTweenRecord PointOf(ObjectTweenRecord record, uint32_t k, int32_t step) {
    record.time = static_cast<int32_t>(k) * step;
    auto const turn = static_cast<float>(k % 7) * 0.5f;
    CMatrix4x4 m = ScaleMat({1.0f + static_cast<float>(k % 3) * 0.25f, 1, 1}) *
                   RotateMat(CVector3D(0, 1, 0), turn) * CMatrix4x4(record.matrix);
    m.value[3][2] += static_cast<float>(k % 5);
    record.matrix = m;
    record.hasColour0 = 1;
    record.colour0 = {static_cast<float>(k % 2), 0.5f, static_cast<float>(k % 4) / 4.0f};
    return record;
}

} // namespace

BenchDocument::BenchDocument(uint32_t groups) : fGroups(groups) {
    InitCustomAttributeGlobals();
    fDocument = &refhost::HostState::Instance().Open(std::make_unique<refhost::Document>());
    OpaqueTQ3Object* view = NewBenchView();
    fDocument->AddView(view);
    C3DObject::Dispose(view);
    fDocument->clock.maximum = 0x7FFFFFF;
    CGroupObject selection = Selected();
    for (uint32_t i = 0; i < groups; ++i) {
        selection.AddObject(BoxGroup(i));
    }
}

BenchDocument::~BenchDocument() {
    ReleasePluginLists();
    refhost::HostState::Instance().Close(*fDocument);
}

void BenchDocument::BringToFront() {
    refhost::HostState::Instance().BringToFront(*fDocument);
}

CGroupObject BenchDocument::Selected() const {
    return CGroupObject(fDocument->SelectedGroup());
}

void GiveTweenPoints(CGroupObject const& selection, uint32_t points, int32_t step) {
    uint32_t sortingIndex = 4;
    for (auto* p = selection.GetFirstObject(); p; p = selection.NextPosition(p)) {
        CGroupObject group(selection, p);
        ObjectTweenRecord const snapshot(0, group);
        auto const bytes = sizeof(TweenListHeader) + std::size_t{points} * kObjectRecordSize;
        Handle block = NewHandle(static_cast<Size>(bytes));
        TweenListHeader const header{kObjectRecordSize, sortingIndex++};
        std::memcpy(*block, &header, sizeof header);
        for (uint32_t k = 0; k < points; ++k) {
            ObjectTweenRecord const record = PointOf(snapshot, k, step);
            std::memcpy(*block + sizeof header + std::size_t{k} * kObjectRecordSize, &record,
                        kObjectRecordSize);
        }
        THandlePair const list{static_cast<int32_t>(bytes), block};
        CSetObject(group).AddType(GetCustomAttributeType(eTweenAttribute), &list);
    }
}

void ReleasePluginLists() {
    DisposeOfLists(gTimeLineCache);
    DisposeOfList(gAnimateColourItems);
    DisposeOfList(gAnimateLightItems);
    DisposeOfList(gAnimateTextureItems);
}

} // namespace bench
