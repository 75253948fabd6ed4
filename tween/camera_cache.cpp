#include "tween/camera_cache.h"

#include "host/scene.h"
#include "tween/tween_point_recording.h"

namespace {

constexpr uint32_t kCameraSortingIndex = 1;

CameraTweenRecord CameraRecord(int32_t time, CGroupObject& group, CShapeObject& camera,
                               TAnimate animate, TAnimateBy animateBy) {
    CMatrix4x4 matrix(1.0);
    if (animate != eAnimateData) {
        matrix = CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix();
    }
    return CameraTweenRecord(time, camera, matrix, animate, animateBy);
}

} // namespace

CCameraCache::CCameraCache(uint32_t index) : CCache(eCameraCache, index) {}

void CCameraCache::AddAllTweenPoints(CTweenHandleRecord& list) {
    CopyRecords(list, kCameraRecordSize);
}

void CCameraCache::AddNewTweenPoint(int32_t time, CGroupObject& group, CShapeObject& camera,
                                    CSetObject& set, TAnimate animate, TAnimateBy animateBy) {
    StoreNewTweenList(CameraRecord(time, group, camera, animate, animateBy), kCameraRecordSize, set,
                      kCameraSortingIndex);
}

bool CCameraCache::AddTweenPointInto(int32_t time, CGroupObject& group, CShapeObject& camera,
                                     CTweenHandleRecord& list, TAnimate animate,
                                     TAnimateBy animateBy) {
    return RecordTweenPointInTimeOrder(list, CameraRecord(time, group, camera, animate, animateBy));
}
