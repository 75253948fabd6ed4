// Recording tween points from the palette's record buttons. Each takes a snapshot of part of
// the scene at time and stores it in the stored tween lists of the objects; none touches the
// caches, redraws or reports anything, and every failure inside is dropped.
#pragma once

#include <cstdint>

class CGroupObject;

// Every group selected in the front document: the lights of a group that has lights, or
// else the group's placement and surface data. A selected group without a transform of its
// own is first wrapped in an ordered group that has one (and a copy of its attribute set).
void AddObjectTweenPoint(int32_t time);
// The current view's camera.
void AddCameraTweenPoint(int32_t time);
// The first ambient light of the current view's light group, if it has one.
void AddAmbientTweenPoint(int32_t time);
// The first directional light of the current view's light group, if it has one.
void AddSunTweenPoint(int32_t time);

// Records every group member of selection, wrapping those without a direct transform.
void AddWithOrWithouttransformOutterGroupTweenPoint(CGroupObject& selection, int32_t time);
// Records the group's direct lights or, when it has none, the group itself once per direct
// transform (each recording replaces the one before, at the same time). Nothing when
// doRecord is false.
void AddTweenAttributes(CGroupObject& group, int32_t time, bool doRecord);
