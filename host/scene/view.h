// Views: what a window shows. A view holds a camera, a light group and a draw context whose
// pane is the area drawn into.
#pragma once

#include "host/qd3d_types.h"
#include "host/quickdraw_types.h"
#include "host/scene/group.h"
#include "host/vectors.h"

class CBoundingBox {
public:
    CPoint3D min{0, 0, 0};
    CPoint3D max{0, 0, 0};
    bool isEmpty = true;

    void Add(TQ3Point3D const& point);
    void Add(CBoundingBox const& other);
    // The centre; the origin for an empty box.
    CPoint3D Middle() const;
};

// Called now and then during a long computation; returning false abandons it.
using TBoundsProgress = bool (*)(void* context);

class CViewObject : public CSharedObject {
public:
    CViewObject() = default;
    explicit CViewObject(OpaqueTQ3Object* object);
    CViewObject(C3DObject const& object);

    // Replaces the view's camera by one of kind ("vana", "vwpl" or "orth"), keeping the
    // placement, range, view port and attribute set (the camera stays the same object, so
    // its stored attributes and every wrapper of it carry over). The new kind's own fields
    // are fitted to the area rect: the aspect ratio is its width over its height, the field
    // of view or the extent keeps what the camera shows at its point of interest.
    // Returns false, changing nothing, for another kind.
    bool SetCameraType(Rect const& rect, TQ3ObjectType kind);

    // The bounds of every drawn geometry of group, and of the locations of its point and spot
    // lights, under the group's transforms (the group's own placement taken as the identity).
    // Boxes, triangles and meshes are bounded by their points, NURB shapes by their control
    // points, which enclose them; so exact and quick bounds agree here. A progress callback
    // that answers false abandons the computation with a CSceneException.
    CBoundingBox GetBoundingBoxIncludingLights(CGroupObject const& group, bool exact,
                                               TBoundsProgress progress,
                                               void* progressContext = nullptr) const;
};

class CDrawContextObject : public CSharedObject {
public:
    CDrawContextObject() = default;
    explicit CDrawContextObject(OpaqueTQ3Object* object);
    // The view's draw context; throws when it has none.
    explicit CDrawContextObject(CViewObject const& view);

    TQ3Area GetPane() const;
    void SetPane(TQ3Area const& pane);
};
