#include "physics/world/dgBroadPhase.h"

#include <cmath>
#include <new>

#include "physics/body/dgBody.h"
#include "physics/memory/dgCountedNew.h"
#include "physics/memory/dgMemoryPool.h"
#include "physics/world/dgWorld.h"

namespace {

// Smallest side of the root square: keeps the level count finite for a
// world box that is flat or empty in x and z.
constexpr float kMinRootSize = 1.0f;

}  // namespace

// --- Axis lists ---

dgBroadPhaseAxisList::dgBroadPhaseAxisList()
    : mAllocator(dgMemoryPool::GetShared(static_cast<int>(sizeof(dgBroadPhaseAxisEntry)))) {}

void dgBroadPhaseAxisList::LinkBefore(dgBroadPhaseAxisEntry* entry, dgBroadPhaseAxisEntry* before) {
  entry->next = before;
  entry->prev = before ? before->prev : mLast;
  if (entry->prev) entry->prev->next = entry;
  else mFirst = entry;
  if (before) before->prev = entry;
  else mLast = entry;
}

void dgBroadPhaseAxisList::Unlink(dgBroadPhaseAxisEntry* entry) {
  if (entry->prev) entry->prev->next = entry->next;
  else mFirst = entry->next;
  if (entry->next) entry->next->prev = entry->prev;
  else mLast = entry->prev;
  entry->next = entry->prev = nullptr;
}

dgBroadPhaseAxisEntry* dgBroadPhaseAxisList::Insert(dgBody* body, float key) {
  void* memory = mAllocator ? mAllocator->Malloc(sizeof(dgBroadPhaseAxisEntry)) : nullptr;
  if (!memory) return nullptr;
  auto* entry = new (memory) dgBroadPhaseAxisEntry;
  entry->body = body;
  entry->key = key;
  dgBroadPhaseAxisEntry* before = mFirst;
  while (before && before->key < key) before = before->next;
  LinkBefore(entry, before);
  ++mCount;
  mSum += key;
  mSumOfSquares += static_cast<double>(key) * key;
  return entry;
}

void dgBroadPhaseAxisList::Remove(dgBroadPhaseAxisEntry* entry) {
  Unlink(entry);
  --mCount;
  mSum -= entry->key;
  mSumOfSquares -= static_cast<double>(entry->key) * entry->key;
  mAllocator->Free(entry);
}

void dgBroadPhaseAxisList::UpdateKey(dgBroadPhaseAxisEntry* entry, float key) {
  mSum += static_cast<double>(key) - entry->key;
  mSumOfSquares += static_cast<double>(key) * key - static_cast<double>(entry->key) * entry->key;
  entry->key = key;
  if (entry->prev && key < entry->prev->key) {
    dgBroadPhaseAxisEntry* before = entry->prev;
    while (before->prev && key < before->prev->key) before = before->prev;
    Unlink(entry);
    LinkBefore(entry, before);
  } else if (entry->next && entry->next->key < key) {
    dgBroadPhaseAxisEntry* after = entry->next;
    while (after->next && after->next->key < key) after = after->next;
    Unlink(entry);
    LinkBefore(entry, after->next);
  }
}

void dgBroadPhaseAxisList::RemoveAll() {
  while (mFirst) Remove(mFirst);
  mSum = 0.0;
  mSumOfSquares = 0.0;
}

// --- Broad phase ---

dgBroadPhase::dgBroadPhase() = default;

dgBroadPhase::~dgBroadPhase() {
  // Nodes still in the tree (bodies never removed) go to the free list first.
  while (mRoot) {
    dgBroadPhaseNode* node = mRoot;
    while (node->childCount) {
      for (dgBroadPhaseNode* child : node->children) {
        if (child) {
          node = child;
          break;
        }
      }
    }
    RetireNode(node);
  }
  while (dgRefList<dgBroadPhaseNode*>::dgListNode* first = mFreeNodes.GetFirst()) {
    dgBroadPhaseNode* node = first->GetInfo();
    mFreeNodes.Remove(first);
    node->~dgBroadPhaseNode();
    CountedDelete(node);
  }
  mMovedBodies.RemoveAll();
}

void dgBroadPhase::Bind(dgWorld* world) {
  mWorld = world;
  mPairWords[0] = 1;
  mPairWords[1] = 0;
  mPairWords[2] = 1;
  mNodeTag = world ? world->GetBroadPhaseNodeTag() : 0;
  SetWorldSize(mMin, mMax);
}

void dgBroadPhase::SetWorldSize(const dgVector& minCorner, const dgVector& maxCorner) {
  // Corners given the wrong way round are put in order per axis.
  dgVector lo;
  dgVector hi;
  for (int i = 0; i < 3; ++i) {
    lo[i] = minCorner[i] < maxCorner[i] ? minCorner[i] : maxCorner[i];
    hi[i] = minCorner[i] < maxCorner[i] ? maxCorner[i] : minCorner[i];
  }
  lo.w = 1.0f;
  hi.w = 1.0f;
  mPairWords[0] = 1;
  mPairWords[1] = 0;
  mPairWords[2] = 1;

  mMin = lo;
  for (int i = 0; i < 3; ++i) mMin[i] = std::floor(lo[i] * 512.0f) / 512.0f;
  const float extentX = hi.x - mMin.x;
  const float extentZ = hi.z - mMin.z;
  const float side = extentZ > extentX ? extentZ : extentX;
  mRootSize = std::ceil(side * (1.0f / 512.0f) * 512.0f) / 512.0f * 512.0f;
  if (!(mRootSize >= kMinRootSize)) mRootSize = kMinRootSize;
  const int levels = static_cast<int>(std::log(mRootSize) / std::log(2.0f) + 1.0f);
  mGridScale = 8.0f * std::ldexp(1.0f, levels);
  mInvGridScale = 1.0f / mGridScale;
  mMax = dgVector(mMin.x + mRootSize, hi.y, mMin.z + mRootSize, 1.0f);
  mMin.y = lo.y;

  if (!mWorld) return;
  dgWorld::BodyTree& bodies = mWorld->GetBodyTree();
  for (auto* node = bodies.Minimum(); node; node = node->Next()) Remove(node->GetInfo());
  for (auto* node = bodies.Minimum(); node; node = node->Next()) {
    dgBody* body = node->GetInfo();
    Add(body);
    body->SetMatrix(body->matrix);
  }
}

int dgBroadPhase::QuarterIndex(float h, float originX, float originZ, const dgVector& a, const dgVector& b) {
  int index = 0;
  if (a.x < originX || b.x > originX + 2.0f * h) index += 8;
  if (a.z < originZ || b.z > originZ + 2.0f * h) index += 8;
  const float midX = originX + h;
  const float midZ = originZ + h;
  if (a.x <= midX) {
    if (b.x >= midX) index += 8;
  } else {
    index += 1;
  }
  if (a.z > midZ) index += 2;
  else if (b.z >= midZ) index += 8;
  return index;
}

dgBroadPhaseNode* dgBroadPhase::TakeNode(int level, dgBroadPhaseNode* parent, float x, float y, float z,
                                         float size) {
  dgBroadPhaseNode* node = nullptr;
  if (dgRefList<dgBroadPhaseNode*>::dgListNode* first = mFreeNodes.GetFirst()) {
    node = first->GetInfo();
    mFreeNodes.Remove(first);
  } else {
    void* memory = CountedNew(sizeof(dgBroadPhaseNode));
    if (!memory) return nullptr;
    node = new (memory) dgBroadPhaseNode;
  }
  node->originX = x;
  node->originY = y;
  node->originZ = z;
  node->size = size;
  node->level = static_cast<uint16_t>(level);
  node->bodyCount = 0;
  node->childCount = 0;
  node->marker = 0xFFFF;
  node->changeCount = 0;
  node->tag = mNodeTag;
  node->world = mWorld;
  node->parent = parent;
  for (dgBroadPhaseNode*& child : node->children) child = nullptr;
  return node;
}

void dgBroadPhase::LinkBody(dgBody* body, dgBroadPhaseNode* node) {
  ++node->bodyCount;
  ++node->changeCount;
  for (int axis = 0; axis < 3; ++axis) body->axisEntries[axis] = node->axes[axis].Insert(body, body->minBox[axis]);
  body->broadPhaseNode = node;
}

void dgBroadPhase::Add(dgBody* body) {
  if (!mRoot) {
    mRoot = TakeNode(0, nullptr, mMin.x, mMin.y, mMin.z, mRootSize);
    if (!mRoot) return;
  }
  LinkBody(body, mRoot);
}

dgBroadPhaseNode* dgBroadPhase::RetireNode(dgBroadPhaseNode* node) {
  dgBroadPhaseNode* parent = node->parent;
  if (parent) {
    for (dgBroadPhaseNode*& child : parent->children) {
      if (child == node) child = nullptr;
    }
    --parent->childCount;
  } else {
    mRoot = nullptr;
  }
  mFreeNodes.Append(node);
  return parent;
}

void dgBroadPhase::PruneUpward(dgBody* body, dgBroadPhaseNode* node) {
  while (node && node->bodyCount == 0 && node->childCount == 0) {
    node = RetireNode(node);
  }
  if (node) {
    body->contactWords[0] = 0;
    body->contactWords[1] = 0;
  }
}

void dgBroadPhase::UnlinkBody(dgBody* body, dgBroadPhaseNode* node) {
  --node->bodyCount;
  ++node->changeCount;
  for (int axis = 0; axis < 3; ++axis) {
    if (body->axisEntries[axis]) node->axes[axis].Remove(body->axisEntries[axis]);
    body->axisEntries[axis] = nullptr;
  }
}

void dgBroadPhase::Remove(dgBody* body) {
  if (body->movedListNode) {
    mMovedBodies.Remove(static_cast<dgRefList<dgBody*>::dgListNode*>(body->movedListNode));
    body->movedListNode = nullptr;
  }
  dgBroadPhaseNode* node = body->broadPhaseNode;
  if (!node) return;
  UnlinkBody(body, node);
  body->broadPhaseNode = nullptr;
  PruneUpward(body, node);
}

void dgBroadPhase::UpdateBody(dgBody* body) {
  if (!mRoot) Add(body);
  if (!mRoot) return;

  dgBroadPhaseNode* node = mRoot;
  float h = mRootSize * 0.5f;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    const int index = QuarterIndex(h, node->originX, node->originZ, body->minBox, body->maxBox);
    if (index >= 4) break;
    dgBroadPhaseNode* child = node->children[index];
    if (!child) {
      child = TakeNode(node->level + 1, node, node->originX + ((index & 1) ? h : 0.0f), node->originY,
                       node->originZ + ((index & 2) ? h : 0.0f), h);
      if (!child) break;
      node->children[index] = child;
      ++node->childCount;
    }
    node = child;
    h *= 0.5f;
  }

  dgBroadPhaseNode* oldNode = body->broadPhaseNode;
  if (oldNode == node) {
    ++node->changeCount;
    for (int axis = 0; axis < 3; ++axis) {
      if (body->axisEntries[axis]) node->axes[axis].UpdateKey(body->axisEntries[axis], body->minBox[axis]);
    }
  } else {
    // Into the new node before leaving the old one: leaving can free emptied
    // ancestors, and the new node may be one of them.
    dgBroadPhaseAxisEntry* oldEntries[3] = {body->axisEntries[0], body->axisEntries[1], body->axisEntries[2]};
    LinkBody(body, node);
    if (oldNode) {
      --oldNode->bodyCount;
      ++oldNode->changeCount;
      for (int axis = 0; axis < 3; ++axis) {
        if (oldEntries[axis]) oldNode->axes[axis].Remove(oldEntries[axis]);
      }
      PruneUpward(body, oldNode);
    }
  }

  if (mMovedBodies.GetCount() < 2 * mPairWords[2] && !body->movedListNode) {
    body->movedListNode = mMovedBodies.Append(body);
  }
  CheckWorldBox(body);
}

void dgBroadPhase::CheckWorldBox(dgBody* body) {
  const auto overlapsWorld = [this](const dgBody* b) {
    return b->minBox.x < mMax.x && b->maxBox.x > mMin.x && b->minBox.y < mMax.y && b->maxBox.y > mMin.y &&
           b->minBox.z < mMax.z && b->maxBox.z > mMin.z;
  };
  if (overlapsWorld(body) || !mWorld) return;

  const uint32_t kept = body->flags & (dgBody::kFlagCollidable | dgBody::kFlagAutoActivate);
  mWorld->RemoveFromActiveSet(body);
  body->flags &= ~(dgBody::kFlagCollidable | dgBody::kFlagAutoActivate);
  if (dgBodyLeaveWorldCallback callback = mWorld->GetLeaveWorldCallback()) callback(body);
  // The callback may have moved the body back inside.
  if (overlapsWorld(body)) {
    body->flags |= kept;
    mWorld->AddToActiveSet(body, false);
  }
}
