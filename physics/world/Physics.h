#pragma once
// The physics library's flat interface, the only part of the library the
// engine sees: it holds worlds and collisions as opaque handles. Points and
// directions are three floats; matrices are sixteen floats in the engine's
// Matrix4 order (rows front, up, right, posit); a null offset matrix is the
// identity.

#include <cstddef>

class dgWorld;
class dgCollision;

// Allocation hooks: a block of the given size (or null), and its release with its size.
using PhysicsMallocHook = void* (*)(size_t bytes);
using PhysicsFreeHook = void (*)(void* block, size_t bytes);
// Called for each face a tree collision's box query meets: two user values,
// the vertices (three floats, strideBytes apart), the index count and indices.
using PhysicsTreeCollisionCallback = void (*)(void* userValue1, void* userValue2, const float* vertices,
                                              int strideBytes, int indexCount, const int* indices);

// A new world spanning (-100, -100, -100) to (100, 100, 100). The hooks serve
// the whole library from now on (null for either selects the C library's);
// null when the world cannot be allocated.
dgWorld* PhysicsCreate(PhysicsMallocHook mallocHook, PhysicsFreeHook freeHook);
// Destroys the world with every shape it still caches; null is ignored.
void PhysicsDestroy(dgWorld* world);
// Rebuilds the broad phase for the box between the two corners.
void PhysicsSetWorldSize(dgWorld* world, const float* minPoint, const float* maxPoint);

// Shared primitives: equal requests return the same collision, each with
// one more reference to give back through PhysicsReleaseCollision. Sizes
// are taken as absolute values; box sizes and heights are full lengths.
// Null when the shape cannot be allocated.
dgCollision* PhysicsCreateBox(dgWorld* world, float dx, float dy, float dz, const float* offsetMatrix);
// A sphere when the three radii agree within 0.00001, else an ellipsoid.
dgCollision* PhysicsCreateSphere(dgWorld* world, float rx, float ry, float rz, const float* offsetMatrix);
dgCollision* PhysicsCreateCapsule(dgWorld* world, float radius, float height, const float* offsetMatrix);
dgCollision* PhysicsCreateCylinder(dgWorld* world, float radius, float height, const float* offsetMatrix);

// A new, empty triangle-soup collision (one reference; never shared).
dgCollision* PhysicsCreateTreeCollision(dgWorld* world, PhysicsTreeCollisionCallback callback);
// Building a tree collision: Begin, AddFace per polygon, End (optimise
// non-zero also welds and merges). A collision that is not a tree
// collision is ignored.
void PhysicsTreeCollisionBeginBuild(dgCollision* tree);
void PhysicsTreeCollisionAddFace(dgCollision* tree, int vertexCount, const float* vertices, int strideBytes,
                                 int attribute);
void PhysicsTreeCollisionEndBuild(dgCollision* tree, int optimise);

// Gives back one reference of a collision this world made.
void PhysicsReleaseCollision(dgWorld* world, dgCollision* collision);

// Contacts of two placed collisions: at most min(maxContacts, 128) points,
// normals (three floats each) and penetrations. The normal runs from b
// toward a when a is convex, from a toward b when a is a tree collision.
// 0 when they do not touch, for two tree collisions and for maxContacts <= 0.
int PhysicsCollisionCollide(dgWorld* world, int maxContacts, dgCollision* a, const float* matrixA, dgCollision* b,
                            const float* matrixB, float* outPoints, float* outNormals, float* outPenetrations);
// The world-space box of the collision placed by the matrix.
void PhysicsCollisionCalculateAABB(dgCollision* collision, const float* matrix, float* outMin, float* outMax);
// Casts the segment p0 -> p1 (the collision's placement frame) and returns
// the hit parameter: a hit when 0 <= t <= 1, with the hit normal and the
// face's attribute written; nothing is written on a miss.
float PhysicsCollisionRayCast(dgCollision* collision, const float* p0, const float* p1, float* outNormal,
                              int* outAttribute);
// The point of the placed collision closest to point and the normal from
// the collision toward the point; 0 when the point is inside, when no
// answer is found, and for a tree collision.
int PhysicsCollisionClosestPoint(dgWorld* world, const float* point, dgCollision* collision, const float* matrix,
                                 float* outContact, float* outNormal);
