// Writing camera data into the view's camera.
#include <cstring>

#include "host/scene.h"
#include "playback/scene_writers.h"

namespace {

// The pane as a QuickDraw rectangle, each edge truncated toward zero to 16 bits.
Rect PaneRect(CViewObject const& view) {
    TQ3Area const pane = CDrawContextObject(view).GetPane();
    auto edge = [](float value) { return static_cast<int16_t>(static_cast<int32_t>(value)); };
    return Rect{edge(pane.min.y), edge(pane.min.x), edge(pane.max.y), edge(pane.max.x)};
}

template <typename Data, typename Camera>
void WriteKeepingViewPort(Camera camera, TQ3ViewPlaneCameraData const& block) {
    Data data{};
    std::memcpy(&data, &block, sizeof data);
    Data current{};
    camera.GetCameraData(&current);
    data.cameraData.viewPort = current.cameraData.viewPort;
    camera.SetCameraData(data);
}

} // namespace

void SetCamera(CViewObject& view, CCameraObject& camera, TQ3ViewPlaneCameraData data,
               int32_t kind) {
    auto const wanted = static_cast<TQ3ObjectType>(kind);
    TQ3ObjectType k = camera.GetLeafType();
    if (wanted != "cmra"_4cc && wanted != k) {
        view.SetCameraType(PaneRect(view), wanted);
        if (CCameraObject(view).GetType() != wanted) {
            return; // the view keeps the camera it has
        }
        k = wanted;
    }
    switch (k) {
    case "vana"_4cc: {
        TQ3ViewAngleAspectCameraData angle{};
        std::memcpy(&angle, &data, sizeof angle);
        CViewAngleAspectCameraObject viewAngle(camera);
        TQ3ViewAngleAspectCameraData current{};
        viewAngle.GetCameraData(&current);
        angle.cameraData.viewPort = current.cameraData.viewPort;
        angle.aspectRatioXToY = current.aspectRatioXToY;
        viewAngle.SetCameraData(angle);
        break;
    }
    case "orth"_4cc:
        WriteKeepingViewPort<TQ3OrthographicCameraData>(COrthographicCameraObject(camera), data);
        break;
    case "vwpl"_4cc:
        WriteKeepingViewPort<TQ3ViewPlaneCameraData>(CViewPlaneCameraObject(camera), data);
        break;
    default: {
        TQ3CameraData plain{};
        std::memcpy(&plain, &data, sizeof plain);
        TQ3CameraData current{};
        camera.GetCameraData(&current);
        plain.viewPort = current.viewPort;
        camera.SetCameraData(plain);
    }
    }
}
