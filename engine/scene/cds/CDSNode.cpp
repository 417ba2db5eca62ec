#include "engine/scene/cds/CDSNode.h"

#include <algorithm>
#include <cmath>

#include "engine/runtime/messages/MSGService.h"
#include "engine/scene/cds/CDSHitList.h"
#include "engine/scene/cds/CDSObject.h"
#include "engine/scene/core/SceneNode.h"

namespace {

// |(1, 1, 1)|: a cell whose half-size is shorter never splits.
const float kMinHalfSize = std::sqrt(3.0f);

bool TakesPartInContacts(const CCDSObject& object) {
  return !object.removed && object.contactEnabled != 0 && object.collisionCategory != 0;
}

}  // namespace

CCDSNode::CCDSNode(const CCDSShape& cell) : cell_(cell) { Reset(); }

CCDSNode::CCDSNode(const CCDSShape& cell, uint32_t* treeNodeCount) : cell_(cell), treeNodeCount_(treeNodeCount) {
  Reset();
}

CCDSNode::~CCDSNode() = default;

bool CCDSNode::Insert(CCDSObject* object) {
  if (object == nullptr || !object->Overlaps(cell_)) return false;
  if (HasChildren()) {
    InsertIntoChildren(object);
    ++insertCount_;
    return true;
  }
  if (canSubdivide_ && objects_.size() >= kSplitThreshold) {
    if (Subdivide()) {
      objects_.push_back(object);
      std::vector<CCDSObject*> moving;
      moving.swap(objects_);
      for (CCDSObject* filed : moving) InsertIntoChildren(filed);
      ++insertCount_;
      return true;
    }
    // Too small, or the tree is full: this leaf takes everything from now on.
    canSubdivide_ = false;
  }
  objects_.push_back(object);
  GrowContentBounds(*object);
  ++insertCount_;
  return true;
}

void CCDSNode::InsertIntoChildren(CCDSObject* object) {
  for (auto& child : children_) {
    if (child->Insert(object)) GrowContentBounds(*object);
  }
}

bool CCDSNode::Subdivide() {
  if (!canSubdivide_ || HasChildren()) return false;
  const Vector3 size = cell_.Max() - cell_.Min();
  if (size.LengthSquared() == 0.0f || !(size.Length() >= 2.0f * kMinHalfSize)) return false;
  if (*treeNodeCount_ + kChildCount > kMaxTreeNodes) return false;
  const Vector3 h = size * 0.5f;
  const Vector3& lo = cell_.Min();
  const Vector3& hi = cell_.Max();
  children_.reserve(kChildCount);
  for (int index = 0; index < kChildCount; ++index) {
    // Bit 0: upper half in x; bit 1: lower half in z; bit 2: lower half in y.
    const bool upperX = (index & 1) != 0;
    const bool lowerZ = (index & 2) != 0;
    const bool lowerY = (index & 4) != 0;
    const Vector3 min(upperX ? lo.x + h.x : lo.x, lowerY ? lo.y : lo.y + h.y, lowerZ ? lo.z : lo.z + h.z);
    const Vector3 max(upperX ? hi.x : hi.x - h.x, lowerY ? hi.y - h.y : hi.y, lowerZ ? hi.z - h.z : hi.z);
    children_.push_back(std::unique_ptr<CCDSNode>(new CCDSNode(CCDSShape(min, max), treeNodeCount_)));
  }
  *treeNodeCount_ += kChildCount;
  return true;
}

void CCDSNode::SubdivideAll() {
  Subdivide();
  for (auto& child : children_) child->SubdivideAll();
}

void CCDSNode::GrowContentBounds(const CCDSShape& box) {
  if (!hasContent_) {
    contentBounds_.SetMinMax(box.Min(), box.Max());
    hasContent_ = true;
    return;
  }
  const Vector3& a = contentBounds_.Min();
  const Vector3& b = contentBounds_.Max();
  const Vector3 min(std::min(a.x, box.Min().x), std::min(a.y, box.Min().y), std::min(a.z, box.Min().z));
  const Vector3 max(std::max(b.x, box.Max().x), std::max(b.y, box.Max().y), std::max(b.z, box.Max().z));
  contentBounds_.SetMinMax(min, max);
}

void CCDSNode::Reset() {
  contentBounds_.SetMinMax(cell_.Centre(), cell_.Centre());
  hasContent_ = false;
  insertCount_ = 0;
  objects_.clear();
  for (auto& child : children_) child->Reset();
}

void CCDSNode::Cull(const Frustum& frustum) {
  visibility_ = frustum.TestBox(cell_.GetBoundingBox());
  if (visibility_ != Frustum::kBoxPartly) {
    // Wholly in view or wholly out: the subtree shares the class untested.
    SetVisibility(visibility_);
    return;
  }
  if (HasChildren()) {
    for (auto& child : children_) child->Cull(frustum);
    return;
  }
  for (CCDSObject* object : objects_) {
    if (object->node == nullptr) continue;
    const Vector3 position = CCDSObject::NodeWorldMatrix(object->node).GetTranslation();
    object->node->visibility = frustum.ClassifySphere(position, object->node->radius);
  }
}

void CCDSNode::SetVisibility(int32_t visibilityClass) {
  visibility_ = visibilityClass;
  for (auto& child : children_) child->SetVisibility(visibilityClass);
  StampObjects(visibilityClass);
}

void CCDSNode::StampObjects(int32_t visibilityClass) {
  for (CCDSObject* object : objects_) {
    if (object->node != nullptr) object->node->visibility = visibilityClass;
  }
}

void CCDSNode::QuerySphere(const BoundingSphere& sphere, CCDSHitList& hits) {
  ++hits.nodesVisited;
  for (auto& child : children_) child->QuerySphere(sphere, hits);
  for (CCDSObject* object : objects_) {
    if (object->removed) continue;
    ++hits.objectsTested;
    if (object->IntersectSphere(sphere) == CCDSContact::kNone) continue;
    if (!hits.AddSphereHit(static_cast<uint32_t>(object->slot), CCDSObject::GetContact().depths[0])) break;
  }
}

void CCDSNode::QueryRay(const Ray& ray, CCDSHitList& hits) {
  if (!cell_.IntersectRay(ray)) return;
  ++hits.nodesVisited;
  for (auto& child : children_) child->QueryRay(ray, hits);
  for (CCDSObject* object : objects_) {
    if (object->removed) continue;
    ++hits.objectsTested;
    if (object->IntersectRay(ray) == CCDSContact::kNone) continue;
    if (!hits.AddRayHit(static_cast<uint32_t>(object->slot), CCDSObject::GetContact().depths[0])) break;
  }
}

void CCDSNode::FindContacts() {
  for (auto& child : children_) child->FindContacts();
  // Indexing, not iterators: receivers of the messages may not change the
  // list (removals are deferred by the world), but stay on the safe side.
  for (size_t i = 0; i < objects_.size(); ++i) {
    for (size_t j = i + 1; j < objects_.size(); ++j) {
      CCDSObject& a = *objects_[i];
      if (!TakesPartInContacts(a)) break;
      TestPair(a, *objects_[j]);
    }
  }
  for (CCDSNode* link : links) {
    for (size_t i = 0; i < objects_.size(); ++i) {
      if (TakesPartInContacts(*objects_[i])) link->FindContactsWith(*objects_[i]);
    }
  }
}

void CCDSNode::FindContactsWith(CCDSObject& object) {
  for (auto& child : children_) child->FindContactsWith(object);
  for (size_t i = 0; i < objects_.size() && TakesPartInContacts(object); ++i) TestPair(object, *objects_[i]);
}

void CCDSNode::TestPair(CCDSObject& a, CCDSObject& b) {
  if (&a == &b || b.removed || a.owner == b.owner || b.contactEnabled == 0) return;
  if ((a.collisionMask & b.collisionCategory) == 0) return;
  if (a.Collide(b) != CCDSContact::kNone) PostCollision(a, b);
}

void CCDSNode::PostCollision(CCDSObject& a, CCDSObject& b) {
  if (a.owner < 0 || b.owner < 0) return;
  // Each receiver gets the record as this test left it, even when the
  // first receiver runs tests of its own.
  const CCDSContact result = CCDSObject::GetContact();
  CCDSContact delivered = result;
  CMSGService* service = GetGEOMSGService();
  service->Post(eMSG_GEOCollision, a.owner, b.owner, reinterpret_cast<intptr_t>(&delivered), 0.0);
  delivered = result;
  service->Post(eMSG_GEOCollision, b.owner, a.owner, reinterpret_cast<intptr_t>(&delivered), 0.0);
}

void CCDSNode::Forget(const CCDSObject* object) {
  objects_.erase(std::remove(objects_.begin(), objects_.end(), object), objects_.end());
  for (auto& child : children_) child->Forget(object);
}
