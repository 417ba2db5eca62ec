#pragma once
#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Ray.h"

class CCDSHitList;

// The collision and containment world, reduced to what the application
// touches while the full system (objects, physics shapes, the octree and its
// queries) is not built: the single world, its empty root cell, the debug
// drawing entry points and the shape's box.

// The bounds part of collision objects and tree cells: an axis-aligned box.
class CCDSShape {
public:
    virtual ~CCDSShape() = default;

    // Takes the box's extremes; the centre and corners follow from them.
    void SetBoundingBox(const BoundingBox& box);
    const BoundingBox& GetBoundingBox() const { return mBox; }

private:
    BoundingBox mBox;
};

// One cell of the containment tree. Nothing is filed yet, so every node is
// an empty leaf.
class CCDSNode {
public:
    // Debug switch: the node boxes are drawn while non-zero.
    static inline uint8_t sDrawBounds = 0;
    // Debug switch: boxes are coloured by the last visibility class while non-zero.
    static inline uint8_t sColourByVisibility = 0;

    CCDSNode() = default;
    virtual ~CCDSNode() = default;
    CCDSNode(const CCDSNode&) = delete;
    CCDSNode& operator=(const CCDSNode&) = delete;

    // Adds the objects at or below this node that the sphere or the ray
    // touches to hits, counting the nodes and objects visited.
    void QuerySphere(const BoundingSphere& sphere, CCDSHitList& hits);
    void QueryRay(const Ray& ray, CCDSHitList& hits);

    // Draws the collision shapes filed at or below node (null draws nothing).
    static void RenderShapes(CCDSNode* node);
    // Draws the cell and content boxes at or below node (null draws nothing).
    static void RenderBounds(CCDSNode* node);
};

// The single collision world, built on first use and destroyed at exit.
class CCDSWorld {
public:
    static CCDSWorld& Instance();
    virtual ~CCDSWorld() = default;
    CCDSWorld(const CCDSWorld&) = delete;
    CCDSWorld& operator=(const CCDSWorld&) = delete;

    // The root of the containment tree, drawn by the application's debug view.
    CCDSNode* GetRoot() { return &mRoot; }

private:
    CCDSWorld();
    CCDSNode mRoot;
};
