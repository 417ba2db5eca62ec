#include "engine/scene/CDSWorld.h"

void CCDSShape::SetBoundingBox(const BoundingBox& box) { mBox.SetMinMax(box.min, box.max); }

// No node holds objects or children yet, so there is nothing to draw; the
// walk over children and objects comes with the containment tree.
void CCDSNode::RenderShapes(CCDSNode*) {}

void CCDSNode::RenderBounds(CCDSNode*) {}

CCDSWorld& CCDSWorld::Instance() {
    static CCDSWorld world;
    return world;
}
