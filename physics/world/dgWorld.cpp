#include "physics/world/dgWorld.h"

#include <new>

#include "physics/contacts/dgContactSolver.h"
#include "physics/memory/dgClassIds.h"
#include "physics/memory/dgMemory.h"
#include "physics/mesh/dgGeometryUtils.h"
#include "physics/world/dgPointCollision.h"

dgWorld::dgWorld() {
  mMaterialGroupCount = 0;
  mDefaultGroup = CreateMaterialGroup();
  mSolverScratch = dgMalloc(kScratchSizeA > kScratchSizeB ? kScratchSizeA : kScratchSizeB);

  static constexpr uint32_t kIds[kClassSlotCount] = {
      dgCollisionBoxId,          dgCollisionNullId,         dgCollisionConeId,          dgCollisionSphereId,
      dgConvexCollisionId,       dgCollisionEllipseId,      dgCollisionCapsuleId,       dgCollisionCylinderId,
      dgCollisionConvexHullId,   dgCollisionChamferCylinderId, dgCollisionConvexModifierId, dgCompoundCollisionId,
      dgCollisionPolygonalSoupId};
  for (int i = 0; i < kClassSlotCount; ++i) mClassIds[i] = kIds[i];

  mBroadPhase.Bind(this);
  mCpuHasSSE = dgCpuHasSSE();
  dgContactSolver::InitTables();
  mPointCollision = new dgPointCollision(dgGetIdentityMatrix());
  mIslandRoots.Insert(0, 0u);
}

dgWorld::~dgWorld() {
  mStepJoints.RemoveAll();
  mIslandRoots.RemoveAll();
  mStepBodies.RemoveAll();
  mStepContacts.RemoveAll();

  if (mPointCollision) ReleaseCollision(mPointCollision);
  mPointCollision = nullptr;

  while (BodyTree::dgTreeNode* root = mBodies.GetRoot()) DestroyBody(root->GetInfo());

  mMaterialPairs.RemoveAll();
  mMaterialGroupCount = 0;
  mDefaultGroup = CreateMaterialGroup();

  dgFree(mSolverScratch);
  mSolverScratch = nullptr;

  mChassisPool.Clear();
  mChassisBodies.RemoveAll();
  mChassisConstraints.RemoveAll();
  mBallAndSocketJoints.Clear();
  mHingeJoints.Clear();
  mSliderJoints.Clear();
  mUpVectorJoints.Clear();
  mCorkscrewJoints.Clear();
  mUniversalJoints.Clear();
  mActiveContactJoints.RemoveAll();
  mRecycledContactJoints.RemoveAll();
  mContactJoints.Clear();
  mBodyPool.Clear();

  // Every shape still cached goes with the world, whoever still holds it:
  // no collision may outlive the world that made it.
  while (ShapeCache::dgTreeNode* node = mShapeCache.GetRoot()) {
    dgCollision* shape = node->GetInfo().shape;
    mShapeCache.Remove(node);
    delete shape;
  }
  mMaterialPairs.RemoveAll();
  mActiveBodies.RemoveAll();
  mBodies.RemoveAll();
  mJointLinks.Clear();
}

int dgWorld::CreateMaterialGroup() {
  const int id = mMaterialGroupCount++;
  for (int j = 0; j <= id; ++j) {
    mMaterialPairs.Insert(dgMaterialPair(), (static_cast<uint32_t>(id) << 16) + static_cast<uint32_t>(j));
  }
  return id;
}

dgMaterialPair* dgWorld::GetMaterialPair(int groupA, int groupB) {
  const int high = groupA > groupB ? groupA : groupB;
  const int low = groupA > groupB ? groupB : groupA;
  MaterialTree::dgTreeNode* node = mMaterialPairs.Find((static_cast<uint32_t>(high) << 16) + static_cast<uint32_t>(low));
  return node ? &node->GetInfo() : nullptr;
}

void dgWorld::RemoveFromActiveSet(dgBody* body) {
  if (body->activeNode) {
    mActiveBodies.Remove(static_cast<BodyTree::dgTreeNode*>(body->activeNode));
    body->activeNode = nullptr;
  }
  if (body->flags & dgBody::kFlagActive) {
    body->flags &= ~dgBody::kFlagActive;
    if (body->activationCallback) body->activationCallback(body, 0);
  }
}

void dgWorld::AddToActiveSet(dgBody* body, bool notify) {
  if (!body->activeNode) body->activeNode = mActiveBodies.Insert(body, reinterpret_cast<uintptr_t>(body));
  if (notify && !(body->flags & dgBody::kFlagActive)) {
    body->flags |= dgBody::kFlagActive;
    if (body->activationCallback) body->activationCallback(body, 1);
  }
}

dgBody* dgWorld::CreateBody(dgCollision* collision, const dgMatrix& matrix) {
  dgBody* body = mBodyPool.Allocate();
  if (!body) return nullptr;
  body->~dgBody();
  new (body) dgBody;
  body->world = this;
  body->collision = collision;
  if (collision) collision->AddRef();
  body->bodyNode = mBodies.Insert(body, reinterpret_cast<uintptr_t>(body));
  ++mBodyCount;
  mBroadPhase.Add(body);
  body->SetMatrix(matrix);
  return body;
}

void dgWorld::AttachJoint(dgConstraint* joint, dgBody* body0, dgBody* body1) {
  joint->body0 = body0;
  joint->body1 = body1;
  dgBody* bodies[2] = {body0, body1};
  for (int i = 0; i < 2; ++i) {
    dgBody* body = bodies[i];
    if (!body) continue;
    dgJointLink* link = mJointLinks.Allocate();
    if (!link) continue;
    *link = dgJointLink();
    link->joint = joint;
    link->otherBody = bodies[1 - i];
    link->next = body->jointList;
    if (body->jointList) body->jointList->prev = link;
    body->jointList = link;
    joint->links[i] = link;
  }
  ++mJointCount;
}

void dgWorld::DestroyBody(dgBody* body) {
  if (body->destructionCallback) body->destructionCallback(body);
  mBroadPhase.Remove(body);
  --mBodyCount;
  while (body->jointList) DestroyJoint(body->jointList->joint);
  if (body->collision) ReleaseCollision(body->collision);
  body->collision = nullptr;
  if (body->activeNode) {
    if (body->flags & dgBody::kFlagActive) {
      body->flags &= ~dgBody::kFlagActive;
      if (body->activationCallback) body->activationCallback(body, 0);
    }
    mActiveBodies.Remove(static_cast<BodyTree::dgTreeNode*>(body->activeNode));
    body->activeNode = nullptr;
  }
  if (body->bodyNode) mBodies.Remove(static_cast<BodyTree::dgTreeNode*>(body->bodyNode));
  else mBodies.RemoveByKey(reinterpret_cast<uintptr_t>(body));
  body->bodyNode = nullptr;
  mBodyPool.Release(body);
}

void dgWorld::DestroyJoint(dgConstraint* joint) {
  --mJointCount;
  dgBody* bodies[2] = {joint->body0, joint->body1};
  for (dgBody* body : bodies) {
    if (!body) continue;
    if (body->sleepTimer == 0.0f) body->flags |= dgBody::kFlagResting;
    else body->flags &= ~dgBody::kFlagResting;
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
    mJointLinks.Release(link);
    joint->links[i] = nullptr;
  }
  joint->Release(this);
}
