#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Frustum.h"
#include "engine/foundation/Ray.h"
#include "engine/scene/cds/CDSShape.h"

class CCDSHitList;
class CCDSObject;

// One cell of the containment tree (an octree): it files the collision
// objects whose boxes overlap it so that queries only visit objects near the
// question. A leaf holding too many objects splits into eight children; an
// object may be filed in several of them.
class CCDSNode {
 public:
  // A leaf already holding this many objects splits on the next one.
  static constexpr uint32_t kSplitThreshold = 10;
  // No leaf splits once the tree holds this many nodes: objects covering
  // much of a large cell would otherwise split it down to the smallest
  // cells everywhere (tens of millions of nodes).
  static constexpr uint32_t kMaxTreeNodes = 32768;
  static constexpr int kChildCount = 8;

  // Debug switch: the node boxes are drawn while non-zero.
  static inline uint8_t sDrawBounds = 0;
  // Debug switch: boxes and shapes are coloured by the last visibility class while non-zero.
  static inline uint8_t sColourByVisibility = 0;

  // A tree root over the cell.
  explicit CCDSNode(const CCDSShape& cell);
  virtual ~CCDSNode();
  CCDSNode(const CCDSNode&) = delete;
  CCDSNode& operator=(const CCDSNode&) = delete;

  // Files the object in this node (in the children it overlaps when split);
  // false when its box misses the cell.
  bool Insert(CCDSObject* object);
  // Makes the eight children while the node may split and its cell is large
  // enough (half-size at least the length of (1, 1, 1)); false otherwise.
  bool Subdivide();
  // Subdivides down to the smallest cells (within the node bound).
  void SubdivideAll();
  // Widens the content box by an object's box (the first one since a reset replaces it).
  void GrowContentBounds(const CCDSShape& box);
  // Empties this node and its subtree; cells and children stay.
  void Reset();

  // Stamps the frustum's class of each cell (Frustum::TestBox codes) and of
  // each filed object's node (Frustum::ClassifySphere codes where a cell
  // is partly in view).
  void Cull(const Frustum& frustum);
  // Sets the class of this subtree and of the nodes of the objects filed in it.
  void SetVisibility(int32_t visibilityClass);

  // Adds the objects at or below this node that the sphere or the ray
  // touches to hits, counting the nodes and objects visited. A refused hit
  // (full list or an object already listed) ends the scan of its leaf.
  void QuerySphere(const BoundingSphere& sphere, CCDSHitList& hits);
  void QueryRay(const Ray& ray, CCDSHitList& hits);

  // Tests the pairs filed together and tells both owners of each contact.
  void FindContacts();
  // Tests one object against every object of this node's leaves.
  void FindContactsWith(CCDSObject& object);
  // Posts the collision message (the contact record's address, delivered
  // at once) from each owner to the other; nothing unless both have owners.
  static void PostCollision(CCDSObject& a, CCDSObject& b);

  // Drops the object from this node and its subtree.
  void Forget(const CCDSObject* object);

  // Debug drawing. RenderShapes draws the objects filed at or below node,
  // RenderBounds the cell and content boxes (null draws nothing); Render
  // draws the boxes while sDrawBounds is set, then the shapes.
  static void RenderShapes(CCDSNode* node);
  static void RenderBounds(CCDSNode* node);
  void RenderBox() const;
  void Render();

  const CCDSShape& GetCell() const { return cell_; }
  const CCDSShape& GetContentBounds() const { return contentBounds_; }
  int32_t GetVisibility() const { return visibility_; }
  uint32_t GetInsertCount() const { return insertCount_; }
  bool CanSubdivide() const { return canSubdivide_; }
  const std::vector<CCDSObject*>& GetObjects() const { return objects_; }
  bool HasChildren() const { return !children_.empty(); }
  CCDSNode* GetChild(int index) const {
    return index >= 0 && index < static_cast<int>(children_.size()) ? children_[index].get() : nullptr;
  }
  // Nodes of the whole tree this node belongs to.
  uint32_t GetTreeNodeCount() const { return *treeNodeCount_; }
  // Further nodes whose objects are tested against this node's objects.
  std::vector<CCDSNode*> links;

 private:
  CCDSNode(const CCDSShape& cell, uint32_t* treeNodeCount);
  // Offers the object to every child, widening the content box for each acceptance.
  void InsertIntoChildren(CCDSObject* object);
  void StampObjects(int32_t visibilityClass);
  // The pair filter, then the test and the messages.
  static void TestPair(CCDSObject& a, CCDSObject& b);

  CCDSShape cell_;
  int32_t visibility_ = 0;
  uint32_t insertCount_ = 0;
  std::vector<CCDSObject*> objects_;
  std::vector<std::unique_ptr<CCDSNode>> children_;
  CCDSShape contentBounds_;
  bool hasContent_ = false;
  bool canSubdivide_ = true;
  // Owned by the root, shared by its descendants.
  uint32_t ownTreeNodeCount_ = 1;
  uint32_t* treeNodeCount_ = &ownTreeNodeCount_;
};
