#include "refhost/window/view_scene.h"

#include <algorithm>
#include <stdexcept>

#include "host/scene.h"
#include "refhost/session/posing.h"

namespace refhost::window {

std::optional<ViewProjection> CurrentProjection(Document const& document) {
    OpaqueTQ3Object* view = document.CurrentView();
    if (!view) {
        return std::nullopt;
    }
    try {
        CCameraObject camera{CViewObject(view)};
        float fieldOfView = kDefaultFieldOfView;
        float aspect = 4.0f / 3.0f;
        if (camera.GetLeafType() == "vana"_4cc) {
            TQ3ViewAngleAspectCameraData data{};
            CViewAngleAspectCameraObject(camera).GetCameraData(&data);
            fieldOfView = data.fov;
            aspect = data.aspectRatioXToY;
        }
        TQ3CameraData data{};
        camera.GetCameraData(&data);
        return ProjectionOf(data.placement, fieldOfView, aspect);
    } catch (CSceneException const&) {
        return std::nullopt;
    }
}

std::optional<ImageBounds> BoundsOnImage(CBoundingBox const& box, ViewProjection const& projection,
                                         int width, int height) {
    if (box.isEmpty) {
        return std::nullopt;
    }
    std::optional<ImageBounds> bounds;
    for (int corner = 0; corner < 8; ++corner) {
        TQ3Point3D const p{(corner & 1) ? box.max.x : box.min.x,
                           (corner & 2) ? box.max.y : box.min.y,
                           (corner & 4) ? box.max.z : box.min.z};
        std::optional<Pixel> const at = PixelOf(projection, p, width, height);
        if (!at) {
            return std::nullopt;
        }
        if (!bounds) {
            bounds = ImageBounds{at->x, at->y, at->x, at->y, 0};
        }
        bounds->left = std::min(bounds->left, at->x);
        bounds->right = std::max(bounds->right, at->x);
        bounds->top = std::min(bounds->top, at->y);
        bounds->bottom = std::max(bounds->bottom, at->y);
    }
    std::optional<Pixel> const centre = PixelOf(projection, box.Middle(), width, height);
    if (!centre) {
        return std::nullopt;
    }
    bounds->depth = centre->depth;
    return bounds;
}

OpaqueTQ3Object* MemberAt(Document const& document, ViewProjection const& projection, float x,
                          float y, int width, int height) {
    OpaqueTQ3Object* nearest = nullptr;
    float nearestDepth = 0;
    for (SceneMember const& member : SceneMembers(document)) {
        std::optional<ImageBounds> const b =
            BoundsOnImage(member.bounds, projection, width, height);
        if (b && x >= b->left && x <= b->right && y >= b->top && y <= b->bottom &&
            (!nearest || b->depth < nearestDepth)) {
            nearest = member.object;
            nearestDepth = b->depth;
        }
    }
    return nearest;
}

TQ3CameraPlacement CameraPlacement(Document const& document) {
    OpaqueTQ3Object* view = document.CurrentView();
    if (!view) {
        throw std::runtime_error("the document has no view");
    }
    TQ3CameraData data{};
    CCameraObject{CViewObject(view)}.GetCameraData(&data);
    return data.placement;
}

} // namespace refhost::window
