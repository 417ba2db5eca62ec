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
    : allocator_(dgMemoryPool::GetShared(static_cast<int>(sizeof(dgBroadPhaseAxisEntry)))) {}

void dgBroadPhaseAxisList::LinkBefore(dgBroadPhaseAxisEntry* entry, dgBroadPhaseAxisEntry* before) {
  entry->next = before;
  entry->prev = before ? before->prev : last_;
  if (entry->prev)
    entry->prev->next = entry;
  else
    first_ = entry;
  if (before)
    before->prev = entry;
  else
    last_ = entry;
}

void dgBroadPhaseAxisList::Unlink(dgBroadPhaseAxisEntry* entry) {
  if (entry->prev)
    entry->prev->next = entry->next;
  else
    first_ = entry->next;
  if (entry->next)
    entry->next->prev = entry->prev;
  else
    last_ = entry->prev;
  entry->next = entry->prev = nullptr;
}

dgBroadPhaseAxisEntry* dgBroadPhaseAxisList::Insert(dgBody* body, float key) {
  void* memory = allocator_ ? allocator_->Malloc(sizeof(dgBroadPhaseAxisEntry)) : nullptr;
  if (!memory) return nullptr;
  auto* entry = new (memory) dgBroadPhaseAxisEntry;
  entry->body = body;
  entry->key = key;
  dgBroadPhaseAxisEntry* before = first_;
  while (before && before->key < key) before = before->next;
  LinkBefore(entry, before);
  ++count_;
  sum_ += key;
  sumOfSquares_ += static_cast<double>(key) * key;
  return entry;
}

void dgBroadPhaseAxisList::Remove(dgBroadPhaseAxisEntry* entry) {
  Unlink(entry);
  --count_;
  sum_ -= entry->key;
  sumOfSquares_ -= static_cast<double>(entry->key) * entry->key;
  allocator_->Free(entry);
}

void dgBroadPhaseAxisList::UpdateKey(dgBroadPhaseAxisEntry* entry, float key) {
  sum_ += static_cast<double>(key) - entry->key;
  sumOfSquares_ += static_cast<double>(key) * key - static_cast<double>(entry->key) * entry->key;
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
  while (first_) Remove(first_);
  sum_ = 0.0;
  sumOfSquares_ = 0.0;
}

// --- Broad phase ---

dgBroadPhase::dgBroadPhase() = default;

dgBroadPhase::~dgBroadPhase() {
  // Nodes still in the tree (bodies never removed) go to the free list first.
  while (root_) {
    dgBroadPhaseNode* node = root_;
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
  while (dgRefList<dgBroadPhaseNode*>::dgListNode* first = freeNodes_.GetFirst()) {
    dgBroadPhaseNode* node = first->GetInfo();
    freeNodes_.Remove(first);
    node->~dgBroadPhaseNode();
    CountedDelete(node);
  }
  movedBodies_.RemoveAll();
}

void dgBroadPhase::Bind(dgWorld* world) {
  world_ = world;
  pairWords_[0] = 1;
  pairWords_[1] = 0;
  pairWords_[2] = 1;
  nodeTag_ = world ? world->GetBroadPhaseNodeTag() : 0;
  SetWorldSize(min_, max_);
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
  pairWords_[0] = 1;
  pairWords_[1] = 0;
  pairWords_[2] = 1;

  min_ = lo;
  for (int i = 0; i < 3; ++i) min_[i] = std::floor(lo[i] * 512.0f) / 512.0f;
  const float extentX = hi.x - min_.x;
  const float extentZ = hi.z - min_.z;
  const float side = extentZ > extentX ? extentZ : extentX;
  rootSize_ = std::ceil(side * (1.0f / 512.0f) * 512.0f) / 512.0f * 512.0f;
  if (!(rootSize_ >= kMinRootSize)) rootSize_ = kMinRootSize;
  const int levels = static_cast<int>(std::log(rootSize_) / std::log(2.0f) + 1.0f);
  gridScale_ = 8.0f * std::ldexp(1.0f, levels);
  invGridScale_ = 1.0f / gridScale_;
  max_ = dgVector(min_.x + rootSize_, hi.y, min_.z + rootSize_, 1.0f);
  min_.y = lo.y;

  if (!world_) return;
  dgWorld::BodyTree& bodies = world_->GetBodyTree();
  for (auto* node = bodies.Minimum(); node; node = node->Next()) Remove(node->GetInfo());
  for (auto* node = bodies.Minimum(); node; node = node->Next()) {
    dgBody* body = node->GetInfo();
    Add(body);
    world_->SetBodyMatrix(body, body->matrix);
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
  if (a.z > midZ)
    index += 2;
  else if (b.z >= midZ)
    index += 8;
  return index;
}

dgBroadPhaseNode* dgBroadPhase::TakeNode(int level, dgBroadPhaseNode* parent, float x, float y, float z, float size) {
  dgBroadPhaseNode* node = nullptr;
  if (dgRefList<dgBroadPhaseNode*>::dgListNode* first = freeNodes_.GetFirst()) {
    node = first->GetInfo();
    freeNodes_.Remove(first);
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
  node->tag = nodeTag_;
  node->world = world_;
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
  if (!root_) {
    root_ = TakeNode(0, nullptr, min_.x, min_.y, min_.z, rootSize_);
    if (!root_) return;
  }
  LinkBody(body, root_);
}

dgBroadPhaseNode* dgBroadPhase::RetireNode(dgBroadPhaseNode* node) {
  dgBroadPhaseNode* parent = node->parent;
  if (parent) {
    for (dgBroadPhaseNode*& child : parent->children) {
      if (child == node) child = nullptr;
    }
    --parent->childCount;
  } else {
    root_ = nullptr;
  }
  freeNodes_.Append(node);
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
    movedBodies_.Remove(static_cast<dgRefList<dgBody*>::dgListNode*>(body->movedListNode));
    body->movedListNode = nullptr;
  }
  dgBroadPhaseNode* node = body->broadPhaseNode;
  if (!node) return;
  UnlinkBody(body, node);
  body->broadPhaseNode = nullptr;
  PruneUpward(body, node);
}

void dgBroadPhase::UpdateBody(dgBody* body) {
  if (!root_) Add(body);
  if (!root_) return;

  dgBroadPhaseNode* node = root_;
  float h = rootSize_ * 0.5f;
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

  if (movedBodies_.GetCount() < 2 * pairWords_[2] && !body->movedListNode) {
    body->movedListNode = movedBodies_.Append(body);
  }
  CheckWorldBox(body);
}

void dgBroadPhase::CheckWorldBox(dgBody* body) {
  const auto overlapsWorld = [this](const dgBody* b) {
    return b->minBox.x < max_.x && b->maxBox.x > min_.x && b->minBox.y < max_.y && b->maxBox.y > min_.y &&
           b->minBox.z < max_.z && b->maxBox.z > min_.z;
  };
  if (overlapsWorld(body) || !world_) return;

  const uint32_t kept = body->flags & (dgBody::kFlagCollidable | dgBody::kFlagAutoActivate);
  world_->RemoveFromActiveSet(body);
  body->flags &= ~(dgBody::kFlagCollidable | dgBody::kFlagAutoActivate);
  if (dgBodyLeaveWorldCallback callback = world_->GetLeaveWorldCallback()) callback(body);
  // The callback may have moved the body back inside.
  if (overlapsWorld(body)) {
    body->flags |= kept;
    world_->AddToActiveSet(body, false);
  }
}
