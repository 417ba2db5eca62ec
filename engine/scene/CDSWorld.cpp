#include "engine/scene/CDSWorld.h"

#include "engine/scene/CDSHitList.h"
#include "engine/scene/CDSMesh.h"

void CCDSShape::SetBoundingBox(const BoundingBox& box) { mBox.SetMinMax(box.min, box.max); }

// No node holds objects or children yet, so there is nothing to draw; the
// walk over children and objects comes with the containment tree.
void CCDSNode::RenderShapes(CCDSNode*) {}

void CCDSNode::RenderBounds(CCDSNode*) {}

// Every node is still an empty leaf: the visit is counted and there is no
// object to test.
void CCDSNode::QuerySphere(const BoundingSphere&, CCDSHitList& hits) { ++hits.nodesVisited; }

void CCDSNode::QueryRay(const Ray&, CCDSHitList& hits) { ++hits.nodesVisited; }

// The engine's ray operations reach collision meshes through this hook, so it
// is in place as soon as anything can hold a mesh.
CCDSWorld::CCDSWorld() { CCDSMesh::RegisterRayTest(); }

CCDSWorld& CCDSWorld::Instance() {
    static CCDSWorld world;
    return world;
}
