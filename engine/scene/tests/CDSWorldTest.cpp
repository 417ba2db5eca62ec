#include <gtest/gtest.h>

#include "engine/scene/CDSWorld.h"

namespace {

TEST(CDSWorld, OneWorldWithARootTheDebugViewCanWalk) {
    CCDSWorld& world = CCDSWorld::Instance();
    EXPECT_EQ(&world, &CCDSWorld::Instance());
    ASSERT_NE(world.GetRoot(), nullptr);
    CCDSNode::RenderBounds(world.GetRoot());
    CCDSNode::RenderShapes(world.GetRoot());
    CCDSNode::RenderShapes(nullptr);
}

TEST(CDSShape, CentreFollowsTheBoxExtremes) {
    BoundingBox box;
    box.SetMinMax(Vector3(1, 1, 1), Vector3(3, 5, 7));
    box.centre = Vector3(0, 0, 0);  // a stale centre is not taken over
    CCDSShape shape;
    shape.SetBoundingBox(box);
    EXPECT_EQ(shape.GetBoundingBox().centre.x, 2.0f);
    EXPECT_EQ(shape.GetBoundingBox().centre.y, 3.0f);
    EXPECT_EQ(shape.GetBoundingBox().centre.z, 4.0f);
}

}  // namespace
