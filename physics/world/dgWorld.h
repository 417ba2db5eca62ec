#pragma once
// The physics library's root object: the broad phase, the trees of bodies,
// the per-class object pools, the shared shape cache, the material pairs,
// the solver's scratch block and a private point collision for point
// queries. The engine uses it for collision queries only: bodies and joints
// exist only as the pools and destroy paths below.

#include <cstdint>

#include "physics/body/dgBody.h"
#include "physics/body/dgConstraint.h"
#include "physics/dynamics/dgChassisConstraint.h"
#include "physics/memory/dgRefList.h"
#include "physics/memory/dgTree.h"
#include "physics/world/dgBroadPhase.h"
#include "physics/world/dgMaterialPair.h"
#include "physics/world/dgObjectPool.h"

class dgCollision;
class dgPointCollision;
struct dgContact;

// One shape of the cache with the parameter block it was made from: equal
// signatures alone do not make equal shapes.
struct dgShapeCacheEntry {
  dgCollision* shape = nullptr;
  uint32_t block[32] = {};
};

// Called by the broad phase when a body's box leaves the world box.
using dgBodyLeaveWorldCallback = void (*)(dgBody* body);

class dgWorld {
 public:
  using BodyTree = dgTree<dgBody*, uintptr_t>;
  using ShapeCache = dgTree<dgShapeCacheEntry, uint32_t>;
  // Maps every signature the cache computes (tests force clashes with it).
  using SignatureHook = uint32_t (*)(uint32_t signature);
  using MaterialTree = dgTree<dgMaterialPair, uint32_t>;
  using ChassisTree = dgTree<dgChassisConstraint*, uintptr_t>;

  // Bytes of the two solver scratch buffers; the world keeps the larger.
  static constexpr int kScratchSizeA = 3775200;
  static constexpr int kScratchSizeB = 3644032;
  // Signature of the private point collision.
  static constexpr uint32_t kPointCollisionSignature = 0x12344321u;
  // The class ids the collision services test shapes against, in table order.
  enum ClassSlot {
    kBoxId,
    kNullId,
    kConeId,
    kSphereId,
    kConvexId,
    kEllipseId,
    kCapsuleId,
    kCylinderId,
    kConvexHullId,
    kChamferCylinderId,
    kConvexModifierId,
    kCompoundId,
    kPolygonSoupId,
    kClassSlotCount
  };

  dgWorld();
  dgWorld(const dgWorld&) = delete;
  dgWorld& operator=(const dgWorld&) = delete;
  ~dgWorld();
  // True when construction made every part a new world needs: each pool's
  // first bucket with all its objects free, the default material pair, the
  // island root, the solver scratch and the private point with its hull. A
  // world that is not (its hooks refused a block) is destroyed unused.
  bool IsComplete() const;

  // Makes the next material group and its pairs with every group so far; returns its id.
  int CreateMaterialGroup();
  // The pair of groups a <= b, or null.
  dgMaterialPair* GetMaterialPair(int groupA, int groupB);

  // Shared primitives: an equal cached shape, or a new one; each call adds
  // one reference for the caller. A shape whose signature is taken by a
  // different parameter block is made uncached (count 1, destroyed at its
  // release). Null when the shape cannot be allocated.
  dgCollision* CreateBox(float dx, float dy, float dz, const dgMatrix& offset);
  dgCollision* CreateSphere(float radius, const dgMatrix& offset);
  dgCollision* CreateEllipse(float rx, float ry, float rz, const dgMatrix& offset);
  dgCollision* CreateCapsule(float radius, float height, const dgMatrix& offset);
  dgCollision* CreateCylinder(float radius, float height, const dgMatrix& offset);
  // Drops one reference; when only the cache's is left, the shape leaves the cache and is destroyed.
  void ReleaseCollision(dgCollision* collision);
  void SetSignatureHook(SignatureHook hook) { signatureHook_ = hook; }

  // Most contacts one Collide computes before thinning them.
  static constexpr int kCollideBufferSize = 128;
  // Contacts closer than this are merged when there are too many.
  static constexpr float kReduceDistance = 0.01f;

  // Contacts of a placed by matrixA with b placed by matrixB: at most
  // min(maxContacts, 128), points and normals (world space, 12 bytes apart)
  // and penetrations written for each. The normal runs from b toward a when
  // a is convex, from a toward b when a is a soup. Two soups never touch;
  // maxContacts of 0 or less gives 0 and writes nothing. No heap use.
  int Collide(dgCollision* a, const dgMatrix& matrixA, dgCollision* b, const dgMatrix& matrixB, float* outPoints,
              float* outNormals, float* outPenetrations, int maxContacts);
  // Closest points of two placed convex shapes (0 when they overlap, when
  // none is found, or when either is not convex), with the normal between them.
  int ClosestPoints(dgCollision* a, const dgMatrix& matrixA, dgCollision* b, const dgMatrix& matrixB,
                    dgVector& outPointA, dgVector& outPointB, dgVector& outNormal);
  // The point of the placed shape closest to point, and the normal from the
  // shape toward the point; 0 inside, on failure and for a soup.
  int ClosestPoint(const dgVector& point, dgCollision* collision, const dgMatrix& matrix, dgVector& outPoint,
                   dgVector& outNormal);

  // A body from the pool carrying the collision (one reference taken),
  // placed by the matrix and entered in the body tree and the broad phase;
  // null when the pool cannot grow.
  dgBody* CreateBody(dgCollision* collision, const dgMatrix& matrix);
  // Places a body: its matrix, rotation and centre of mass, its collision's
  // placement and box (for a swept body widened over one step) and its
  // broad-phase entry.
  void SetBodyMatrix(dgBody* body, const dgMatrix& matrix);
  // Connects a joint from a pool to body0 and body1 (null: the world) through link records.
  void AttachJoint(dgConstraint* joint, dgBody* body0, dgBody* body1);
  // Destroys a body with every joint attached to it.
  void DestroyBody(dgBody* body);
  // Destroys a joint, waking the bodies it held.
  void DestroyJoint(dgConstraint* joint);
  // Gives a joint back to the pool of its kind, after its destroy callback;
  // a contact joint drops its contacts, a chassis also leaves both chassis
  // trees, loses every wheel and clears its collision's chassis flag.
  void ReleaseJoint(dgConstraint* joint);

  // Active set: RemoveFromActiveSet calls the activation callback with 0
  // when the body was active; AddToActiveSet with notify calls it with 1.
  void RemoveFromActiveSet(dgBody* body);
  void AddToActiveSet(dgBody* body, bool notify);

  dgBroadPhase& GetBroadPhase() { return broadPhase_; }
  BodyTree& GetBodyTree() { return bodies_; }
  BodyTree& GetActiveBodyTree() { return activeBodies_; }
  MaterialTree& GetMaterialTree() { return materialPairs_; }
  ShapeCache& GetShapeCache() { return shapeCache_; }
  ChassisTree& GetChassisBodyTree() { return chassisBodies_; }
  ChassisTree& GetChassisTree() { return chassisConstraints_; }
  dgObjectPool<dgBody>& GetBodyPool() { return bodyPool_; }
  dgObjectPool<dgJointLink>& GetJointLinkPool() { return jointLinks_; }
  dgObjectPool<dgContactJoint>& GetContactJointPool() { return contactJoints_; }
  dgObjectPool<dgBallAndSocketJoint>& GetBallAndSocketPool() { return ballAndSocketJoints_; }
  dgObjectPool<dgHingeJoint>& GetHingePool() { return hingeJoints_; }
  dgObjectPool<dgSliderJoint>& GetSliderPool() { return sliderJoints_; }
  dgObjectPool<dgUpVectorJoint>& GetUpVectorPool() { return upVectorJoints_; }
  dgObjectPool<dgCorkscrewJoint>& GetCorkscrewPool() { return corkscrewJoints_; }
  dgObjectPool<dgUniversalJoint>& GetUniversalPool() { return universalJoints_; }
  dgObjectPool<dgChassisConstraint>& GetChassisPool() { return chassisPool_; }
  dgPointCollision* GetPointCollision() const { return pointCollision_; }
  uint32_t GetClassId(ClassSlot slot) const { return classIds_[slot]; }

  int GetMaterialGroupCount() const { return materialGroupCount_; }
  int GetJointCount() const { return jointCount_; }
  int GetBodyCount() const { return bodyCount_; }
  int GetDefaultMaterialGroup() const { return defaultGroup_; }
  bool HasSSE() const { return cpuHasSSE_; }
  float GetTimeStep() const { return timeStep_; }
  uint32_t GetBroadPhaseNodeTag() const { return broadPhaseNodeTag_; }
  dgBodyLeaveWorldCallback GetLeaveWorldCallback() const { return leaveWorld_; }
  void SetLeaveWorldCallback(dgBodyLeaveWorldCallback callback) { leaveWorld_ = callback; }
  const void* GetSolverScratch() const { return solverScratch_; }

  // Tolerances the dynamics read.
  float GetLinearTolerance() const { return linearTolerance_; }
  float GetAngularTolerance() const { return angularTolerance_; }
  float GetLinearSleepSpeed() const { return linearSleepSpeed_; }
  float GetAngularSleepSpeed() const { return angularSleepSpeed_; }
  float GetSleepTime() const { return sleepTime_; }

 private:
  // The collision's placement and box of a placed body, and its broad-phase entry.
  void UpdateCollisionMatrix(dgBody* body);
  // The chassis part of ReleaseJoint.
  void ReleaseChassis(dgChassisConstraint* chassis);
  // Contacts of convex body0 with body1 (convex or a soup) into a buffer of
  // kCollideBufferSize, by the contact dispatchers.
  int ConvexContacts(dgBody& body0, dgBody& body1, dgContact* contacts);
  // Closest points of two convex collisions placed by matrices; pointB when
  // b is the world's point.
  int ConvexClosestPoints(dgCollision* a, const dgMatrix& matrixA, dgCollision* b, const dgMatrix& matrixB, bool pointB,
                          dgVector& outPointA, dgVector& outPointB, dgVector& outNormal);
  // The cached shape of the block's signature when its block is equal, else
  // a new Shape(signature, args...): entered in the cache when the signature
  // is free, uncached when another block holds it. Every Create* of a
  // cached primitive goes through here.
  template <class Shape, class... Args>
  dgCollision* FindOrCache(uint32_t signature, const uint32_t* block, const Args&... args);

  dgObjectPool<dgJointLink> jointLinks_;
  dgBroadPhase broadPhase_;
  BodyTree bodies_;
  BodyTree activeBodies_;
  MaterialTree materialPairs_;
  ShapeCache shapeCache_;
  dgObjectPool<dgBody> bodyPool_;
  dgObjectPool<dgContactJoint> contactJoints_;
  dgRefList<dgContactJoint*> activeContactJoints_;
  dgRefList<dgContactJoint*> recycledContactJoints_;
  dgObjectPool<dgBallAndSocketJoint> ballAndSocketJoints_;
  dgObjectPool<dgHingeJoint> hingeJoints_;
  dgObjectPool<dgSliderJoint> sliderJoints_;
  dgObjectPool<dgUpVectorJoint> upVectorJoints_;
  dgObjectPool<dgCorkscrewJoint> corkscrewJoints_;
  dgObjectPool<dgUniversalJoint> universalJoints_;
  dgObjectPool<dgChassisConstraint> chassisPool_;
  ChassisTree chassisBodies_;       // keyed by chassis body
  ChassisTree chassisConstraints_;  // keyed by constraint
  int solverPasses_ = 2;
  int materialGroupCount_ = 0;
  int jointCount_ = 0;
  int bodyCount_ = 0;
  int defaultGroup_ = 0;
  float linearTolerance_ = 0.01f;
  float angularTolerance_ = 0.01f;
  float linearSleepSpeed_ = 0.001f;
  float angularSleepSpeed_ = 0.001f;
  float sleepTime_ = 0.25f;
  bool cpuHasSSE_ = false;
  dgBodyLeaveWorldCallback leaveWorld_ = nullptr;
  void* solverScratch_ = nullptr;
  dgPointCollision* pointCollision_ = nullptr;
  SignatureHook signatureHook_ = nullptr;
  uint32_t classIds_[kClassSlotCount] = {};
  // Bookkeeping of the dynamics step.
  dgRefList<dgConstraint*> stepJoints_;
  dgTree<int, uint32_t> islandRoots_;  // always holds the node of key 0
  dgTree<dgBody*, uintptr_t> stepBodies_;
  dgRefList<dgBody*> stepContacts_;
  float timeStep_ = 1.0f / 60.0f;
  uint32_t broadPhaseNodeTag_ = 0;
  bool stepping_ = false;
};
