#include "physics/world/dgWorld.h"

#include <new>

#include "physics/contacts/dgContactSolver.h"
#include "physics/dynamics/dgChassisCollisions.h"
#include "physics/memory/dgClassIds.h"
#include "physics/memory/dgMemory.h"
#include "physics/mesh/dgGeometryUtils.h"
#include "physics/world/dgPointCollision.h"

namespace {

// Calls a joint's destroy callback and puts the joint back on its pool's free list.
template <class Joint>
void ReturnJoint(dgObjectPool<Joint>& pool, dgConstraint* joint) {
  auto* typed = static_cast<Joint*>(joint);
  typed->NotifyRelease();
  pool.Release(typed);
}

// True when a new pool got its first bucket with every object on its free list.
template <class T>
bool HasWholeBucket(const dgObjectPool<T>& pool) {
  return pool.GetBucketCount() == 1 && pool.GetFreeCount() == dgObjectPool<T>::kObjectsPerBucket;
}

}  // namespace

dgWorld::dgWorld() {
  materialGroupCount_ = 0;
  defaultGroup_ = CreateMaterialGroup();
  solverScratch_ = dgMalloc(kScratchSizeA > kScratchSizeB ? kScratchSizeA : kScratchSizeB);

  static constexpr uint32_t kIds[kClassSlotCount] = {dgCollisionBoxId,
                                                     dgCollisionNullId,
                                                     dgCollisionConeId,
                                                     dgCollisionSphereId,
                                                     dgConvexCollisionId,
                                                     dgCollisionEllipseId,
                                                     dgCollisionCapsuleId,
                                                     dgCollisionCylinderId,
                                                     dgCollisionConvexHullId,
                                                     dgCollisionChamferCylinderId,
                                                     dgCollisionConvexModifierId,
                                                     dgCompoundCollisionId,
                                                     dgCollisionPolygonalSoupId};
  for (int i = 0; i < kClassSlotCount; ++i) classIds_[i] = kIds[i];

  broadPhase_.Bind(this);
  cpuHasSSE_ = dgCpuHasSSE();
  dgContactSolver::InitTables();
  pointCollision_ = new dgPointCollision(dgGetIdentityMatrix());
  islandRoots_.Insert(0, 0u);
}

dgWorld::~dgWorld() {
  stepJoints_.RemoveAll();
  islandRoots_.RemoveAll();
  stepBodies_.RemoveAll();
  stepContacts_.RemoveAll();

  if (pointCollision_) ReleaseCollision(pointCollision_);
  pointCollision_ = nullptr;

  while (BodyTree::dgTreeNode* root = bodies_.GetRoot()) DestroyBody(root->GetInfo());

  materialPairs_.RemoveAll();
  materialGroupCount_ = 0;
  defaultGroup_ = CreateMaterialGroup();

  dgFree(solverScratch_);
  solverScratch_ = nullptr;

  chassisPool_.Clear();
  chassisBodies_.RemoveAll();
  chassisConstraints_.RemoveAll();
  ballAndSocketJoints_.Clear();
  hingeJoints_.Clear();
  sliderJoints_.Clear();
  upVectorJoints_.Clear();
  corkscrewJoints_.Clear();
  universalJoints_.Clear();
  activeContactJoints_.RemoveAll();
  recycledContactJoints_.RemoveAll();
  contactJoints_.Clear();
  bodyPool_.Clear();

  // Every shape still cached goes with the world, whoever still holds it:
  // no collision may outlive the world that made it.
  while (ShapeCache::dgTreeNode* node = shapeCache_.GetRoot()) {
    dgCollision* shape = node->GetInfo().shape;
    shapeCache_.Remove(node);
    delete shape;
  }
  materialPairs_.RemoveAll();
  activeBodies_.RemoveAll();
  bodies_.RemoveAll();
  jointLinks_.Clear();
}

bool dgWorld::IsComplete() const {
  const bool poolsWhole = HasWholeBucket(jointLinks_) && HasWholeBucket(bodyPool_) && HasWholeBucket(contactJoints_) &&
                          HasWholeBucket(ballAndSocketJoints_) && HasWholeBucket(hingeJoints_) &&
                          HasWholeBucket(sliderJoints_) && HasWholeBucket(upVectorJoints_) &&
                          HasWholeBucket(corkscrewJoints_) && HasWholeBucket(universalJoints_) &&
                          HasWholeBucket(chassisPool_);
  return poolsWhole && materialPairs_.GetCount() == 1 && islandRoots_.GetCount() == 1 && solverScratch_ &&
         pointCollision_ && pointCollision_->GetEdgeCount() > 0;
}

int dgWorld::CreateMaterialGroup() {
  const int id = materialGroupCount_++;
  for (int j = 0; j <= id; ++j) {
    materialPairs_.Insert(dgMaterialPair(), (static_cast<uint32_t>(id) << 16) + static_cast<uint32_t>(j));
  }
  return id;
}

dgMaterialPair* dgWorld::GetMaterialPair(int groupA, int groupB) {
  const int high = groupA > groupB ? groupA : groupB;
  const int low = groupA > groupB ? groupB : groupA;
  MaterialTree::dgTreeNode* node =
      materialPairs_.Find((static_cast<uint32_t>(high) << 16) + static_cast<uint32_t>(low));
  return node ? &node->GetInfo() : nullptr;
}

void dgWorld::RemoveFromActiveSet(dgBody* body) {
  if (body->activeNode) {
    activeBodies_.Remove(static_cast<BodyTree::dgTreeNode*>(body->activeNode));
    body->activeNode = nullptr;
  }
  if (body->flags & dgBody::kFlagActive) {
    body->flags &= ~dgBody::kFlagActive;
    if (body->activationCallback) body->activationCallback(body, 0);
  }
}

void dgWorld::AddToActiveSet(dgBody* body, bool notify) {
  if (!body->activeNode) body->activeNode = activeBodies_.Insert(body, reinterpret_cast<uintptr_t>(body));
  if (notify && !(body->flags & dgBody::kFlagActive)) {
    body->flags |= dgBody::kFlagActive;
    if (body->activationCallback) body->activationCallback(body, 1);
  }
}

dgBody* dgWorld::CreateBody(dgCollision* collision, const dgMatrix& matrix) {
  dgBody* body = bodyPool_.Allocate();
  if (!body) return nullptr;
  body->~dgBody();
  new (body) dgBody;
  body->world = this;
  body->collision = collision;
  if (collision) collision->AddRef();
  body->bodyNode = bodies_.Insert(body, reinterpret_cast<uintptr_t>(body));
  ++bodyCount_;
  broadPhase_.Add(body);
  SetBodyMatrix(body, matrix);
  return body;
}

void dgWorld::SetBodyMatrix(dgBody* body, const dgMatrix& matrix) {
  body->matrix = matrix;
  body->rotation = dgQuaternion::FromMatrix(matrix);
  body->globalCentreOfMass = matrix.TransformVector(body->localCentreOfMass);
  body->globalCentreOfMass.w = 1.0f;
  UpdateCollisionMatrix(body);
}

void dgWorld::UpdateCollisionMatrix(dgBody* body) {
  dgCollision* collision = body->collision;
  if (!collision) return;
  const dgMatrix& matrix = body->matrix;
  body->collisionMatrix = collision->HasOffset() ? collision->GetOffsetMatrix().Multiply(matrix) : matrix;
  collision->CalcAABB(body->collisionMatrix, body->minBox, body->maxBox);
  if (body->flags & dgBody::kFlagContinuous) {
    // Widen the box over the placement one step later.
    dgMatrix swept = body->collisionMatrix;
    swept.posit += body->veloc.Scale(timeStep_);
    dgVector sweptMin;
    dgVector sweptMax;
    collision->CalcAABB(swept, sweptMin, sweptMax);
    for (int i = 0; i < 3; ++i) {
      if (sweptMin[i] < body->minBox[i]) body->minBox[i] = sweptMin[i];
      if (sweptMax[i] > body->maxBox[i]) body->maxBox[i] = sweptMax[i];
    }
  }
  broadPhase_.UpdateBody(body);
}

void dgWorld::AttachJoint(dgConstraint* joint, dgBody* body0, dgBody* body1) {
  joint->body0 = body0;
  joint->body1 = body1;
  dgBody* bodies[2] = {body0, body1};
  for (int i = 0; i < 2; ++i) {
    dgBody* body = bodies[i];
    if (!body) continue;
    dgJointLink* link = jointLinks_.Allocate();
    if (!link) continue;
    *link = dgJointLink();
    link->joint = joint;
    link->otherBody = bodies[1 - i];
    link->next = body->jointList;
    if (body->jointList) body->jointList->prev = link;
    body->jointList = link;
    joint->links[i] = link;
  }
  ++jointCount_;
}

void dgWorld::DestroyBody(dgBody* body) {
  if (body->destructionCallback) body->destructionCallback(body);
  broadPhase_.Remove(body);
  --bodyCount_;
  while (body->jointList) DestroyJoint(body->jointList->joint);
  if (body->collision) ReleaseCollision(body->collision);
  body->collision = nullptr;
  if (body->activeNode) {
    if (body->flags & dgBody::kFlagActive) {
      body->flags &= ~dgBody::kFlagActive;
      if (body->activationCallback) body->activationCallback(body, 0);
    }
    activeBodies_.Remove(static_cast<BodyTree::dgTreeNode*>(body->activeNode));
    body->activeNode = nullptr;
  }
  if (body->bodyNode)
    bodies_.Remove(static_cast<BodyTree::dgTreeNode*>(body->bodyNode));
  else
    bodies_.RemoveByKey(reinterpret_cast<uintptr_t>(body));
  body->bodyNode = nullptr;
  bodyPool_.Release(body);
}

void dgWorld::DestroyJoint(dgConstraint* joint) {
  --jointCount_;
  dgBody* bodies[2] = {joint->body0, joint->body1};
  for (dgBody* body : bodies) {
    if (!body) continue;
    if (body->sleepTimer == 0.0f)
      body->flags |= dgBody::kFlagResting;
    else
      body->flags &= ~dgBody::kFlagResting;
    if ((body->flags & dgBody::kFlagAutoActivate) && !body->activeNode) AddToActiveSet(body, true);
  }
  for (int i = 0; i < 2; ++i) {
    dgJointLink* link = joint->links[i];
    if (!link) continue;
    dgBody* body = bodies[i];
    if (body && body->jointList == link) body->jointList = link->next;
    if (link->prev) link->prev->next = link->next;
    if (link->next) link->next->prev = link->prev;
    *link = dgJointLink();
    jointLinks_.Release(link);
    joint->links[i] = nullptr;
  }
  ReleaseJoint(joint);
}

void dgWorld::ReleaseJoint(dgConstraint* joint) {
  switch (joint->GetKind()) {
    case dgConstraint::kBallAndSocket:
      return ReturnJoint(ballAndSocketJoints_, joint);
    case dgConstraint::kHinge:
      return ReturnJoint(hingeJoints_, joint);
    case dgConstraint::kSlider:
      return ReturnJoint(sliderJoints_, joint);
    case dgConstraint::kCorkscrew:
      return ReturnJoint(corkscrewJoints_, joint);
    case dgConstraint::kUniversal:
      return ReturnJoint(universalJoints_, joint);
    case dgConstraint::kUpVector:
      return ReturnJoint(upVectorJoints_, joint);
    case dgConstraint::kContact: {
      auto* contact = static_cast<dgContactJoint*>(joint);
      contact->contacts.RemoveAll();
      return contactJoints_.Release(contact);
    }
    case dgConstraint::kChassis:
      return ReleaseChassis(static_cast<dgChassisConstraint*>(joint));
  }
}

void dgWorld::ReleaseChassis(dgChassisConstraint* chassis) {
  chassisConstraints_.RemoveByKey(reinterpret_cast<uintptr_t>(chassis));
  if (chassis->destroyCallback) chassis->destroyCallback(chassis);
  while (chassis->wheels.GetCount()) chassis->RemoveWheel(chassis->wheels.GetFirst());
  chassisPool_.Release(chassis);
  dgBody* body = chassis->body0;
  chassisBodies_.RemoveByKey(reinterpret_cast<uintptr_t>(body));
  if (body && body->collision) body->collision->ClearFlagBits(dgChassisCompoundCollision::kChassisFlag);
}
