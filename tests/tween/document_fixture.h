// A front document with one view (a camera looking down the z axis at the origin, and an
// empty light group), for tests that record tween points or scan the scene. Like the scene
// fixture, it fails a test that leaks scene objects or memory blocks.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "refhost/document/document.h"
#include "refhost/framework/host_state.h"
#include "tests/refhost/scene/scene_fixture.h"
#include "tween/recache.h"
#include "tween/row_order.h"
#include "tween/tween_handle_record.h"
#include "tween/tween_records.h"

class DocumentTest : public SceneTest {
protected:
    void SetUp() override {
        // The global lists keep the blocks they grew (by design), so they grow before the
        // counting starts.
        for (auto* list : {&gAnimateColourItems, &gAnimateLightItems, &gAnimateTextureItems}) {
            list->Append(nullptr);
            list->SetCount(0);
        }
        gTimeLineCache.Append(nullptr);
        gTimeLineCache.SetCount(0);
        SceneTest::SetUp();
        CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{LookingDown(), 1, 1});
        CLightGroupObject lights;
        OpaqueTQ3Object* view =
            refhost::scene::NewView(camera.GetObject(), lights.GetObject(), {{0, 0}, {640, 480}});
        fDocument = &refhost::HostState::Instance().Open(std::make_unique<refhost::Document>());
        fDocument->AddView(view);
        C3DObject::Dispose(view);
    }
    void TearDown() override {
        DisposeOfLists(gTimeLineCache);
        DisposeOfList(gAnimateColourItems);
        DisposeOfList(gAnimateLightItems);
        DisposeOfList(gAnimateTextureItems);
        refhost::HostState::Instance().Reset();
        SceneTest::TearDown();
    }

    static TQ3CameraData LookingDown() {
        TQ3CameraData data{};
        data.placement = {{0, 0, 10}, {0, 0, 0}, {0, 1, 0}};
        data.range = {1, 100};
        data.viewPort = {{-1, 1}, 2, 2};
        return data;
    }
    static void Recache() {
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
    }
    CGroupObject Selected() const { return CGroupObject(fDocument->SelectedGroup()); }

    // A named display group whose stored list holds the points (time in units, selected),
    // among the other objects or the selected ones.
    CDisplayGroupObject NamedAnimatedGroup(char const* name,
                                           std::vector<std::pair<int32_t, bool>> const& points,
                                           bool selectedInDocument = false) {
        CDisplayGroupObject group;
        CSetObject set(nullptr, true);
        set.SetNameAttribute(name);
        group.SetSet(set);
        ObjectTweenRecord record;
        CTweenHandleRecord list(record, kObjectRecordSize);
        list.Remove(0);
        for (auto [time, selected] : points) {
            record.time = time;
            record.selected = selected;
            list.Append(record);
        }
        CSetObject(group).AddType(GetCustomAttributeType(eTweenAttribute), &list);
        (selectedInDocument ? Selected() : Others()).AddObject(group);
        return group;
    }
    // The times of the shape's stored list.
    static std::vector<int32_t> StoredTimes(CShapeObject const& shape) {
        CTweenHandleRecord list{CSetObject(shape)};
        std::vector<int32_t> times;
        for (uint32_t i = 0; i < list.GetCount(); ++i) {
            times.push_back(static_cast<BaseTweenRecord const*>(list[i])->time);
        }
        return times;
    }
    CGroupObject Others() const { return CGroupObject(fDocument->OtherGroup()); }

    refhost::Document* fDocument = nullptr;
};
