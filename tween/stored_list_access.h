// Reaching the stored tween list of the object a cache animates.
#pragma once

#include <functional>

#include "tween/tween_handle_record.h"

struct OpaqueTQ3Object;

// Reads the tween list from the object's attribute set, lets change work on it and stores
// it back. When the object's set cannot be opened or written and the object is a group,
// the same is tried on the group's first light (a light cache's object is the group that
// holds the light). False when neither worked; failures of change count as such.
bool ChangeStoredTweenList(OpaqueTQ3Object* object,
                           std::function<void(CTweenHandleRecord&)> const& change);
