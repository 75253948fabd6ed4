// Shared set-up for the scene tests: every test starts and ends with the same number of live
// scene objects and memory blocks, so a leak or a double release fails the test that made it.
#pragma once

#include <gtest/gtest.h>

#include "host/scene.h"
#include "refhost/memory/memory_control.h"
#include "refhost/scene/build.h"
#include "refhost/scene/objects.h"

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCustomAttributeGlobals();
        fObjects = refhost::scene::LiveObjectCount();
        fMemory = refhost::memory::CurrentUsage();
    }
    void TearDown() override {
        EXPECT_EQ(refhost::scene::LiveObjectCount(), fObjects) << "scene objects leaked";
        EXPECT_EQ(refhost::memory::CurrentUsage(), fMemory) << "memory blocks leaked";
    }

    // A wrapper that takes over a reference the factory functions hand out.
    static CShapeObject Adopt(OpaqueTQ3Object* object) {
        CShapeObject shape(object);
        C3DObject::Dispose(object);
        return shape;
    }
    static CShapeObject UnitBox() {
        return Adopt(refhost::scene::NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}));
    }

private:
    std::size_t fObjects = 0;
    refhost::memory::Usage fMemory;
};
