#include "host/scene/view.h"

#include <algorithm>
#include <cmath>

#include "refhost/scene/walk.h"

using namespace refhost::scene;

void CBoundingBox::Add(TQ3Point3D const& p) {
    if (isEmpty) {
        min = max = p;
        isEmpty = false;
        return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

void CBoundingBox::Add(CBoundingBox const& other) {
    if (!other.isEmpty) {
        Add(other.min);
        Add(other.max);
    }
}

CPoint3D CBoundingBox::Middle() const {
    if (isEmpty) {
        return {};
    }
    return {min.x + (max.x - min.x) * 0.5f, min.y + (max.y - min.y) * 0.5f,
            min.z + (max.z - min.z) * 0.5f};
}

CViewObject::CViewObject(OpaqueTQ3Object* object) : CSharedObject(object, "view"_4cc) {}

CViewObject::CViewObject(C3DObject const& object) : CSharedObject(object.GetObject(), "view"_4cc) {}

namespace {

// Half the height that the camera shows at its point of interest, which lies `distance` away.
double HalfHeightAtInterest(Camera const& camera, double distance) {
    switch (camera.Kind()) {
    case "vana"_4cc:
        return distance * std::tan(camera.fieldOfView / 2.0);
    case "orth"_4cc:
        return (camera.top - camera.bottom) / 2.0;
    case "vwpl"_4cc:
        return camera.viewPlane != 0 ? camera.halfHeight * distance / camera.viewPlane
                                     : camera.halfHeight;
    default:
        return distance;
    }
}

void FitKind(Camera& camera, FourCharCode kind, double aspect, double distance, double half) {
    switch (kind) {
    case "vana"_4cc:
        camera.fieldOfView = static_cast<float>(2.0 * std::atan(half / distance));
        camera.aspectRatio = static_cast<float>(aspect);
        break;
    case "orth"_4cc:
        camera.left = static_cast<float>(-half * aspect);
        camera.right = static_cast<float>(half * aspect);
        camera.top = static_cast<float>(half);
        camera.bottom = static_cast<float>(-half);
        break;
    default: // "vwpl"
        camera.viewPlane = static_cast<float>(distance);
        camera.halfHeight = static_cast<float>(half);
        camera.halfWidth = static_cast<float>(half * aspect);
        camera.centreX = camera.centreY = 0.0f;
        break;
    }
    camera.SetKind(kind);
}

class BoundsVisitor : public WalkVisitor {
public:
    BoundsVisitor(TBoundsProgress progress, void* context)
        : fProgress(progress), fContext(context) {}

    bool VisitGeometry(Geometry& geometry, CMatrix4x4 const& m) override {
        if (fProgress && !fProgress(fContext)) {
            throw CSceneException("the bounding box was abandoned");
        }
        for (TQ3Point3D const& p : geometry.BoundingPoints()) {
            box.Add(CPoint3D(p) * m);
        }
        return true;
    }
    bool VisitLight(Light& light, CMatrix4x4 const& m) override {
        if (light.Kind() == "pntl"_4cc || light.Kind() == "spot"_4cc) {
            box.Add(CPoint3D(light.location) * m);
        }
        return true;
    }

    CBoundingBox box;

private:
    TBoundsProgress fProgress;
    void* fContext;
};

} // namespace

bool CViewObject::SetCameraType(Rect const& rect, TQ3ObjectType kind) {
    if (kind != "vana"_4cc && kind != "vwpl"_4cc && kind != "orth"_4cc) {
        return false;
    }
    auto* camera = As<Camera>(ViewPart(*this, &View::camera, "camera"));
    if (!camera) {
        throw CSceneException("the view's camera is not a camera");
    }
    if (camera->Kind() == kind) {
        return true;
    }
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    double aspect = width > 0 && height > 0 ? static_cast<double>(width) / height : 1.0;
    CVector3D sight = CPoint3D(camera->data.placement.pointOfInterest) -
                      CPoint3D(camera->data.placement.cameraLocation);
    double distance = Pythag(sight) > 0.0f ? Pythag(sight) : 1.0;
    double half = HalfHeightAtInterest(*camera, distance);
    FitKind(*camera, kind, aspect, distance, half > 0.0 ? half : 1.0);
    return true;
}

CBoundingBox CViewObject::GetBoundingBoxIncludingLights(CGroupObject const& group, bool,
                                                        TBoundsProgress progress,
                                                        void* progressContext) const {
    Require();
    BoundsVisitor visitor(progress, progressContext);
    Walk(group.GetObject() ? group.GetObject() : throw CSceneException("no group to bound"),
         CMatrix4x4(1.0), false, visitor);
    return visitor.box;
}

CDrawContextObject::CDrawContextObject(OpaqueTQ3Object* object)
    : CSharedObject(object, "dctx"_4cc) {}

CDrawContextObject::CDrawContextObject(CViewObject const& view)
    : CSharedObject(ViewPart(view, &View::drawContext, "draw context"), "dctx"_4cc) {}

TQ3Area CDrawContextObject::GetPane() const {
    auto* context = As<DrawContext>(Require());
    if (!context) {
        throw CSceneException("not a draw context");
    }
    return context->pane;
}

void CDrawContextObject::SetPane(TQ3Area const& pane) {
    auto* context = As<DrawContext>(Require());
    if (!context) {
        throw CSceneException("not a draw context");
    }
    context->pane = pane;
}
