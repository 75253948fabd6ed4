// Reaching the stored tween list of the object a cache animates.
#pragma once

#include <cstdint>
#include <functional>

#include "tween/tween_handle_record.h"

struct OpaqueTQ3Object;
class CCache;

// Reads the tween list from the object's attribute set, lets change work on it and stores
// it back. When the object's set cannot be opened or written and the object is a group,
// the same is tried on the group's first light (a light cache's object is the group that
// holds the light). A list that is not one of records of recordSize bytes (0: of either
// record size) is damaged or of another kind: it is neither changed nor stored, and counts
// as a failure. A change that throws must leave the list as it was: nothing is stored, and
// it is not tried on the light. False when no change was stored.
bool ChangeStoredTweenList(OpaqueTQ3Object* object,
                           std::function<void(CTweenHandleRecord&)> const& change,
                           uint32_t recordSize = 0);

// The same for the list the cache's records were read from: a light cache's own light
// when it knows it (so two lights in one group keep their lists apart), otherwise as
// above with the cache's object and its record size.
bool ChangeStoredTweenList(CCache const& cache,
                           std::function<void(CTweenHandleRecord&)> const& change);
