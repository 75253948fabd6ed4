// The scene object library, whole.
#pragma once

#include "host/scene/attribute_set.h"
#include "host/scene/camera.h"
#include "host/scene/group.h"
#include "host/scene/light.h"
#include "host/scene/parser.h"
#include "host/scene/scene_object.h"
#include "host/scene/shader.h"
#include "host/scene/shape.h"
#include "host/scene/transform.h"
#include "host/scene/view.h"
